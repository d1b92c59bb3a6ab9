#include "host/port_text.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

#include "host/port_internal.h"

namespace {

constexpr int kDefaultTextSize = 12;      // size 0 means the default size
constexpr int kMaxTextSize = 1024;        // larger sizes are drawn at this size
constexpr FT_Fixed kCondensedScale = 52429;  // 0.8 in 16.16, when no condensed font exists
constexpr const char* kFallbackFamily = "sans-serif";

// A family, face and size made ready for FreeType.
struct ResolvedFont {
  FT_Face face = nullptr;
  bool emboldened = false;  // bold asked, but the font found is not bold
  bool narrowed = false;    // condensed asked, but the font found is not condensed
};

// Font numbers, the fonts fontconfig matched and FreeType's faces. FreeType
// objects are not thread-safe, so every use of them holds `mutex`.
struct FontRegistry {
  std::mutex mutex;
  bool freetypeTried = false;
  FT_Library library = nullptr;
  std::vector<std::string> names;            // font number n is names[n - 1]
  std::map<std::string, short> numbers;      // lower-case name → font number
  std::map<std::pair<std::string, int>, FT_Face> faces;  // (file, index) → face
  std::map<std::tuple<short, bool, bool>, ResolvedFont> resolved;
};

FontRegistry& fonts() {
  static auto* registry = new FontRegistry();  // never destroyed: usable at exit
  return *registry;
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

FT_Library freetype(FontRegistry& reg) {
  if (!reg.freetypeTried) {
    reg.freetypeTried = true;
    if (FT_Init_FreeType(&reg.library) != 0) reg.library = nullptr;
  }
  return reg.library;
}

// Asks fontconfig for the family (falling back to sans-serif) in the
// weight and width asked, and opens the file it names. Caller holds the lock.
ResolvedFont resolveFont(FontRegistry& reg, short number, bool bold, bool condensed) {
  const auto key = std::make_tuple(number, bold, condensed);
  auto found = reg.resolved.find(key);
  if (found != reg.resolved.end()) return found->second;

  ResolvedFont result;
  FT_Library library = freetype(reg);
  FcPattern* pattern = FcPatternCreate();
  if (library != nullptr && pattern != nullptr) {
    if (number >= 1 && static_cast<std::size_t>(number) <= reg.names.size())
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(reg.names[number - 1].c_str()));
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kFallbackFamily));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_WIDTH, condensed ? FC_WIDTH_CONDENSED : FC_WIDTH_NORMAL);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult matchResult = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult);
    FcChar8* file = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file != nullptr) {
      int index = 0;
      int weight = FC_WEIGHT_REGULAR;
      int width = FC_WIDTH_NORMAL;
      FcPatternGetInteger(match, FC_INDEX, 0, &index);
      FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
      FcPatternGetInteger(match, FC_WIDTH, 0, &width);
      const auto faceKey = std::make_pair(std::string(reinterpret_cast<const char*>(file)), index);
      auto faceIt = reg.faces.find(faceKey);
      if (faceIt == reg.faces.end()) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, faceKey.first.c_str(), index, &face) != 0) face = nullptr;
        faceIt = reg.faces.emplace(faceKey, face).first;
      }
      result.face = faceIt->second;
      result.emboldened = bold && weight < FC_WEIGHT_DEMIBOLD;
      result.narrowed = condensed && width >= FC_WIDTH_NORMAL;
    }
    if (match != nullptr) FcPatternDestroy(match);
  }
  if (pattern != nullptr) FcPatternDestroy(pattern);
  reg.resolved.emplace(key, result);
  return result;
}

// Prepares the port's font for loading glyphs; null when there is none.
// Caller holds the lock.
const ResolvedFont* prepareFont(FontRegistry& reg, const GrafPort& port, ResolvedFont& storage) {
  storage = resolveFont(reg, port.txFont, (port.txFace & bold) != 0, (port.txFace & condense) != 0);
  if (storage.face == nullptr) return nullptr;
  int size = port.txSize <= 0 ? kDefaultTextSize : std::min<int>(port.txSize, kMaxTextSize);
  if (FT_Set_Pixel_Sizes(storage.face, 0, static_cast<FT_UInt>(size)) != 0) return nullptr;
  if (storage.narrowed) {
    FT_Matrix narrow = {kCondensedScale, 0, 0, 0x10000};
    FT_Set_Transform(storage.face, &narrow, nullptr);
  } else {
    FT_Set_Transform(storage.face, nullptr, nullptr);
  }
  return &storage;
}

// Loads one character's glyph (emboldened when needed); false when the
// character has no glyph to draw or measure.
bool loadGlyph(const ResolvedFont& font, unsigned char character) {
  if (character < 0x20) return false;  // control characters neither draw nor advance
  if (FT_Load_Char(font.face, character, FT_LOAD_DEFAULT) != 0) return false;
  if (font.emboldened) FT_GlyphSlot_Embolden(font.face->glyph);
  return true;
}

int roundedAdvance(const FT_GlyphSlot slot) { return static_cast<int>((slot->advance.x + 32) >> 6); }

