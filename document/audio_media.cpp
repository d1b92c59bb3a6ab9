#include "document/audio_media.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_set>

#include "scene/audio_clip.h"
#include "scene/scene.h"
#include "zynfile/field_block.h"
#include "zynfile/zyn_file.h"

namespace {

const char* const kBlockNames[] = {"AudioMedia", "Audio Media"};
const char* const kClipNames[] = {"AudioFile", "Audio File"};

// The value at the cursor is text: any value of an ASCII file, an 'S' of a
// binary one.
bool AtText(const VZynFile& file) {
  return file.FieldReadGetRemain() > 0 && (!file.IsBinary() || file.FieldReadGetType() == 'S');
}

// The value at the cursor is a number: unquoted in an ASCII file, an
// integer or floating value in a binary one (not a text, a character or
// raw bytes).
bool AtNumber(const VZynFile& file) {
  if (file.FieldReadGetRemain() <= 0) return false;
  if (!file.IsBinary()) return !file.FieldReadIsQuoted();
  const char type = file.FieldReadGetType();
  return type == 'D' || type == 'F' || type == 'I' || type == 'L';
}

std::string ReadText(VZynFile& file, const char* name, const std::string& fallback) {
  if (!file.FieldReadBegin(name)) return fallback;
  std::string value = AtText(file) ? file.FieldReadC() : fallback;
  file.FieldReadEnd();
  return value;
}

// NaN and infinities keep the fallback too.
double ReadDouble(VZynFile& file, const char* name, double fallback) {
  if (!file.FieldReadBegin(name)) return fallback;
  double value = AtNumber(file) ? file.FieldReadD() : fallback;
  file.FieldReadEnd();
  return std::isfinite(value) ? value : fallback;
}

int ReadInt(VZynFile& file, const char* name, int fallback) {
  if (!file.FieldReadBegin(name)) return fallback;
  int value = AtNumber(file) ? file.FieldReadI() : fallback;
  file.FieldReadEnd();
  return value;
}

void ReadClipBlock(VZynFile& file, VAudioClip& clip) {
  clip.file_name = ReadText(file, "Filename", "");
  clip.start = VAudioClipSecondsToTime(ReadDouble(file, "Slip", 0.0));
  clip.scrub = ReadInt(file, "Scrub", 0);
  clip.output = ReadText(file, "Output", "");
  clip.mark_in = ReadDouble(file, "MarkIn", 0.0);
  clip.mark_out = ReadDouble(file, "MarkOut", kVAudioClipNoMarkOut);
  clip.access_mode = ReadInt(file, "AccessMode", 0);
  clip.use_channel = ReadInt(file, "UseChannel", -1);
  if (file.IsBinary() && file.FieldReadBegin("Content")) {
    // Raw bytes only; the pointer stays valid while the block is entered.
    uint32_t size = 0;
    const uint8_t* bytes = file.FieldReadGetType() == 'R' ? file.FieldReadR(&size) : nullptr;
    if (bytes && size > 0) clip.content.assign(bytes, bytes + size);
    file.FieldReadEnd();
  }
  clip.relative_file_name = ReadText(file, "RelativeFilename", "");
}

// What tells two clips apart when a file lists one twice.
std::string ClipKey(const VAudioClip& clip) {
  std::string key = clip.name;
  key += '\0';
  key += clip.file_name;
  key += '\0';
  key += clip.relative_file_name;
  key += '\0';
  key += std::to_string(clip.start.GetTicks());
  return key;
}

// The file's base name, for a clip whose record has no name.
std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void ReadClips(VZynFile& file, VScene& scene, std::unordered_set<std::string>& known) {
  // Both record names, in the file's order.
  const int count = file.FieldReadOccurrenceCount();
  for (int k = 0; k < count && file.FieldReadBeginOccurrence(k); ++k) {
    const std::string field = file.FieldReadGetName();
    if (field != kClipNames[0] && field != kClipNames[1]) {
      file.FieldReadEnd();
      continue;
    }
    VAudioClip clip;
    if (AtText(file)) clip.name = file.FieldReadC();
    bool read = file.FieldReadIsBlock() && file.FieldReadBlockBegin();
    if (read) {
      ReadClipBlock(file, clip);
      file.FieldReadBlockEnd();
    }
    file.FieldReadEnd();
    if (file.HasError()) return;
    // A clip with nothing to play is no clip.
    if (!read || (clip.file_name.empty() && clip.relative_file_name.empty() && clip.content.empty())) continue;
    if (clip.name.empty()) clip.name = BaseName(clip.file_name.empty() ? clip.relative_file_name : clip.file_name);
    if (!known.insert(ClipKey(clip)).second) continue;
    scene.audio_clips().push_back(std::move(clip));
  }
}

void WriteClip(VZynFile& file, const VAudioClip& clip) {
  file.FieldWriteBegin(kClipNames[0]);
  file.FieldWriteC(clip.name);
  file.FieldWriteBlockBegin();
  file.FieldWriteC("Filename", clip.file_name);
  file.FieldWriteD("Slip", clip.start.GetSecondDouble());
  file.FieldWriteI("Scrub", clip.scrub);
  file.FieldWriteC("Output", clip.output);
  file.FieldWriteD("MarkIn", clip.mark_in);
  file.FieldWriteD("MarkOut", clip.mark_out);
  file.FieldWriteI("AccessMode", clip.access_mode);
  file.FieldWriteI("UseChannel", clip.use_channel);
  // The ASCII form has no raw values: its clips name their files only.
  if (file.IsBinary() && !clip.content.empty() && clip.content.size() <= UINT32_MAX - 8) {
    file.FieldWriteBegin("Content");
    file.FieldWriteR(clip.content.data(), static_cast<uint32_t>(clip.content.size()));
    file.FieldWriteEnd();
  }
  if (!clip.relative_file_name.empty()) file.FieldWriteC("RelativeFilename", clip.relative_file_name);
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
}

}  // namespace

bool VZynReadAudioMedia(VZynFile& file, VScene& scene) {
  std::unordered_set<std::string> known;
  for (const VAudioClip& clip : scene.audio_clips()) known.insert(ClipKey(clip));
  bool found = false;
  for (const char* block : kBlockNames) {
    found = VZynReadFieldBlock(file, block, [&] {
      double& delay = scene.settings().audio_playback_delay;
      delay = ReadDouble(file, "PlaybackDelay", delay);
      ReadClips(file, scene, known);
    }) || found;
    if (file.HasError()) break;
  }
  return found;
}

void VZynWriteAudioMedia(VZynFile& file, const VScene& scene) {
  const std::vector<VAudioClip>& clips = scene.audio_clips();
  const double delay = scene.settings().audio_playback_delay;
  if (clips.empty() && delay == 0.0) return;
  file.FieldWriteBlockBegin(kBlockNames[0]);
  file.FieldWriteD("PlaybackDelay", delay);
  for (const VAudioClip& clip : clips) WriteClip(file, clip);
  file.FieldWriteBlockEnd();
  file.FieldWriteEnd();
}
