#include "component/resources/registration_resources.h"

#include <cstdint>
#include <vector>

namespace qtzyn {
namespace {

// Big-endian writers.
struct Bytes {
  std::string data;
  void u8(std::uint32_t v) { data += static_cast<char>(v & 0xFF); }
  void u16(std::uint32_t v) { u8(v >> 8), u8(v); }
  void u24(std::uint32_t v) { u8(v >> 16), u16(v); }
  void u32(std::uint32_t v) { u16(v >> 16), u16(v); }
  void code(const char (&c)[5]) { data.append(c, 4); }
  void text(const std::string& s) { data += s; }
  void pascal(const std::string& s) { u8(static_cast<std::uint32_t>(s.size())), text(s); }
  void zeros(std::size_t n) { data.append(n, '\0'); }
};

constexpr std::uint32_t kComponentVersion = 0x00010001;
constexpr std::uint32_t kRegisterFlags = 0x1 | 0x8;  // componentDoAutoVersion, componentHasMultiplePlatforms
constexpr std::uint32_t kPlatformWin32 = 4;
// Importer: canMovieImportFiles, canMovieImportInPlace, hasMovieImportMIMEList,
// canMovieImportDataReferences.
constexpr std::uint32_t kImporterFlags = 0x2 | 0x800 | 0x4000 | 0x40000;
constexpr std::uint32_t kMovieImportSubTypeIsFileExtension = 0x1000;
constexpr std::uint32_t kHandlerHasSpatial = 0x1;
constexpr const char* kComponentName = "3D ZYN Component";

void description(Bytes* b, const char (&type)[5], const char (&subType)[5], std::uint32_t flags) {
  b->code(type), b->code(subType), b->u32(0), b->u32(flags), b->u32(0);
}
void resourceRef(Bytes* b, const char (&type)[5], std::uint32_t id) { b->code(type), b->u16(id); }
void noResource(Bytes* b) { b->u32(0), b->u16(0); }

// An extended component resource with one platform entry.
std::string thng(const char (&type)[5], std::uint32_t nameId, std::uint32_t platformFlags, std::uint32_t entryId) {
  Bytes b;
  description(&b, type, "vzyn", 0);
  noResource(&b);                 // code
  resourceRef(&b, "STR ", nameId);
  noResource(&b);                 // info
  noResource(&b);                 // icon
  b.u32(kComponentVersion);
  b.u32(kRegisterFlags);
  b.u16(0);                       // icon family
  b.u32(1);                       // platform count
  b.u32(platformFlags);
  resourceRef(&b, "dlle", entryId);
  b.u16(kPlatformWin32);
  return b.data;
}

// The importer registered a second time under the file extension.
std::string thga() {
  Bytes b;
  description(&b, "eat ", "ZYN ", kImporterFlags | kMovieImportSubTypeIsFileExtension);
  noResource(&b);                 // code
  resourceRef(&b, "STR ", 128);
  noResource(&b);                 // info
  noResource(&b);                 // icon
  description(&b, "eat ", "vzyn", 0);
  return b.data;
}

std::string leafAtom(const char (&type)[5], std::uint32_t id, const std::string& text) {
  Bytes b;
  b.u32(static_cast<std::uint32_t>(20 + text.size()));
  b.code(type), b.u32(id), b.u16(0), b.u16(0), b.u32(0);
  b.text(text);
  return b.data;
}

// An atom container: a zero header, then the 'sean' atom with the MIME
// types, extensions and descriptions.
std::string mime() {
  std::string children;
  children += leafAtom("mime", 1, "animation/zentrax-zyn");
  children += leafAtom("mime", 2, "animation/x-zentrax-zyn");
  children += leafAtom("ext ", 1, "zyn");
  children += leafAtom("ext ", 2, "zyn");
  children += leafAtom("desc", 1, "ZENTRAX(R) ZYN");
  children += leafAtom("desc", 2, "ZENTRAX(R) ZYN");
  Bytes b;
  b.zeros(12);
  b.u32(static_cast<std::uint32_t>(20 + children.size()));
  b.code("sean"), b.u32(1), b.u16(0), b.u16(6), b.u32(0);
  b.text(children);
  return b.data;
}

std::string entryName(const char* name) { return std::string(name) + '\0'; }

std::string vers() {
  Bytes b;
  b.u8(0x06);  // 6 (BCD)
  b.u8(0x00);  // .0.0
  b.u8(0x80);  // final
  b.u8(0);     // non-release
  b.u16(0);    // region
  b.pascal("6.0");
  b.pascal("QTZyn 6.0, 3D ZYN component: imports ZYN scene files as movies"
           " and draws them with its own media handler");
  return b.data;
}

struct Resource {
  const char* type;
  std::uint32_t id;
  std::string data;
};

}  // namespace

std::string BuildRegistrationFork() {
  // Grouped by type, in the map's type order.
  const std::vector<Resource> resources = {
      {"thng", 128, thng("eat ", 128, kImporterFlags, 128)},
      {"thng", 256, thng("mhlr", 256, kHandlerHasSpatial, 256)},
      {"thga", 129, thga()},
      {"STR ", 128, std::string(1, static_cast<char>(16)) + kComponentName},
      {"STR ", 256, std::string(1, static_cast<char>(16)) + kComponentName},
      {"mime", 128, mime()},
      {"dlle", 128, entryName(kImporterEntryPoint)},
      {"dlle", 256, entryName(kMediaHandlerEntryPoint)},
      {"vers", 1, vers()},
  };

  Bytes data;
  std::vector<std::uint32_t> offsets;
  for (const Resource& r : resources) {
    offsets.push_back(static_cast<std::uint32_t>(data.data.size()));
    data.u32(static_cast<std::uint32_t>(r.data.size()));
    data.text(r.data);
  }

  // Map: header copy, next map, file reference, attributes, type list and
  // name list offsets; then the type list and the reference lists.
  constexpr std::uint32_t kMapHeaderSize = 28;
  constexpr std::uint32_t kTypeEntrySize = 8;
  constexpr std::uint32_t kReferenceSize = 12;
  std::vector<std::size_t> typeStarts;  // index of each type's first resource
  for (std::size_t i = 0; i < resources.size(); ++i) {
    if (i == 0 || std::string(resources[i].type) != resources[i - 1].type) typeStarts.push_back(i);
  }
  const auto typeCount = static_cast<std::uint32_t>(typeStarts.size());
  const std::uint32_t typeListSize = 2 + typeCount * kTypeEntrySize;
  const std::uint32_t mapLength =
      kMapHeaderSize + typeListSize + static_cast<std::uint32_t>(resources.size()) * kReferenceSize;
  const auto dataLength = static_cast<std::uint32_t>(data.data.size());
  const auto dataOffset = static_cast<std::uint32_t>(kRegistrationDataOffset);
  const std::uint32_t mapOffset = dataOffset + dataLength;

  Bytes header;
  header.u32(dataOffset), header.u32(mapOffset), header.u32(dataLength), header.u32(mapLength);

  Bytes map;
  map.text(header.data);
  map.u32(0), map.u16(0), map.u16(0);
  map.u16(kMapHeaderSize);  // type list
  map.u16(mapLength);       // name list: empty, at the map's end
  map.u16(typeCount - 1);
  for (std::size_t t = 0; t < typeStarts.size(); ++t) {
    const std::size_t first = typeStarts[t];
    const std::size_t end = t + 1 < typeStarts.size() ? typeStarts[t + 1] : resources.size();
    map.data.append(resources[first].type, 4);
    map.u16(static_cast<std::uint32_t>(end - first - 1));
    map.u16(typeListSize + static_cast<std::uint32_t>(first) * kReferenceSize);
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    map.u16(resources[i].id);
    map.u16(0xFFFF);  // no name
    map.u8(0);        // attributes
    map.u24(offsets[i]);
    map.u32(0);
  }

  Bytes fork;
  fork.text(header.data);
  fork.zeros(dataOffset - fork.data.size());
  fork.text(data.data);
  fork.text(map.data);
  if (dataLength != kRegistrationDataLength || mapOffset != kRegistrationMapOffset ||
      mapLength != kRegistrationMapLength || fork.data.size() > kRegistrationForkSize) {
    return std::string();
  }
  fork.zeros(kRegistrationForkSize - fork.data.size());
  return fork.data;
}

}  // namespace qtzyn
