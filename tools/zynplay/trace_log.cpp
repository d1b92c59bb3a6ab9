#include "tools/zynplay/trace_log.h"

#include <cerrno>
#include <cstring>

#include "tools/zynplay/json_text.h"

namespace zynplay {

TraceLog::~TraceLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool TraceLog::Open(const std::string& path, std::string* message) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_ == nullptr) {
    *message = "Unable to open file " + path + " for writing: " + std::strerror(errno);
    return false;
  }
  path_ = path;
  return true;
}

bool TraceLog::Close(std::string* message) {
  if (file_ == nullptr) return true;
  const bool failed = std::ferror(file_) != 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (failed || !closed) {
    *message = "Unable to write " + path_;
    return false;
  }
  return true;
}

void TraceLog::Line(const std::string& line) {
  if (file_ == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file_);
  std::fputc('\n', file_);
}

void TraceLog::Idle(int instance, TimeValue time, long flags, const IdleOutcome& outcome) {
  Line("{\"call\":\"idle\",\"time\":" + std::to_string(time) + ",\"flags\":" + std::to_string(flags) +
       ",\"result\":" + std::to_string(outcome.result) + ",\"drew\":" + (outcome.drew ? "true" : "false") +
       ",\"instance\":" + std::to_string(instance) + "}");
}

void TraceLog::Event(int instance, OSType kind, ComponentResult result) {
  Line("{\"call\":\"event\",\"kind\":" + JsonFourChars(kind) + ",\"result\":" + std::to_string(result) +
       ",\"instance\":" + std::to_string(instance) + "}");
}

void TraceLog::Text(int instance, const PortTextCall& call) {
  Line("{\"call\":\"text\",\"text\":" + JsonString(call.text) + ",\"x\":" + std::to_string(call.x) +
       ",\"y\":" + std::to_string(call.y) + ",\"font\":" + JsonString(call.font) +
       ",\"size\":" + std::to_string(call.size) + ",\"face\":" + std::to_string(call.face) + ",\"color\":[" +
       std::to_string(call.color.red) + "," + std::to_string(call.color.green) + "," +
       std::to_string(call.color.blue) + "],\"instance\":" + std::to_string(instance) + "}");
}

void TraceLog::Watch(PlayerMovie* movie, int instance) {
  if (file_ == nullptr) return;
  movie->SetTextSink([this, instance](const PortTextCall& call) { Text(instance, call); });
}

}  // namespace zynplay
