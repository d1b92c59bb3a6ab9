#pragma once
// What the header extension of a Zyn file tells about it.

#include <string>

struct VZynTimeStamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

struct VZynHeaderInfo {
  int header_version = 0;  // "ZYNHeaderVersion"; 0 when the file has none
  bool has_camera = false;
  std::string camera_name;
  std::string resolution_mode;
  double resolution_w = 0.0;
  double resolution_h = 0.0;
  bool has_creation_time = false;
  VZynTimeStamp creation_time;
  bool has_creator = false;
  std::string creator;
};

// The creator text this engine writes.
extern const char* const kVZynCreator;
