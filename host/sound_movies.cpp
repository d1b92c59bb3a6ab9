#include "host/sound_movies.h"

#include <errno.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <new>
#include <string>

#include "host/data_references.h"
#include "host/handles.h"
#include "host/movies_internal.h"

namespace {

// Most movie files open at once.
constexpr std::size_t kMaxOpenMovieFiles = 1024;
// Frames decoded per read.
constexpr sf_count_t kDecodeChunkFrames = 4096;
// Size of the sound description made for a decoded sound.
constexpr Size kSoundDescriptionSize = 36;
// A sound track's volume (1.0 in 8.8 fixed point).
constexpr SInt16 kFullVolume = 0x0100;

struct OpenMovieFileRecord {
  int fd = -1;
  std::string path;
};

std::mutex& filesLock() {
  static auto* lock = new std::mutex();
  return *lock;
}
std::map<SInt16, OpenMovieFileRecord>& openFiles() {
  static auto* files = new std::map<SInt16, OpenMovieFileRecord>();
  return *files;
}

// libsndfile reads through these, on a file descriptor of our own with a
// position of our own, so that it never opens the path again.
struct VirtualFile {
  int fd;
  sf_count_t position;
};

sf_count_t vfLength(void* user) {
  struct stat info;
  if (::fstat(static_cast<VirtualFile*>(user)->fd, &info) != 0) return 0;
  return static_cast<sf_count_t>(info.st_size);
}

sf_count_t vfSeek(sf_count_t offset, int whence, void* user) {
  auto* file = static_cast<VirtualFile*>(user);
  sf_count_t base = 0;
  if (whence == SEEK_CUR) base = file->position;
  if (whence == SEEK_END) base = vfLength(user);
  const sf_count_t target = base + offset;
  if (target < 0) return -1;
  file->position = target;
  return target;
}

sf_count_t vfRead(void* buffer, sf_count_t count, void* user) {
  auto* file = static_cast<VirtualFile*>(user);
  sf_count_t done = 0;
  while (done < count) {
    const ssize_t n = ::pread(file->fd, static_cast<char*>(buffer) + done, static_cast<std::size_t>(count - done),
                              static_cast<off_t>(file->position));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += n;
    file->position += n;
  }
  return done;
}

sf_count_t vfWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t vfTell(void* user) { return static_cast<VirtualFile*>(user)->position; }

// Decodes the whole file into *sound.
OSErr decode(int fd, SoundFrames* sound) {
  SF_VIRTUAL_IO io = {vfLength, vfSeek, vfRead, vfWrite, vfTell};
  VirtualFile file = {fd, 0};
  SF_INFO info;
  std::memset(&info, 0, sizeof(info));
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
  if (sf == nullptr) return noMovieFound;
  if (info.channels < 1 || info.channels > kMaxSoundChannels || info.samplerate < 1) {
    sf_close(sf);
    return noMovieFound;
  }
  sound->channels = info.channels;
  sound->sampleRate = info.samplerate;
  // Grow as frames arrive, never from the frame count the header claims.
  std::vector<float> chunk(static_cast<std::size_t>(kDecodeChunkFrames * info.channels));
  OSErr err = noErr;
  for (;;) {
    const sf_count_t frames = sf_readf_float(sf, chunk.data(), kDecodeChunkFrames);
    if (frames <= 0) break;
    const std::size_t count = static_cast<std::size_t>(frames * info.channels);
    if (sound->samples.size() + count > static_cast<std::size_t>(kMaxDecodedSamples)) {
      err = memFullErr;
      break;
    }
    try {
      sound->samples.insert(sound->samples.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(count));
    } catch (const std::bad_alloc&) {
      err = memFullErr;
      break;
    }
  }
  sf_close(sf);
  if (err != noErr) {
    sound->samples.clear();
    sound->samples.shrink_to_fit();
  }
  return err;
}

// A sound description for the decoded sound, or null.
Handle newSoundDescription(const SoundFrames& sound) {
  Handle h = NewHandleClear(kSoundDescriptionSize);
  if (h == nullptr) return nullptr;
  char* p = *h;
  const SInt32 size = kSoundDescriptionSize;
  const OSType format = kFloat32SoundFormat;
  const SInt16 dataRefIndex = 1;
  const SInt16 channels = static_cast<SInt16>(sound.channels);
  const SInt16 sampleSize = 32;
  // Unsigned 16.16: rates above 65535 do not fit and are written as 0; the
  // media's time scale holds the rate in every case.
  const UInt32 rate = sound.sampleRate <= 0xFFFF ? static_cast<UInt32>(sound.sampleRate) << 16 : 0;
  std::memcpy(p + 0, &size, 4);
  std::memcpy(p + 4, &format, 4);
  std::memcpy(p + 14, &dataRefIndex, 2);
  std::memcpy(p + 24, &channels, 2);
  std::memcpy(p + 26, &sampleSize, 2);
  std::memcpy(p + 32, &rate, 4);
  return h;
}

// The movie for a decoded sound; the caller holds the movies' lock.
OSErr buildMovie(const std::string& path, std::shared_ptr<const SoundFrames> sound, long flags, Movie* result) {
  Handle dataRef = nullptr;
  OSErr err = HostNewFileDataRef(path.c_str(), &dataRef);
  if (err != noErr) return err;
  Handle description = newSoundDescription(*sound);
  Movie movie = host_movies::CreateMovie(flags);
  Track track = movie != nullptr ? host_movies::CreateTrack(movie, 0, 0, kFullVolume) : nullptr;
  Media media = track != nullptr && description != nullptr
                    ? host_movies::CreateMedia(track, SoundMediaType, sound->sampleRate, dataRef, rAliasType)
                    : nullptr;
  err = media != nullptr ? noErr : memFullErr;
  const long frames = sound->frameCount();
  if (err == noErr) media->sound = sound;
  if (err == noErr && frames > 0) {
    err = host_movies::AddSamples(media, 0, static_cast<unsigned long>(sound->channels) * sizeof(float), 1,
                                  description, frames, 0, nullptr);
    if (err == noErr) err = host_movies::InsertMedia(track, 0, 0, static_cast<TimeValue>(frames), fixed1);
  }
  DisposeHandle(dataRef);
  DisposeHandle(description);
  if (err != noErr) {
    if (movie != nullptr) host_movies::DestroyMovie(movie);
    return err;
  }
  *result = movie;
  return noErr;
}

}  // namespace

