#pragma once
// Base of the image streams: one class per file format, found through the
// image registry by the file's extension. A stream reads the file named by
// its file-name accessor into a VImage and, for formats that can be
// written, writes one. Readers answer false on any failure and leave the
// image empty; nothing throws.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/image/image.h"

// Receives the streams' warning texts (a later file version, a failed row).
// The default handler discards them; a null handler restores the default.
using VImageTraceFunction = void (*)(const char* text);
void VImageSetTraceFunction(VImageTraceFunction function);
void VImageTrace(const char* text);

// Reads a whole file into memory ("rb"); false when it cannot be opened or
// read, or is larger than the largest file the readers accept (1 GiB).
bool VImageLoadFile(const std::string& fileName, std::vector<uint8_t>* bytes);

class VImageStream {
 public:
  virtual ~VImageStream() = default;

  virtual const char* GetClassName() const = 0;

  void SetFileName(const std::string& fileName) { mFileName = fileName; }
  const std::string& GetFileName() const { return mFileName; }

  // Reads the file named by GetFileName(). The default loads the file and
  // decodes it with ReadMemory.
  virtual bool Read(VImage& image);
  // Decodes a file image held in memory; on failure the image is empty.
  bool ReadMemory(const uint8_t* data, size_t size, VImage& image);

  virtual bool CanWrite() const { return false; }
  // Writes the image to GetFileName(); false for read-only formats.
  virtual bool Write(const VImage& image);

 protected:
  // The format's decoder; ReadMemory clears the image before and after a
  // failed call.
  virtual bool Decode(const uint8_t* data, size_t size, VImage& image) = 0;

 private:
  std::string mFileName;
};

// Writes bytes to a temporary name beside the file and renames it, so that a
// failure leaves no partial file under the requested name.
bool VImageWriteFileAtomically(const std::string& fileName, const std::vector<uint8_t>& bytes);
