#pragma once
// The --trace file: one JSON line per idle call, event and text call of the
// host's port. An idle call's line follows the lines of the texts it drew.

#include <cstdio>
#include <string>

#include "host/port_text.h"
#include "tools/zynplay/player_movie.h"

namespace zynplay {

class TraceLog {
 public:
  TraceLog() = default;
  ~TraceLog();
  TraceLog(const TraceLog&) = delete;
  TraceLog& operator=(const TraceLog&) = delete;

  // Creates the file; false with the reason in *message.
  bool Open(const std::string& path, std::string* message);
  bool isOpen() const { return file_ != nullptr; }
  // Closes the file; false when a write failed.
  bool Close(std::string* message);

  // `instance` counts the player's movies from 1 in opening order.
  void Idle(int instance, TimeValue time, long flags, const IdleOutcome& outcome);
  void Event(int instance, OSType kind, ComponentResult result);
  void Text(int instance, const PortTextCall& call);
  // Sends the texts of the movie's port here.
  void Watch(PlayerMovie* movie, int instance);

 private:
  void Line(const std::string& line);

  std::FILE* file_ = nullptr;
  std::string path_;
};

}  // namespace zynplay
