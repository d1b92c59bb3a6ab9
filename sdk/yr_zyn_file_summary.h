#pragma once
// YrZynFileSummary: what a scene file says about itself, read without
// loading it into the engine: the header's camera resolution (the
// "CurrentCameraResolution" block of the header extension) and the takes'
// spans. Where the header lacks the camera, the scene can be read into a
// scene of this object's own (the engine's scene is never touched) for its
// default camera's resolution.
//
// A binary file written by the engine lists its takes in its document
// summary, so that for such a file nothing but the header and that summary
// is read, whatever the file's size.

#include <cstddef>
#include <memory>
#include <string>

#include "sdk/yr_time.h"

namespace YrSDK {

class YrZynFileSummary {
 public:
  YrZynFileSummary();
  ~YrZynFileSummary();
  YrZynFileSummary(const YrZynFileSummary&) = delete;
  YrZynFileSummary& operator=(const YrZynFileSummary&) = delete;

  // Opens the file by path and reads its header, nothing more; false when
  // it cannot be opened or is no scene file. Opening again forgets the
  // previous file.
  bool Open(const std::string& path);
  // The same over bytes in memory, read in place: they must stay alive
  // until Close (or the next Open).
  bool Open(const void* bytes, size_t size);
  // Releases the file and the scene read from it.
  void Close();
  bool IsOpen() const;

  // The header's camera resolution: whether the header has it, the
  // resolution mode's name ("Fixed Resolution", ...), width and height.
  bool HasHeaderCameraResolution() const;
  const std::string& GetHeaderResolutionMode() const;
  double GetHeaderResolutionW() const;
  double GetHeaderResolutionH() const;

  // Reads the whole scene into this object's own scene; false when it
  // cannot be read. Reading it again answers the first result.
  bool ReadScene();
  // The resolution of the scene's default camera: the "ResolutionMode"
  // number and the resolution width and height. False before ReadScene or
  // when the default camera is not a camera of the scene.
  bool GetDefaultCameraResolution(int* mode, double* width, double* height) const;

  // The takes' local spans: from the scene once it is read, else from the
  // file's document summary; a file without one has its scene read for
  // them. 0 takes when neither can be read.
  int GetTakeCount();
  YrTimeSpan GetTakeLocalSpan(int index);

 private:
  struct State;
  void ReadTakes();

  std::unique_ptr<State> state_;
};

}  // namespace YrSDK
