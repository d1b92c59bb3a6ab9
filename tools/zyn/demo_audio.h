#pragma once
// Part of the sample scene: its sound. One audio clip plays a short tone,
// a sine written as a WAV file beside the scene, from half a second into
// the scene's time line.

#include <cstdint>
#include <string>
#include <vector>

class VScene;

namespace zyn_tool {

// The tone's file, named after the scene file: "<scene stem>_tone.wav".
extern const char kDemoToneSuffix[];
// The clip's name and where it starts, in seconds.
extern const char kDemoToneClip[];
inline constexpr double kDemoToneStartSeconds = 0.5;
// The tone: a 440 Hz sine for one second, 44100 samples a second, 16-bit
// mono, faded in and out over 10 ms so that it starts and stops cleanly.
inline constexpr int kDemoToneRate = 44100;
inline constexpr int kDemoToneFrequency = 440;
inline constexpr int kDemoToneSamples = kDemoToneRate;

// Adds the clip. Until the tone is written beside a scene file, only the
// name it will have there (for a scene called "demo") is known.
void AddDemoAudio(VScene& scene);

// The tone as the bytes of a WAV file: the 44-byte RIFF header ("fmt "
// chunk for 16-bit PCM, "data" chunk) and the samples, little-endian.
std::vector<std::uint8_t> DemoToneWave();
// Writes the tone beside the scene file `scene_path` and points the
// sample's clip at it: "Filename" absolute, "RelativeFilename" the bare
// file name. False when the file cannot be written (the clip then keeps
// its names) or the scene has no such clip.
bool WriteDemoAudio(VScene& scene, const std::string& scene_path);

}  // namespace zyn_tool