OSErr OpenMovieFile(const FSSpec* fileSpec, SInt16* resRefNum, SInt8 permission) {
  if (resRefNum == nullptr) return paramErr;
  *resRefNum = 0;
  if (fileSpec == nullptr || (permission != fsRdPerm && permission != fsCurPerm)) return paramErr;
  const std::size_t length = ::strnlen(fileSpec->path, sizeof(fileSpec->path));
  if (length == 0 || length >= sizeof(fileSpec->path)) return paramErr;
  // Non-blocking, so that a pipe at the path cannot stall the open.
  const int fd = ::open(fileSpec->path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? OSErr(fnfErr) : OSErr(ioErr);
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fnfErr;
  }
  std::lock_guard<std::mutex> lock(filesLock());
  auto& files = openFiles();
  if (files.size() >= kMaxOpenMovieFiles) {
    ::close(fd);
    return ioErr;
  }
  SInt16 number = 1;
  while (files.count(number) != 0) ++number;  // at most kMaxOpenMovieFiles steps
  files[number] = OpenMovieFileRecord{fd, std::string(fileSpec->path, length)};
  *resRefNum = number;
  return noErr;
}

OSErr CloseMovieFile(SInt16 resRefNum) {
  std::lock_guard<std::mutex> lock(filesLock());
  auto& files = openFiles();
  auto it = files.find(resRefNum);
  if (it == files.end()) return paramErr;
  ::close(it->second.fd);
  files.erase(it);
  return noErr;
}

OSErr NewMovieFromFile(Movie* theMovie, SInt16 resRefNum, SInt16* resId, StringPtr resName, SInt16 newMovieFlags,
                       Boolean* dataRefWasChanged) {
  if (resId != nullptr) *resId = 0;
  if (resName != nullptr) resName[0] = 0;
  if (dataRefWasChanged != nullptr) *dataRefWasChanged = false;
  if (theMovie == nullptr) return host_movies::SetError(paramErr);
  *theMovie = nullptr;
  int fd = -1;
  std::string path;
  {
    std::lock_guard<std::mutex> lock(filesLock());
    auto& files = openFiles();
    auto it = files.find(resRefNum);
    if (it == files.end()) return host_movies::SetError(paramErr);
    // A descriptor of our own, so that CloseMovieFile on another thread
    // cannot pull the file away while it is decoded.
    fd = ::fcntl(it->second.fd, F_DUPFD_CLOEXEC, 0);
    path = it->second.path;
  }
  if (fd < 0) return host_movies::SetError(ioErr);
  auto sound = std::make_shared<SoundFrames>();
  OSErr err = decode(fd, sound.get());
  ::close(fd);
  if (err != noErr) return host_movies::SetError(err);

  std::lock_guard<std::mutex> lock(host_movies::Lock());
  err = buildMovie(path, std::move(sound), newMovieFlags, theMovie);
  return host_movies::SetError(err);
}

std::shared_ptr<const SoundFrames> HostGetTrackSound(Track track) {
  std::lock_guard<std::mutex> lock(host_movies::Lock());
  if (!host_movies::IsLiveTrack(track)) {
    host_movies::SetError(invalidTrack);
    return nullptr;
  }
  host_movies::SetError(noErr);
  return track->media != nullptr ? track->media->sound : nullptr;
}
