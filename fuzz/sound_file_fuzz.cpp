// Sound files opened as movies: whatever bytes a clip's file holds, the
// movie either opens with one sound track whose decoded frames match its
// duration, or the open fails with an error.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/data_references.h"
#include "host/movies.h"
#include "host/sound_movies.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = "/tmp/qtzyn_sound_fuzz_" + std::to_string(getpid()) + ".snd";
  return path;
}

bool WriteScratch(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (file == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!WriteScratch(data, size)) return 0;
  FSSpec fileRef;
  if (NativePathNameToFSSpec(ScratchPath().c_str(), &fileRef, 0) != noErr) return 0;
  SInt16 refNum = 0;
  if (OpenMovieFile(&fileRef, &refNum, 1) != noErr) return 0;
  Movie movie = nullptr;
  if (NewMovieFromFile(&movie, refNum, nullptr, nullptr, 0, nullptr) == noErr && movie != nullptr) {
    Track track = GetMovieIndTrack(movie, 1);
    if (track == nullptr) std::abort();
    auto sound = HostGetTrackSound(track);
    if (sound && (sound->channels < 1 || sound->channels > kMaxSoundChannels ||
                  static_cast<long>(sound->samples.size()) > kMaxDecodedSamples)) {
      std::abort();
    }
    DisposeMovie(movie);
  }
  CloseMovieFile(refNum);
  std::remove(ScratchPath().c_str());
  return 0;
}
