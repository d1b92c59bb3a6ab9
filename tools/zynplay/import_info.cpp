#include "tools/zynplay/import_info.h"

#include <cstdio>
#include <cstring>

#include "host/component_manager.h"
#include "host/data_references.h"
#include "host/handles.h"
#include "host/movie_import_calls.h"
#include "host/movies.h"
#include "tools/zynplay/component_library.h"

namespace zynplay {
namespace {

int Failure(const std::string& message) {
  std::fprintf(stderr, "zynplay: %s\n", message.c_str());
  return 1;
}

std::string FourChars(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// A Fixed value as a JSON number that always shows its point (72.0).
std::string FixedNumber(Fixed value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.10g", FixedToFloat(value));
  std::string out = text;
  if (out.find_first_of(".e") == std::string::npos) out += ".0";
  return out;
}

// Readers of a description held in the processor's byte order.
template <typename T>
T FieldAt(const char* bytes, std::size_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof value);
  return value;
}

// The sample description of the imported track as the importer laid it out
// (the framework's image description layout; reserved fields left out).
constexpr std::size_t kImageDescriptionSize = 86;

std::string DescriptionJson(const char* d) {
  const auto name_length = static_cast<unsigned char>(d[50]);
  const std::string name(d + 51, name_length < 31 ? name_length : 31);
  std::string out = "{";
  out += "\"description size\":" + std::to_string(FieldAt<SInt32>(d, 0));
  out += ",\"data format\":" + JsonString(FourChars(FieldAt<OSType>(d, 4)));
  out += ",\"data reference index\":" + std::to_string(FieldAt<SInt16>(d, 14));
  out += ",\"version\":" + std::to_string(FieldAt<SInt16>(d, 16));
  out += ",\"revision level\":" + std::to_string(FieldAt<SInt16>(d, 18));
  out += ",\"vendor\":" + std::to_string(FieldAt<SInt32>(d, 20));
  out += ",\"temporal quality\":" + std::to_string(FieldAt<UInt32>(d, 24));
  out += ",\"spatial quality\":" + std::to_string(FieldAt<UInt32>(d, 28));
  out += ",\"width\":" + std::to_string(FieldAt<SInt16>(d, 32));
  out += ",\"height\":" + std::to_string(FieldAt<SInt16>(d, 34));
  out += ",\"horizontal resolution\":" + FixedNumber(FieldAt<Fixed>(d, 36));
  out += ",\"vertical resolution\":" + FixedNumber(FieldAt<Fixed>(d, 40));
  out += ",\"data size\":" + std::to_string(FieldAt<SInt32>(d, 44));
  out += ",\"frame count\":" + std::to_string(FieldAt<SInt16>(d, 48));
  out += ",\"name\":" + JsonString(name);
  out += ",\"depth\":" + std::to_string(FieldAt<SInt16>(d, 82));
  out += ",\"colour table id\":" + std::to_string(FieldAt<SInt16>(d, 84));
  return out + "}";
}

// What one import made, read back through the framework's own calls.
int PrintImport(Track track) {
  Media media = GetTrackMedia(track);
  if (media == nullptr) return Failure("The importer made a track without media");
  Fixed width = 0, height = 0;
  GetTrackDimensions(track, &width, &height);
  long dataOffset = 0, dataSize = 0;
  if (GetMediaSampleReference(media, &dataOffset, &dataSize, 0, nullptr, nullptr, nullptr, nullptr, 1, nullptr,
                              nullptr) != noErr) {
    return Failure("The imported track has no sample");
  }
  Handle description = NewHandleClear(0);
  if (description == nullptr) return Failure("Out of memory");
  GetMediaSampleDescription(media, 1, reinterpret_cast<SampleDescriptionHandle>(description));
  if (GetHandleSize(description) < static_cast<Size>(kImageDescriptionSize)) {
    DisposeHandle(description);
    return Failure("The imported sample's description is shorter than an image description");
  }
  std::string out = "{\"width\":" + std::to_string(FixedToInt(width)) +
                    ",\"height\":" + std::to_string(FixedToInt(height)) +
                    ",\"duration\":" + std::to_string(GetMediaDuration(media)) +
                    ",\"timeScale\":" + std::to_string(GetMediaTimeScale(media)) +
                    ",\"dataSize\":" + std::to_string(dataSize) + ",\"description\":" + DescriptionJson(*description) +
                    "}\n";
  DisposeHandle(description);
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}

}  // namespace

int ImportInfo(const std::string& library, const std::string& file) {
  std::string message;
  if (!RegisterComponentLibrary(library, &message)) return Failure(message);
  FSSpec fileRef;
  if (NativePathNameToFSSpec(file.c_str(), &fileRef, 0) != noErr) return Failure("Unable to open file " + file);
  ComponentInstance instance = nullptr;
  const OSErr opened = OpenImporterForPath(file, &instance);
  if (opened == cantFindHandler) return Failure("No movie importer is registered for " + file);
  if (opened != noErr) return Failure("Unable to open the movie importer (error " + std::to_string(opened) + ")");
  Movie movie = NewMovie(newMovieActive);
  Track used = nullptr;
  TimeValue added = 0;
  long outFlags = 0;
  const ComponentResult result =
      CallMovieImportFile(instance, &fileRef, movie, nullptr, &used, 0, &added, 0, &outFlags);
  int code = 0;
  if (result != noErr) {
    code = Failure("The movie importer failed with error " + std::to_string(result));
  } else if (used == nullptr || (outFlags & movieImportCreateTrack) == 0) {
    code = Failure("The movie importer made no track");
  } else {
    code = PrintImport(used);
  }
  DisposeMovie(movie);
  CloseComponent(instance);
  return code;
}

}  // namespace zynplay
