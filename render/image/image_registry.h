#pragma once
// The registry of image streams. Each format registers a factory under the
// plug-in path "Stream/Reader/Image" and, when it can also write,
// "Stream/Writer/Image", keyed by a lower-case file extension. The built-in
// formats register on first use of the registry, in this order: dds; sgi,
// rgb, rgba; yuv; bmp; iff; pic; tga; jpeg, jpg; tiff, tif.

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "render/image/image_stream.h"

extern const char kImageReaderPath[];  // "Stream/Reader/Image"
extern const char kImageWriterPath[];  // "Stream/Writer/Image"

using VImageStreamFactory = std::function<std::unique_ptr<VImageStream>()>;

struct VImageStreamEntry {
  std::string path;         // kImageReaderPath or kImageWriterPath
  std::string key;          // lower-case extension, e.g. "tga"
  std::string description;  // e.g. "TGA reader/writer"
  VImageStreamFactory factory;
};

class VImageRegistry {
 public:
  static VImageRegistry& Instance();

  // Adds (or replaces, keeping its place) the factory of path and key; the
  // key is stored in lower case and the description is made from it.
  void Register(const std::string& path, const std::string& key, VImageStreamFactory factory);

  // Entries in registration order.
  std::vector<VImageStreamEntry> GetEntries() const;
  std::vector<VImageStreamEntry> GetEntries(const std::string& path) const;

  // A new stream for the extension (any case, with or without the dot);
  // null when none is registered.
  std::unique_ptr<VImageStream> Create(const std::string& path, const std::string& extension) const;
  std::unique_ptr<VImageStream> CreateReader(const std::string& extension) const {
    return Create(kImageReaderPath, extension);
  }
  std::unique_ptr<VImageStream> CreateWriter(const std::string& extension) const {
    return Create(kImageWriterPath, extension);
  }

  // The lower-case extension of a file name ("" when it has none).
  static std::string ExtensionOf(const std::string& fileName);
  // extension + " reader/writer", the extension in capitals.
  static std::string DescriptionOf(const std::string& key);

 private:
  VImageRegistry();
  void RegisterBuiltIns();

  mutable std::mutex mMutex;
  std::vector<VImageStreamEntry> mEntries;
};

// Reads a file through the registry's reader for its extension; false (and an
// empty image) when there is none or reading fails.
bool VImageReadFile(const std::string& fileName, VImage& image);
// Writes an image through the registry's writer for the file's extension.
bool VImageWriteFile(const std::string& fileName, const VImage& image);
