// Creating Zyn files and writing fields, in either form.

#include <charconv>
#include <cmath>
#include <cstring>
#include <ctime>
#include <sys/time.h>

#include "zynfile/byte_order.h"
#include "zynfile/file_id.h"
#include "zynfile/file_stream.h"
#include "zynfile/protection.h"
#include "zynfile/zyn_file.h"

namespace {

constexpr size_t kOutFlushSize = 256 << 10;
constexpr int kAsciiWrapColumn = 120;
constexpr size_t kEmbedChunk = 524288;

VZynTimeStamp Now() {
  struct timeval tv;
  gettimeofday(&tv, nullptr);
  struct tm local;
  time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &local);
  VZynTimeStamp t;
  t.year = local.tm_year + 1900;
  t.month = local.tm_mon + 1;
  t.day = local.tm_mday;
  t.hour = local.tm_hour;
  t.minute = local.tm_min;
  t.second = local.tm_sec;
  t.millisecond = static_cast<int>(tv.tv_usec / 1000);
  return t;
}

// Names holding any of these are written between double quotes.
bool NeedsQuotes(const std::string& name) { return name.find_first_of("@:;, \t\n\r") != std::string::npos; }

// The ASCII form has no escapes: a double quote or a line break inside a
// string would end it early and break every field after it.
std::string AsciiSafe(const char* text, size_t n) {
  std::string s(text, n);
  for (char& c : s) {
    if (c == '"') c = '\'';
    else if (c == '\n' || c == '\r') c = ' ';
  }
  return s;
}

}  // namespace

// ---------------------------------------------------------------- creating

bool VZynFile::CreateFile(const std::string& path, bool binary, bool protect, const std::string& camera_name) {
  int version = version_;  // set by SetVersion for this file
  CloseFile();
  Reset();
  version_ = version;
  auto stream = std::make_unique<VFileStream>();
  if (!stream->Open(path, kVStreamCreate)) {
    path_ = path;
    return SetError(kZynErrorNotCreated, "Unable to create file " + path);
  }
  owned_stream_ = std::move(stream);
  path_ = path;
  return CreateInStream(owned_stream_.get(), binary, protect, camera_name);
}

bool VZynFile::CreateInStream(VStream* stream, bool binary, bool protect, const std::string& camera_name) {
  if (stream != owned_stream_.get()) {
    int version = version_;
    CloseFile();
    Reset();
    version_ = version;
  }
  if (!stream || !stream->IsOpen()) return SetError(kZynErrorNotCreated, "Unable to create file " + path_);
  raw_ = stream_ = stream;
  mode_ = 1;
  writing_ = true;
  binary_ = binary;
  protected_ = protect && binary;
  times_as_ticks_ = version_ >= 2000;
  out_base_ = stream->Tell();
  levels_.assign(1, WriteLevel{});
  if (!WriteHeaderAndExtension(camera_name)) return false;
  section_start_.assign(1, OutTell());
  section_version_.assign(1, version_);
  open_section_ = 0;
  return WriteSectionIdentification();
}

