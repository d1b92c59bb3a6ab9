#include "tools/zyn/demo_audio.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "scene/audio_clip.h"
#include "scene/scene.h"

namespace zyn_tool {

const char kDemoToneSuffix[] = "_tone.wav";
const char kDemoToneClip[] = "Tone";

namespace {

constexpr int kWaveHeaderSize = 44;
constexpr int kBitsPerSample = 16;
constexpr int kBytesPerSample = kBitsPerSample / 8;
constexpr int kChannels = 1;
constexpr int kPcmFormat = 1;
constexpr int kFmtChunkSize = 16;
constexpr double kAmplitude = 0.5;               // of full scale: loud enough, far from clipping
constexpr int kFadeSamples = kDemoToneRate / 100;  // 10 ms
constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<std::uint8_t>(value & 0xff);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xff);
}

void Put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  Put16(out, at, value & 0xffff);
  Put16(out, at + 2, value >> 16);
}

void PutTag(std::vector<std::uint8_t>& out, std::size_t at, const char (&tag)[5]) {
  for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(tag[i]);
}

VAudioClip* FindClip(VScene& scene) {
  for (VAudioClip& clip : scene.audio_clips()) {
    if (clip.name == kDemoToneClip) return &clip;
  }
  return nullptr;
}

}  // namespace

void AddDemoAudio(VScene& scene) {
  VAudioClip clip;
  clip.name = kDemoToneClip;
  clip.relative_file_name = std::string("demo") + kDemoToneSuffix;
  clip.start = VAudioClipSecondsToTime(kDemoToneStartSeconds);
  scene.audio_clips().push_back(clip);
}

std::vector<std::uint8_t> DemoToneWave() {
  const std::uint32_t data_size = kDemoToneSamples * kBytesPerSample * kChannels;
  std::vector<std::uint8_t> bytes(kWaveHeaderSize + data_size, 0);
  PutTag(bytes, 0, "RIFF");
  Put32(bytes, 4, kWaveHeaderSize - 8 + data_size);
  PutTag(bytes, 8, "WAVE");
  PutTag(bytes, 12, "fmt ");
  Put32(bytes, 16, kFmtChunkSize);
  Put16(bytes, 20, kPcmFormat);
  Put16(bytes, 22, kChannels);
  Put32(bytes, 24, kDemoToneRate);
  Put32(bytes, 28, kDemoToneRate * kChannels * kBytesPerSample);  // bytes per second
  Put16(bytes, 32, kChannels * kBytesPerSample);                  // bytes per sample frame
  Put16(bytes, 34, kBitsPerSample);
  PutTag(bytes, 36, "data");
  Put32(bytes, 40, data_size);
  const double step = 2.0 * kPi * kDemoToneFrequency / kDemoToneRate;
  for (int i = 0; i < kDemoToneSamples; ++i) {
    const int edge = std::min(i, kDemoToneSamples - 1 - i);
    const double fade = edge < kFadeSamples ? static_cast<double>(edge) / kFadeSamples : 1.0;
    const double value = kAmplitude * fade * std::sin(step * i) * 32767.0;
    const auto sample = static_cast<std::int16_t>(std::lround(value));
    Put16(bytes, kWaveHeaderSize + static_cast<std::size_t>(i) * kBytesPerSample,
          static_cast<std::uint16_t>(sample));
  }
  return bytes;
}

bool WriteDemoAudio(VScene& scene, const std::string& scene_path) {
  VAudioClip* clip = FindClip(scene);
  if (!clip) return false;
  namespace fs = std::filesystem;
  std::error_code error;
  fs::path scene_file = fs::absolute(fs::path(scene_path), error);
  if (error) return false;
  const std::string file_name = scene_file.stem().string() + kDemoToneSuffix;
  const fs::path wave_path = scene_file.parent_path() / file_name;

  const std::vector<std::uint8_t> wave = DemoToneWave();
  std::FILE* out = std::fopen(wave_path.string().c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(wave.data(), 1, wave.size(), out) == wave.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed) return false;
  clip->file_name = wave_path.lexically_normal().string();
  clip->relative_file_name = file_name;
  return true;
}

}  // namespace zyn_tool
