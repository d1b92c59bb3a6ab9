#include "render/image/image_registry.h"

#include <cctype>

#include "render/image/bmp_reader.h"
#include "render/image/dds_reader.h"
#include "render/image/iff_reader.h"
#include "render/image/jpeg_reader.h"
#include "render/image/pic_reader.h"
#include "render/image/sgi_reader.h"
#include "render/image/tga_reader.h"
#include "render/image/tiff_reader.h"
#include "render/image/yuv_reader.h"

const char kImageReaderPath[] = "Stream/Reader/Image";
const char kImageWriterPath[] = "Stream/Writer/Image";

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

template <class Stream>
VImageStreamFactory Factory() {
  return [] { return std::unique_ptr<VImageStream>(new Stream()); };
}

}  // namespace

VImageRegistry& VImageRegistry::Instance() {
  static VImageRegistry registry;
  return registry;
}

VImageRegistry::VImageRegistry() { RegisterBuiltIns(); }

void VImageRegistry::RegisterBuiltIns() {
  const std::string reader = kImageReaderPath, writer = kImageWriterPath;
  Register(reader, "dds", Factory<VImageStreamDDS>());
  for (const char* key : {"sgi", "rgb", "rgba"}) Register(reader, key, Factory<VImageStreamsgi>());
  Register(reader, "yuv", Factory<VImageStreamyuv>());
  Register(writer, "yuv", Factory<VImageStreamyuv>());
  Register(reader, "bmp", Factory<VImageStreambmp>());
  Register(reader, "iff", Factory<VImageStreamiff>());
  Register(reader, "pic", Factory<VImageStreampict>());
  Register(reader, "tga", Factory<VImageStreamtga>());
  Register(writer, "tga", Factory<VImageStreamtga>());
  for (const char* key : {"jpeg", "jpg"}) Register(reader, key, Factory<VImageStreamJPG>());
  for (const char* key : {"tiff", "tif"}) {
    Register(reader, key, Factory<VImageStreamTIFF>());
    Register(writer, key, Factory<VImageStreamTIFF>());
  }
}

void VImageRegistry::Register(const std::string& path, const std::string& key, VImageStreamFactory factory) {
  std::lock_guard<std::mutex> lock(mMutex);
  const std::string lower = Lower(key);
  for (VImageStreamEntry& e : mEntries) {
    if (e.path == path && e.key == lower) {
      e.factory = std::move(factory);
      return;
    }
  }
  mEntries.push_back({path, lower, DescriptionOf(lower), std::move(factory)});
}

std::vector<VImageStreamEntry> VImageRegistry::GetEntries() const {
  std::lock_guard<std::mutex> lock(mMutex);
  return mEntries;
}

std::vector<VImageStreamEntry> VImageRegistry::GetEntries(const std::string& path) const {
  std::lock_guard<std::mutex> lock(mMutex);
  std::vector<VImageStreamEntry> out;
  for (const VImageStreamEntry& e : mEntries) {
    if (e.path == path) out.push_back(e);
  }
  return out;
}

std::unique_ptr<VImageStream> VImageRegistry::Create(const std::string& path, const std::string& extension) const {
  std::string key = Lower(extension);
  if (!key.empty() && key[0] == '.') key.erase(0, 1);
  VImageStreamFactory factory;
  {
    std::lock_guard<std::mutex> lock(mMutex);
    for (const VImageStreamEntry& e : mEntries) {
      if (e.path == path && e.key == key) {
        factory = e.factory;
        break;
      }
    }
  }
  return factory ? factory() : nullptr;
}

std::string VImageRegistry::ExtensionOf(const std::string& fileName) {
  const size_t slash = fileName.find_last_of("/\\");
  const size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
  return Lower(fileName.substr(dot + 1));
}

std::string VImageRegistry::DescriptionOf(const std::string& key) {
  std::string upper = key;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper + " reader/writer";
}

bool VImageReadFile(const std::string& fileName, VImage& image) {
  image.Clear();
  std::unique_ptr<VImageStream> stream =
      VImageRegistry::Instance().CreateReader(VImageRegistry::ExtensionOf(fileName));
  if (!stream) return false;
  stream->SetFileName(fileName);
  if (!stream->Read(image)) {
    image.Clear();
    return false;
  }
  return true;
}

bool VImageWriteFile(const std::string& fileName, const VImage& image) {
  std::unique_ptr<VImageStream> stream =
      VImageRegistry::Instance().CreateWriter(VImageRegistry::ExtensionOf(fileName));
  if (!stream) return false;
  stream->SetFileName(fileName);
  return stream->Write(image);
}