bool VZynFile::WriteHeaderAndExtension(const std::string& camera_name) {
  if (binary_) {
    uint8_t head[27] = {};
    std::memcpy(head, "Morvane ZYN Binary  ", 20);
    head[21] = 0x1A;
    VStoreU32(head + 23, static_cast<uint32_t>(version_ >= 6000 ? version_ : 3000));
    Emit(head, sizeof head);
  } else {
    char line[128];
    std::snprintf(line, sizeof line, "; ZYN %d.%d.%d project file\n", version_ / 1000, (version_ % 1000) / 100,
                  version_ % 100);
    std::string text = line;
    text += "; Copyright (C) QTZyn developers. All rights reserved.\n";
    text += "; Written by the QTZyn engine.\n";
    text += "; " + std::string(52, '-') + "\n\n";
    Emit(text.data(), text.size());
  }
  FieldWriteBlockBegin("ZYNHeaderExtension");
  FieldWriteI("ZYNHeaderVersion", 1002);
  FieldWriteI("ZYNVersion", version_);
  if (binary_) FieldWriteI("EncryptionType", protected_ ? 1 : 0);
  if (!camera_name.empty()) {
    FieldWriteBlockBegin("CurrentCameraResolution");
    FieldWriteC("CameraName", camera_name);
    FieldWriteC("CameraResolutionMode", header_camera_mode_);
    FieldWriteD("CameraResolutionW", header_camera_w_);
    FieldWriteD("CameraResolutionH", header_camera_h_);
    FieldWriteBlockEnd();
    FieldWriteEnd();
  }
  VZynTimeStamp t = Now();
  FieldWriteBlockBegin("CreationTimeStamp");
  FieldWriteI("Version", 1000);
  FieldWriteI("Year", t.year);
  FieldWriteI("Month", t.month);
  FieldWriteI("Day", t.day);
  FieldWriteI("Hour", t.hour);
  FieldWriteI("Minute", t.minute);
  FieldWriteI("Second", t.second);
  FieldWriteI("Millisecond", t.millisecond);
  FieldWriteBlockEnd();
  FieldWriteEnd();
  FieldWriteC("Creator", std::string(kVZynCreator));
  FieldWriteBlockEnd();
  FieldWriteEnd();
  if (protected_) {
    // The header stays readable; everything behind the seal is enciphered.
    if (!CloseTopLevel() || !FlushOut()) return false;
    auto protection = std::make_unique<VZynProtection>();
    std::string message;
    int code = protection->Create(raw_, OutTell(), password_, &message);
    if (code != kZynErrorNone) return SetError(code, message);
    out_base_ = protection->DataStart();
    stream_ = protection->Stream();
    stream_->SetPosition(out_base_);
    protection_ = std::move(protection);
    levels_.assign(1, WriteLevel{});
  }
  return !HasError();
}

bool VZynFile::WriteSectionIdentification() {
  section_time_ = Now();
  const VZynTimeStamp& t = section_time_;
  if (binary_) {
    VZynMakeFileId(t, file_id_);
    FieldWriteBegin("FileId");
    FieldWriteR(file_id_, 16);
    FieldWriteEnd();
  }
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d:%03d", t.year, t.month, t.day, t.hour, t.minute,
                t.second, t.millisecond);
  FieldWriteC("CreationTime", std::string(text));
  FieldWriteC("Creator", std::string(kVZynCreator));
  return !HasError();
}

bool VZynFile::WriteFooter(int section) {
  uint8_t footer_id[16];
  VZynMakeFooterId(section_time_, file_id_, footer_id);
  Emit(footer_id, 16);
  int64_t offset = OutTell();
  uint8_t zeros[16] = {};
  Emit(zeros, static_cast<size_t>(16 - offset % 16));
  uint8_t block[128] = {};
  int64_t block_offset = OutTell();
  int64_t start = section_start_[static_cast<size_t>(section)];
  VStoreU32(block, section == 0 ? 0u : static_cast<uint32_t>(block_offset - start));
  VStoreU32(block + 4, static_cast<uint32_t>(section_version_[static_cast<size_t>(section)]));
  Emit(block, sizeof block);
  Emit(kVZynFooterSignature, 16);
  return FlushOut() && !HasError();
}

bool VZynFile::CreateSection(bool overwrite_last) {
  if (!Usable() || !binary_ || mode_ == 0 || protected_) {
    return SetError(kZynErrorInvalidData, "Extension sections need a binary file opened for writing");
  }
  if (open_section_ >= 0) CloseSection();
  int64_t start = raw_->Size();
  if (overwrite_last && SectionCount() > 0) {
    start = section_start_.back();
    section_start_.pop_back();
    section_version_.pop_back();
    if (!raw_->Truncate(start)) return SetError(kZynErrorNoSpace, "No space left on device");
  }
  section_start_.push_back(start);
  section_version_.push_back(version_);
  open_section_ = static_cast<int>(section_start_.size()) - 1;
  writing_ = true;
  out_len_ = 0;
  out_base_ = start;
  raw_->SetPosition(start);
  levels_.assign(1, WriteLevel{});
  return WriteSectionIdentification();
}

// ---------------------------------------------------------------- output

