#pragma once
// Where a scene's media files (texture images, sounds) are looked for. A
// record names its file twice: by an absolute path and by a path relative
// to the scene file, so that a scene moved together with its media still
// finds them.

#include <string>
#include <vector>

// The files to try, in order: `absolute_path`, then `relative_path` joined
// with the folder of `scene_file_path` (as it is when it is absolute
// itself, and once more with '\' read as '/' for files written on
// Windows). Empty names and repeats are left out.
std::vector<std::string> VMediaFileCandidates(const std::string& absolute_path, const std::string& relative_path,
                                              const std::string& scene_file_path);
