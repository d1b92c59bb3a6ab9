#pragma once
// The scene's audio clips in a document: the "AudioMedia" block, inside
// "Version5" after "Settings" (older files: "Audio Media", and at the top
// level of the file). The block holds "PlaybackDelay" (D, seconds) and one
// "AudioFile" record per clip (older files: "Audio File"): value = the
// clip's name, block = "Filename" (S), "Slip" (D, the start in seconds),
// "Scrub" (I), "Output" (S), "MarkIn" and "MarkOut" (D, seconds),
// "AccessMode" (I), "UseChannel" (I), then "Content" (the sound file's
// bytes, binary files only) when the clip carries them and
// "RelativeFilename" (S) when it has one.

class VScene;
class VZynFile;

// Reads the audio blocks of the entered block, when there are any, and
// adds their clips to the scene's list in the file's order. Fields missing
// or of the wrong type keep their defaults; a clip that names no file and
// carries no sound is skipped, and so is one already in the list (same
// name, files and start). Answers whether a block was found.
bool VZynReadAudioMedia(VZynFile& file, VScene& scene);

// Writes the scene's clips as an "AudioMedia" block; nothing when the scene
// has no clip and no playback delay.
void VZynWriteAudioMedia(VZynFile& file, const VScene& scene);