bool VZynFile::FlushOut() {
  if (out_len_ == 0) return true;
  stream_->SetPosition(out_base_);
  bool ok = stream_->Write(out_.data(), out_len_);
  out_base_ += static_cast<int64_t>(out_len_);
  out_len_ = 0;
  if (!ok) return SetError(kZynErrorNoSpace, "No space left on device");
  return true;
}

bool VZynFile::EmitSlow(const void* data, size_t n) {
  if (HasError()) return false;
  if (out_.size() < kOutFlushSize) {
    out_.resize(kOutFlushSize);
    if (out_len_ + n <= out_.size()) return Emit(data, n);
  }
  if (!FlushOut()) return false;
  if (n >= kOutFlushSize) {  // large values go straight through
    stream_->SetPosition(out_base_);
    if (!stream_->Write(data, n)) return SetError(kZynErrorNoSpace, "No space left on device");
    out_base_ += static_cast<int64_t>(n);
    return true;
  }
  return Emit(data, n);
}

void VZynFile::CheckStream() {
  if (raw_ && raw_->Error() != 0) SetError(kZynErrorNoSpace, "No space left on device");
}

bool VZynFile::PatchRecord(WriteLevel& level) {
  int64_t end = OutTell();
  if (end > UINT32_MAX) return SetError(kZynErrorInvalidData, "File too large for the binary form");
  uint8_t patch[12];
  VStoreU32(patch, static_cast<uint32_t>(end));
  VStoreU32(patch + 4, level.count);
  VStoreU32(patch + 8, level.length);
  if (level.record_start >= out_base_) {
    std::memcpy(out_.data() + (level.record_start - out_base_), patch, sizeof patch);
  } else if (!stream_->WriteAt(level.record_start, patch, sizeof patch)) {
    return SetError(kZynErrorNoSpace, "No space left on device");
  }
  level.record_start = 0;
  return true;
}

bool VZynFile::CloseTopLevel() {
  if (levels_.empty()) return false;
  if (binary_) {
    if (levels_[0].record_start != 0 && !PatchRecord(levels_[0])) return false;
    static const uint8_t kNull[13] = {};
    Emit(kNull, sizeof kNull);
  }
  levels_.assign(1, WriteLevel{});
  return !HasError();
}

// ---------------------------------------------------------------- fields

bool VZynFile::FieldWriteBegin(const char* name_in) {
  if (!Usable() || !writing_) return false;
  if (!name_in) return SetError(kZynErrorInvalidData, "Write field error : V_NULL value");
  WriteLevel& level = levels_.back();
  if (open_field_ != 0) return SetError(kZynErrorInvalidData, "Begin Field error last field not closed");
  std::string name = name_in;
  if (binary_) {
    if (!name.empty() && name[0] == '"') name = name.size() >= 2 ? name.substr(1, name.size() - 2) : "";
    if (name.size() > 255) return SetError(kZynErrorInvalidData, "Field name longer than 255 bytes");
    if (level.record_start != 0 && !PatchRecord(level)) return false;
    level.record_start = OutTell();
    level.count = level.length = 0;
    uint8_t head[13] = {};
    head[12] = static_cast<uint8_t>(name.size());
    Emit(head, sizeof head);
    Emit(name.data(), name.size());
  } else {
    // No escapes exist: line breaks and inner quotes would break the file.
    for (size_t i = 0; i < name.size(); ++i) {
      char& c = name[i];
      if (c == '\n' || c == '\r') c = ' ';
      if (c == '"' && i != 0 && i + 1 != name.size()) c = '\'';
    }
    if (!name.empty() && name[0] == '"' && (name.size() == 1 || name.back() != '"')) {
      name += '"';
    } else if (!name.empty() && name.back() == '"' && name[0] != '"') {
      name = '"' + name;
    } else if (NeedsQuotes(name) && name[0] != '"') {
      name = '"' + name + '"';
    }
    std::string line(static_cast<size_t>(ascii_depth_) * 4, ' ');
    line += name;
    line += ": ";
    Emit(line.data(), line.size());
    ascii_column_ = ascii_indent_ = ascii_depth_ * ascii_depth_ + 4;
    ascii_wrap_pending_ = false;
  }
  open_field_ = 1;
  return !HasError();
}