// Blends the rendered glyph with its top-left pixel at (left, top).
void blendGlyph(GrafPort& port, const FT_Bitmap& bitmap, int left, int top) {
  const PortDrawContext& dc = port.context;
  const int red = port.foreColor.red >> 8, green = port.foreColor.green >> 8, blue = port.foreColor.blue >> 8;
  const int rows = static_cast<int>(bitmap.rows), columns = static_cast<int>(bitmap.width);
  const int pitch = bitmap.pitch;
  for (int row = 0; row < rows; ++row) {
    const int y = top + row;
    if (y < 0 || y >= dc.height) continue;
    const unsigned char* source =
        pitch >= 0 ? bitmap.buffer + static_cast<std::ptrdiff_t>(row) * pitch
                   : bitmap.buffer + static_cast<std::ptrdiff_t>(rows - 1 - row) * -pitch;
    for (int column = 0; column < columns; ++column) {
      const int x = left + column;
      if (x < 0 || x >= dc.width) continue;
      int coverage = 0;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        coverage = source[column];
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        coverage = (source[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
      if (coverage == 0) continue;
      std::uint8_t* p = dc.pixels + static_cast<std::size_t>(y) * dc.row_bytes + static_cast<std::size_t>(x) * 4;
      const int keep = 255 - coverage;
      p[0] = static_cast<std::uint8_t>((red * coverage + p[0] * keep + 127) / 255);
      p[1] = static_cast<std::uint8_t>((green * coverage + p[1] * keep + 127) / 255);
      p[2] = static_cast<std::uint8_t>((blue * coverage + p[2] * keep + 127) / 255);
      p[3] = static_cast<std::uint8_t>(coverage + (p[3] * keep + 127) / 255);
    }
  }
}

// The bytes a text call names, or false when the arguments name none.
bool textBytes(const void* textBuf, short firstByte, short byteCount, const unsigned char** bytes) {
  if (textBuf == nullptr || firstByte < 0 || byteCount < 0) return false;
  *bytes = static_cast<const unsigned char*>(textBuf) + firstByte;
  return true;
}

}  // namespace

using qtzyn_host::currentLivePort;

void GetFNum(ConstStringPtr name, short* familyID) {
  if (familyID == nullptr) return;
  *familyID = 0;
  if (name == nullptr || name[0] == 0) return;
  const std::string family(reinterpret_cast<const char*>(name + 1), name[0]);
  FontRegistry& reg = fonts();
  std::lock_guard<std::mutex> lock(reg.mutex);
  const std::string key = lowerCase(family);
  auto it = reg.numbers.find(key);
  if (it != reg.numbers.end()) {
    *familyID = it->second;
    return;
  }
  if (reg.names.size() >= 32767) return;  // numbers exhausted: the system font
  reg.names.push_back(family);
  const short number = static_cast<short>(reg.names.size());
  reg.numbers.emplace(key, number);
  *familyID = number;
}

void TextFont(short font) {
  if (GrafPtr port = currentLivePort()) port->txFont = font;
}

void TextSize(short size) {
  if (GrafPtr port = currentLivePort()) port->txSize = size;
}

void TextFace(short face) {
  if (GrafPtr port = currentLivePort()) port->txFace = static_cast<Style>(face);
}

short TextWidth(const void* textBuf, short firstByte, short byteCount) {
  GrafPtr port = currentLivePort();
  const unsigned char* bytes = nullptr;
  if (port == nullptr || !textBytes(textBuf, firstByte, byteCount, &bytes)) return 0;
  FontRegistry& reg = fonts();
  std::lock_guard<std::mutex> lock(reg.mutex);
  ResolvedFont storage;
  const ResolvedFont* font = prepareFont(reg, *port, storage);
  if (font == nullptr) return 0;
  long width = 0;
  for (short i = 0; i < byteCount; ++i)
    if (loadGlyph(*font, bytes[i])) width += roundedAdvance(font->face->glyph);
  return static_cast<short>(std::clamp(width, -32768L, 32767L));
}

void DrawText(const void* textBuf, short firstByte, short byteCount) {
  GrafPtr port = currentLivePort();
  const unsigned char* bytes = nullptr;
  if (port == nullptr || !textBytes(textBuf, firstByte, byteCount, &bytes)) return;

  if (port->textObserver != nullptr) {
    PortTextCall call;
    call.text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(byteCount));
    call.x = port->pen.h;
    call.y = port->pen.v;
    call.fontNumber = port->txFont;
    {
      FontRegistry& reg = fonts();
      std::lock_guard<std::mutex> lock(reg.mutex);
      if (port->txFont >= 1 && static_cast<std::size_t>(port->txFont) <= reg.names.size())
        call.font = reg.names[port->txFont - 1];
    }
    call.size = port->txSize;
    call.face = port->txFace;
    call.color = port->foreColor;
    port->textObserver(port, call, port->textObserverUser);
  }

  FontRegistry& reg = fonts();
  std::lock_guard<std::mutex> lock(reg.mutex);
  ResolvedFont storage;
  const ResolvedFont* font = prepareFont(reg, *port, storage);
  if (font == nullptr) return;
  long penX = port->pen.h;
  const int baseline = port->pen.v;
  for (short i = 0; i < byteCount; ++i) {
    if (!loadGlyph(*font, bytes[i])) continue;
    FT_GlyphSlot slot = font->face->glyph;
    const int advance = roundedAdvance(slot);
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) == 0)
      blendGlyph(*port, slot->bitmap, static_cast<int>(penX) + slot->bitmap_left, baseline - slot->bitmap_top);
    penX += advance;
  }
  port->pen.h = static_cast<std::int16_t>(std::clamp(penX, -32768L, 32767L));
}

void SetPortTextObserver(GrafPtr port, PortTextObserver observer, void* user) {
  if (!qtzyn_host::isLivePort(port)) return;
  port->textObserver = observer;
  port->textObserverUser = observer != nullptr ? user : nullptr;
}