bool VZynFile::FieldWriteEnd() {
  if (!Usable() || !writing_) return false;
  if (!binary_) Emit("\n", 1);
  open_field_ = 0;
  return !HasError();
}

bool VZynFile::FieldWriteBlockBegin() {
  if (!Usable() || !writing_) return false;
  if (open_field_ == 0) return SetError(kZynErrorInvalidData, "Write field error : Field not opened");
  if (levels_.size() > static_cast<size_t>(kMaxDepth)) {
    return SetError(kZynErrorInvalidData, "Blocks nested too deeply");
  }
  levels_.back().open_field = open_field_;
  levels_.emplace_back();
  open_field_ = 0;
  if (!binary_) {
    Emit(" {\n", 3);
    ++ascii_depth_;
  }
  return !HasError();
}

bool VZynFile::FieldWriteBlockBegin(const char* name) { return FieldWriteBegin(name) && FieldWriteBlockBegin(); }

bool VZynFile::FieldWriteBlockEnd() {
  if (!Usable() || !writing_) return false;
  if (levels_.size() < 2) return SetError(kZynErrorInvalidData, "Write field error : no block open");
  if (open_field_ != 0) return SetError(kZynErrorInvalidData, "Begin Field error last field not closed");
  if (binary_) {
    WriteLevel& level = levels_.back();
    if (level.record_start != 0 && !PatchRecord(level)) return false;
    static const uint8_t kNull[13] = {};
    Emit(kNull, sizeof kNull);
  } else {
    --ascii_depth_;
    std::string line(static_cast<size_t>(ascii_depth_) * 4, ' ');
    line += '}';
    Emit(line.data(), line.size());
  }
  levels_.pop_back();
  open_field_ = levels_.back().open_field;
  return !HasError();
}

// ---------------------------------------------------------------- values

bool VZynFile::BeginValue() {
  if (!Usable() || !writing_) return false;
  if (open_field_ == 0) return SetError(kZynErrorInvalidData, "Write field error : Field not opened");
  return true;
}

bool VZynFile::BinaryValue(uint8_t type, const void* payload, size_t size) {
  // The stream was checked when the field began; values only need a field.
  if (error_code_ != kZynErrorNone || open_field_ == 0) return BeginValue();
  WriteLevel& level = levels_.back();
  uint64_t length = uint64_t{level.length} + 1 + size;
  if (length > UINT32_MAX) return SetError(kZynErrorInvalidData, "Value list too long for the binary form");
  uint8_t small[16];
  if (size + 1 <= sizeof small) {
    small[0] = type;
    std::memcpy(small + 1, payload, size);
    Emit(small, size + 1);
  } else {
    Emit(&type, 1);
    Emit(payload, size);
  }
  level.count++;
  level.length = static_cast<uint32_t>(length);
  ++open_field_;
  return !HasError();
}

// Values of a fixed size: copied straight into the output buffer.
template <size_t N>
bool VZynFile::BinaryFixed(uint8_t type, const void* payload) {
  if (error_code_ != kZynErrorNone || open_field_ == 0) return BeginValue();
  WriteLevel& level = levels_.back();
  if (level.length > UINT32_MAX - (N + 1)) {
    return SetError(kZynErrorInvalidData, "Value list too long for the binary form");
  }
  if (out_len_ + N + 1 <= out_.size()) {
    uint8_t* d = out_.data() + out_len_;
    d[0] = type;
    std::memcpy(d + 1, payload, N);
    out_len_ += N + 1;
  } else {
    uint8_t bytes[N + 1];
    bytes[0] = type;
    std::memcpy(bytes + 1, payload, N);
    if (!EmitSlow(bytes, N + 1)) return false;
  }
  level.count++;
  level.length += N + 1;
  ++open_field_;
  return true;
}

bool VZynFile::AsciiValue(const char* text, size_t length, bool quoted) {
  if (error_code_ != kZynErrorNone || open_field_ == 0) return BeginValue();
  char prefix[2 + 64];
  size_t n = 0;
  if (ascii_wrap_pending_) {
    Emit("\n", 1);
    std::string indent(static_cast<size_t>(ascii_indent_), ' ');
    Emit(indent.data(), indent.size());
    ascii_column_ = ascii_indent_;
    ascii_wrap_pending_ = false;
  }
  if (open_field_ > 1) {
    prefix[n++] = ',';
    if (quoted) prefix[n++] = ' ';
  }
  if (quoted) prefix[n++] = '"';
  Emit(prefix, n);
  Emit(text, length);
  if (quoted) Emit("\"", 1);
  ascii_column_ += static_cast<int>(length);
  if (ascii_column_ > kAsciiWrapColumn) ascii_wrap_pending_ = true;
  ++open_field_;
  return !HasError();
}

bool VZynFile::FieldWriteCH(char value) {
  if (binary_) return BinaryFixed<1>('C', &value);
  return AsciiValue(&value, 1, false);
}

bool VZynFile::FieldWriteC(const char* value) {
  if (!BeginValue()) return false;
  if (!value) return SetError(kZynErrorInvalidData, "Write field error : V_NULL value");
  size_t n = std::strlen(value);
  if (!binary_) {
    std::string safe = AsciiSafe(value, n);
    return AsciiValue(safe.data(), safe.size(), true);
  }
  if (n > UINT32_MAX - 8) return SetError(kZynErrorInvalidData, "String too long");
  std::string stored;
  const char* split = std::strstr(value, "::");
  if (split) {  // "Class::Name" is stored as "Name" 0x00 0x01 "Class"
    stored.assign(split + 2);
    stored += '\0';
    stored += '\1';
    stored.append(value, static_cast<size_t>(split - value));
  } else {
    stored.assign(value, n);
  }
  std::string payload(4, '\0');
  VStoreU32(reinterpret_cast<uint8_t*>(&payload[0]), static_cast<uint32_t>(stored.size()));
  payload += stored;
  return BinaryValue('S', payload.data(), payload.size());
}

bool VZynFile::FieldWriteI(int32_t value) {
  if (binary_) return BinaryFixed<4>('I', &value);
  char text[16];
  auto r = std::to_chars(text, text + sizeof text, value);
  return AsciiValue(text, static_cast<size_t>(r.ptr - text), false);
}

bool VZynFile::FieldWriteLL(int64_t value) {
  if (binary_) return BinaryFixed<8>('L', &value);
  char text[24];
  auto r = std::to_chars(text, text + sizeof text, value);
  return AsciiValue(text, static_cast<size_t>(r.ptr - text), false);
}

bool VZynFile::FieldWriteF(float value) {
  if (binary_) return BinaryFixed<4>('F', &value);
  // "%f", then trailing zeros and a trailing point removed.
  char text[400];
  auto r = std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::fixed, 6);
  size_t n = static_cast<size_t>(r.ptr - text);
  if (std::isfinite(value) && std::memchr(text, '.', n)) {
    while (n > 0 && text[n - 1] == '0') --n;
    if (n > 0 && text[n - 1] == '.') --n;
  }
  return AsciiValue(text, n, false);
}

bool VZynFile::FieldWriteD(double value) {
  if (binary_) return BinaryFixed<8>('D', &value);
  // The shortest text that reads back to the same double: fifteen digits
  // would lose the last bits of computed values on every ASCII save.
  char text[32];
  auto r = std::to_chars(text, text + sizeof text, value);
  return AsciiValue(text, static_cast<size_t>(r.ptr - text), false);
}

bool VZynFile::FieldWriteDn(const double* values, size_t n) {
  if (!binary_) {
    for (size_t i = 0; i < n; ++i) {
      if (!FieldWriteD(values[i])) return false;
    }
    return true;
  }
  if (!BeginValue()) return false;
  WriteLevel& level = levels_.back();
  uint64_t length = uint64_t{level.length} + 9 * uint64_t{n};
  if (length > UINT32_MAX) return SetError(kZynErrorInvalidData, "Value list too long for the binary form");
  constexpr size_t kBatch = 4096;
  uint8_t batch[kBatch * 9];
  for (size_t done = 0; done < n;) {
    size_t take = std::min(kBatch, n - done);
    uint8_t* p = batch;
    for (size_t i = 0; i < take; ++i, p += 9) {
      p[0] = 'D';
      std::memcpy(p + 1, values + done + i, 8);
    }
    Emit(batch, take * 9);
    done += take;
  }
  level.count += static_cast<uint32_t>(n);
  level.length = static_cast<uint32_t>(length);
  open_field_ += static_cast<int>(n);
  return !HasError();
}

bool VZynFile::FieldWriteT(VTime value) {
  if (SectionVersion(open_section_) < 2001) return FieldWriteD(value.GetSecondDouble());
  return FieldWriteLL(value.GetTicks());
}

bool VZynFile::FieldWriteTS(VTime start, VTime stop) { return FieldWriteT(start) && FieldWriteT(stop); }

bool VZynFile::FieldWriteR(const void* data, uint32_t size) {
  if (!BeginValue()) return false;
  if (!binary_) return false;
  if (!data && size) return SetError(kZynErrorInvalidData, "Write field error : V_NULL value");
  if (size > UINT32_MAX - 8) return SetError(kZynErrorInvalidData, "Raw value too long");
  uint8_t head[5];
  head[0] = 'R';
  VStoreU32(head + 1, size);
  WriteLevel& level = levels_.back();
  uint64_t length = uint64_t{level.length} + 5 + size;
  if (length > UINT32_MAX) return SetError(kZynErrorInvalidData, "Value list too long for the binary form");
  Emit(head, 5);
  Emit(data, size);
  level.count++;
  level.length = static_cast<uint32_t>(length);
  ++open_field_;
  return !HasError();
}

#define VZYN_NAMED_WRITE(Type, Writer)                        \
  bool VZynFile::Writer(const char* name, Type value) {       \
    return FieldWriteBegin(name) && Writer(value) && FieldWriteEnd(); \
  }
VZYN_NAMED_WRITE(char, FieldWriteCH)
VZYN_NAMED_WRITE(int32_t, FieldWriteI)
VZYN_NAMED_WRITE(int64_t, FieldWriteLL)
VZYN_NAMED_WRITE(float, FieldWriteF)
VZYN_NAMED_WRITE(double, FieldWriteD)
VZYN_NAMED_WRITE(VTime, FieldWriteT)
#undef VZYN_NAMED_WRITE

bool VZynFile::FieldWriteC(const char* name, const std::string& value) {
  return FieldWriteBegin(name) && FieldWriteC(value.c_str()) && FieldWriteEnd();
}

bool VZynFile::FieldWriteObjectReference(const char* name, const std::string& full_name) {
  return FieldWriteC(name, full_name);
}

bool VZynFile::FieldWriteEmbeddedFile(const char* name, const std::string& path, const std::string& second_path) {
  if (!Usable() || !writing_ || !binary_) return false;
  VFileStream file;
  std::string used = path;
  if (!file.Open(path, kVStreamRead)) {
    used = second_path;
    if (second_path.empty() || !file.Open(second_path, kVStreamRead)) return false;
  }
  for (const std::string& done : embedded_) {
    if (done == used) return true;
  }
  int64_t size = file.Size();
  if (size > static_cast<int64_t>(UINT32_MAX) - 64) return SetError(kZynErrorInvalidData, "Embedded file too large");
  if (!FieldWriteBegin(name)) return false;
  WriteLevel& level = levels_.back();
  uint8_t head[5];
  head[0] = 'R';
  VStoreU32(head + 1, static_cast<uint32_t>(size));
  Emit(head, 5);
  std::vector<uint8_t> chunk(kEmbedChunk);
  for (int64_t left = size; left > 0;) {
    size_t take = static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(kEmbedChunk)));
    if (file.Read(chunk.data(), take) != take) return SetError(kZynErrorRead, "Read error " + used);
    Emit(chunk.data(), take);
    left -= static_cast<int64_t>(take);
  }
  level.count++;
  level.length = static_cast<uint32_t>(5 + size);
  ++open_field_;
  embedded_.push_back(used);
  return FieldWriteEnd();
}

bool VZynFile::WriteComment(const char* text) {
  if (!Usable() || !writing_ || binary_) return false;
  std::string line(static_cast<size_t>(ascii_depth_) * 4, ' ');
  if (text && *text) {
    line += ';';
    line += AsciiSafe(text, std::strlen(text));
  }
  line += '\n';
  return Emit(line.data(), line.size());
}
