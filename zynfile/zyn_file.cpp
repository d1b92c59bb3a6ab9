// Opening and closing Zyn files, the header, the footer walk and sections.

#include "zynfile/zyn_file.h"

#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "zynfile/ascii_first_line.h"
#include "zynfile/byte_order.h"
#include "zynfile/file_id.h"
#include "zynfile/file_stream.h"
#include "zynfile/memory_stream.h"
#include "zynfile/protection.h"

namespace {

constexpr char kBinaryMagic[] = "Morvane ZYN Binary  ";  // 20 characters and the terminator
constexpr int64_t kBinaryHeaderSize = 27;
constexpr int64_t kFooterBlock = 128;
constexpr int64_t kFooterTail = kFooterBlock + 16;  // block and signature

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string ExtensionOf(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  return path.substr(dot + 1);
}

std::string VersionText(int version) {
  return std::to_string(version / 1000) + "." + std::to_string((version % 1000) / 100) + "." +
         std::to_string(version % 100);
}

}  // namespace

VZynFile::VZynFile() { Reset(); }

VZynFile::~VZynFile() { CloseFile(); }

void VZynFile::Reset() {
  PopAllLists();
  ascii_keep_.reset();
  ascii_bytes_ = nullptr;
  ascii_size_ = 0;
  protection_.reset();
  seal_at_ = 0;
  owned_stream_.reset();
  raw_ = stream_ = nullptr;
  path_.clear();
  mode_ = 0;
  version_ = 6000;
  binary_ = swapped_ = times_as_ticks_ = protected_ = writing_ = false;
  header_ = VZynHeaderInfo{};
  section_start_.clear();
  section_version_.clear();
  open_section_ = last_section_ = -1;
  section_check_ = kZynSectionUnidentified;
  node_id_.clear();
  section_time_ = VZynTimeStamp{};
  std::memset(file_id_, 0, sizeof file_id_);
  levels_.clear();
  ascii_depth_ = ascii_column_ = ascii_indent_ = 0;
  ascii_wrap_pending_ = false;
  out_.clear();
  out_len_ = 0;
  out_base_ = 0;
  embedded_.clear();
  error_code_ = kZynErrorNone;
  error_message_.clear();
}

bool VZynFile::SetError(int code, const std::string& message) {
  if (error_code_ == kZynErrorNone) {  // the first error is the one that explains
    error_code_ = code;
    error_message_ = message;
  }
  return false;
}

void VZynFile::ClearError() {
  error_code_ = kZynErrorNone;
  error_message_.clear();
}

std::string VZynFile::GetErrorMessage() const {
  if (error_code_ == kZynErrorNone) return "";
  return error_message_.empty() ? VZynErrorText(error_code_) : error_message_;
}

bool VZynFile::Usable() const { return error_code_ == kZynErrorNone && stream_ && stream_->IsOpen(); }

std::string VZynFile::GetFullFilePath(const std::string& relative) const {
  if (relative.empty() || relative[0] == '/') return relative;
  size_t slash = path_.find_last_of("/\\");
  if (slash == std::string::npos) return relative;
  return path_.substr(0, slash + 1) + relative;
}

void VZynFile::SetHeaderCamera(const std::string& mode, double width, double height) {
  header_camera_mode_ = mode;
  header_camera_w_ = width;
  header_camera_h_ = height;
}

int VZynFile::SectionVersion(int index) const {
  if (index < 0 || index >= static_cast<int>(section_version_.size())) return version_;
  return section_version_[static_cast<size_t>(index)];
}

// ---------------------------------------------------------------- opening

bool VZynFile::OpenStreamForPath(const std::string& path) {
  auto try_open = [this](const std::string& candidate) {
    auto stream = std::make_unique<VFileStream>();
    for (VStreamMode mode : {kVStreamReadWrite, kVStreamRead}) {
      if (stream->Open(candidate, mode)) {
        mode_ = mode;
        path_ = candidate;
        owned_stream_ = std::move(stream);
        return true;
      }
    }
    return false;
  };
  // A scene may live in a data folder beside its name ("scene.yrd/Project.txt").
  std::string ext = ExtensionOf(path);
  std::string folder = path.substr(0, path.size() - ext.size() - (ext.empty() ? 0 : 1)) + ".yrd";
  if (IsDirectory(folder)) {
    if (try_open(folder + "/Project.txt") || try_open(folder + "/Project.bin")) return true;
  }
  return try_open(path);
}

bool VZynFile::OpenFile(const std::string& path_in, bool check_header, bool check_password,
                        bool open_main_section) {
  CloseFile();
  Reset();
  std::string path = path_in;
  if (strcasecmp(ExtensionOf(path).c_str(), "zyn") != 0) path += ".zyn";
  if (!OpenStreamForPath(path)) {
    path_ = path;
    return SetError(kZynErrorNotOpened, "Unable to open file " + path);
  }
  raw_ = stream_ = owned_stream_.get();
  return OpenOnStream(check_header, check_password, open_main_section);
}

bool VZynFile::OpenFromStream(VStream* stream, bool check_header, bool check_password,
                              bool open_main_section) {
  CloseFile();
  Reset();
  if (!stream || !stream->IsOpen()) return SetError(kZynErrorNotOpened, "Unable to open file");
  raw_ = stream_ = stream;
  mode_ = 2;
  return OpenOnStream(check_header, check_password, open_main_section);
}

bool VZynFile::OpenFromMemory(const void* data, size_t size, bool check_header, bool check_password,
                              bool open_main_section) {
  CloseFile();
  Reset();
  owned_stream_ = std::make_unique<VMemoryStream>(data, size);
  raw_ = stream_ = owned_stream_.get();
  mode_ = 0;
  return OpenOnStream(check_header, check_password, open_main_section);
}

bool VZynFile::OpenOnStream(bool check_header, bool check_password, bool open_main_section) {
  if (!ReadHeader(check_header)) return false;
  // A protected file is authenticated now when the caller asks for it, else
  // when its first section opens (OpenSection); without a password only its
  // header is shown, so the check waits for the sections.
  if (protected_ && check_password && !password_.empty() && !Unlock()) return false;
  return !open_main_section || OpenSection(0);
}

bool VZynFile::Unlock() {
  if (protection_) return true;
  if (password_.empty()) return SetError(kZynErrorPassword, "ZYN file is password protected");
  auto protection = std::make_unique<VZynProtection>();
  std::string message;
  int code = protection->Open(raw_, seal_at_, password_, &message);
  if (code != kZynErrorNone) return SetError(code, message);
  // The main section begins behind the seal.
  section_start_[0] = protection->DataStart();
  protection_ = std::move(protection);
  stream_ = protection_->Stream();
  return true;
}

bool VZynFile::ReadHeader(bool check_header) {
  uint8_t head[kBinaryHeaderSize];
  raw_->SetPosition(0);
  size_t got = raw_->Read(head, sizeof head);
  int64_t after = 0;
  if (got == sizeof head && strncasecmp(reinterpret_cast<const char*>(head), kBinaryMagic, 20) == 0 &&
      head[20] == 0) {
    binary_ = true;
    swapped_ = head[22] != 0;
    version_ = static_cast<int>(VLoadU32(head + 23, swapped_));
    after = kBinaryHeaderSize;
  } else {
    char line[65] = {};
    raw_->SetPosition(0);
    size_t n = raw_->Read(line, 64);
    binary_ = false;
    int version = 1000;
    if (!VZynParseAsciiFirstLine(line, n, &version) && check_header) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_);
    }
    version_ = version;
  }
  times_as_ticks_ = version_ >= 2000;
  if (!ReadHeaderExtension(&after)) return false;
  raw_->SetPosition(after);
  if (version_ / 1000 >= 7) {
    return SetError(kZynErrorVersionNotYet,
                    "ZYN file version " + VersionText(version_) + " is not supported in this product");
  }
  // Protected files are binary; their seal stands here (see Unlock).
  seal_at_ = after;
  section_start_.assign(1, binary_ ? after : 0);
  section_version_.assign(1, version_);
  if (binary_) WalkFooters();
  return true;
}

bool VZynFile::ReadHeaderExtension(int64_t* after) {
  auto list = std::make_unique<VZynFieldList>();
  std::string error;
  int64_t size = raw_->Size();
  if (binary_) {
    uint8_t r[13 + 255];
    int64_t p = *after;
    raw_->SetPosition(p);
    if (raw_->Read(r, 13) != 13) return true;  // nothing follows the header
    uint8_t name_length = r[12];
    if (raw_->Read(r + 13, name_length) != name_length) return true;
    std::string_view name(reinterpret_cast<const char*>(r + 13), name_length);
    if (name != "ZYNHeaderExtension") return true;
    uint32_t end = VLoadU32(r, swapped_);
    int64_t block = p + 13 + name_length + VLoadU32(r + 8, swapped_);
    if (end <= p || end > size || block > end) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (header extension)");
    }
    std::shared_ptr<const void> keep;
    const uint8_t* bytes = nullptr;
    if (!SectionBytes(block, end, &keep, &bytes) ||
        !list->ParseBinary(keep, bytes, block, end, swapped_, &error)) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (header extension: " + error + ")");
    }
    *after = end;
    uint8_t null_record[13];
    raw_->SetPosition(end);
    if (raw_->Read(null_record, 13) == 13 && VLoadU32(null_record, swapped_) == 0) *after = end + 13;
  } else {
    // The header extension is a field of the section's top level; the parse
    // of the whole top level is kept for opening the main section.
    if (!SectionBytes(0, size, &ascii_keep_, &ascii_bytes_)) {
      return SetError(kZynErrorRead, "Read error " + path_);
    }
    ascii_size_ = size;
    auto top = std::make_unique<VZynFieldList>();
    if (!top->ParseAscii(ascii_keep_, ascii_bytes_, 0, size, 0, true, &error)) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (" + error + ")");
    }
    int f = top->FindField("ZYNHeaderExtension");
    if (f < 0 || top->field(f).instances[0].block_offset == 0) return true;
    if (!list->ParseAscii(ascii_keep_, ascii_bytes_, 0, size, top->field(f).instances[0].block_offset, false,
                          &error)) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (header extension: " + error + ")");
    }
  }
  lists_.push_back(std::move(list));
  selections_.emplace_back();
  ParseHeaderExtensionBlock();
  PopAllLists();
  return !HasError();
}

void VZynFile::ParseHeaderExtensionBlock() {
  VZynHeaderInfo& h = header_;
  h.header_version = FieldReadI("ZYNHeaderVersion", 0);
  version_ = FieldReadI("ZYNVersion", version_);
  times_as_ticks_ = version_ >= 2000;
  if (binary_) {
    int encryption = FieldReadI("EncryptionType", 0);
    if (encryption == 1) {
      protected_ = true;
    } else if (encryption != 0) {
      SetError(kZynErrorVersionNotYet, "Encryption type is not supported");
      return;
    }
  }
  if (h.header_version > 1000 && FieldReadBegin("CurrentCameraResolution")) {
    if (FieldReadIsBlock() && FieldReadBlockBegin()) {
      h.has_camera = true;
      h.camera_name = FieldReadC("CameraName", "");
      h.resolution_mode = FieldReadC("CameraResolutionMode", "");
      h.resolution_w = FieldReadD("CameraResolutionW", 0.0);
      h.resolution_h = FieldReadD("CameraResolutionH", 0.0);
      FieldReadBlockEnd();
    }
    FieldReadEnd();
  }
  if (h.header_version > 1001) {
    if (FieldReadBegin("CreationTimeStamp")) {
      if (FieldReadIsBlock() && FieldReadBlockBegin()) {
        if (FieldReadI("Version", 0) >= 1000) {
          VZynTimeStamp& t = h.creation_time;
          h.has_creation_time = true;
          t.year = FieldReadI("Year", 0);
          t.month = FieldReadI("Month", 0);
          t.day = FieldReadI("Day", 0);
          t.hour = FieldReadI("Hour", 0);
          t.minute = FieldReadI("Minute", 0);
          t.second = FieldReadI("Second", 0);
          t.millisecond = FieldReadI("Millisecond", 0);
        }
        FieldReadBlockEnd();
      }
      FieldReadEnd();
    }
    if (FieldReadBegin("Creator")) {
      h.has_creator = true;
      h.creator = FieldReadC();
      FieldReadEnd();
    }
  }
}

bool VZynFile::ReadFooterAt(int64_t end, uint32_t* back_offset, uint32_t* version, int64_t* block) {
  int64_t b = (end & ~int64_t{15}) - kFooterTail;
  if (b < section_start_[0]) return false;
  uint8_t bytes[kFooterTail];
  raw_->SetPosition(b);
  if (raw_->Read(bytes, sizeof bytes) != sizeof bytes) return false;
  if (std::memcmp(bytes + kFooterBlock, kVZynFooterSignature, 16) != 0) return false;
  *back_offset = VLoadU32(bytes, swapped_);
  *version = VLoadU32(bytes + 4, swapped_);
  *block = b;
  return true;
}

void VZynFile::WalkFooters() {
  int64_t end = raw_->Size();
  int64_t p = end;
  uint32_t back = 0, version = 0;
  int64_t block = 0;
  while (ReadFooterAt(p, &back, &version, &block)) {
    if (back == 0) {
      if (version != 0) section_version_[0] = static_cast<int>(version);
      break;
    }
    int64_t start = block - back;
    // Each step must move strictly backwards and stay behind the main section.
    if (start <= section_start_[0] || start >= p) break;
    section_start_.insert(section_start_.begin() + 1, start);
    section_version_.insert(section_version_.begin() + 1, version == 0 ? 4000 : static_cast<int>(version));
    p = start;
  }
  raw_->SetPosition(end);
}

// Bytes [begin, end) of the file: a view when the stream has its bytes in
// memory, otherwise one buffer read (and deciphered) once. A small span
// (the header extension, a summary section) is read rather than viewed: a
// file stream's view maps and faults in the whole file, which would make
// reading a few hundred bytes cost as much as reading everything.
bool VZynFile::SectionBytes(int64_t begin, int64_t end, std::shared_ptr<const void>* keep,
                            const uint8_t** bytes) {
  constexpr size_t kSmallSpan = 1 << 16;
  VStream* stream = stream_ ? stream_ : raw_;
  if (begin < 0 || end < begin || end > stream->Size()) return false;
  size_t n = static_cast<size_t>(end - begin);
  const bool small = n <= kSmallSpan && stream->Size() > static_cast<int64_t>(kSmallSpan);
  if (const uint8_t* view = small ? nullptr : stream->View(begin, n)) {
    keep->reset();
    *bytes = view;
    return true;
  }
  auto buffer = std::make_shared<std::vector<uint8_t>>(n);
  stream->SetPosition(begin);
  if (stream->Read(buffer->data(), n) != n) return false;
  *bytes = buffer->data();
  *keep = std::move(buffer);
  return true;
}

// ---------------------------------------------------------------- sections

std::unique_ptr<VZynFieldList> VZynFile::TakeList() {
  if (spare_lists_.empty()) return std::make_unique<VZynFieldList>();
  std::unique_ptr<VZynFieldList> list = std::move(spare_lists_.back());
  spare_lists_.pop_back();
  return list;
}

void VZynFile::ReleaseList(std::unique_ptr<VZynFieldList> list) {
  constexpr size_t kMaxSpare = 64;
  list->Reset();
  if (spare_lists_.size() < kMaxSpare) spare_lists_.push_back(std::move(list));
}

void VZynFile::PopAllLists() {
  while (!lists_.empty()) {
    ReleaseList(std::move(lists_.back()));
    lists_.pop_back();
  }
  selections_.clear();
}

bool VZynFile::PushBinaryList(int64_t begin, int64_t end) {
  std::unique_ptr<VZynFieldList> list = TakeList();
  std::string error;
  if (lists_.empty()) {
    std::shared_ptr<const void> keep;
    const uint8_t* bytes = nullptr;
    if (!SectionBytes(begin, end, &keep, &bytes)) return SetError(kZynErrorRead, "Read error " + path_);
    if (!list->ParseBinary(keep, bytes, begin, end, swapped_, &error)) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (" + error + ")");
    }
  } else {
    const VZynFieldList& parent = *lists_.back();
    if (begin < parent.origin() || end > parent.origin() + parent.size() || begin > end) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (block outside its parent)");
    }
    if (!list->ParseBinary(parent.keep_alive(), parent.bytes() + (begin - parent.origin()), begin, end, swapped_,
                           &error)) {
      return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (" + error + ")");
    }
  }
  lists_.push_back(std::move(list));
  selections_.emplace_back();
  return true;
}

bool VZynFile::PushAsciiList(int64_t begin, bool top_level) {
  std::unique_ptr<VZynFieldList> list = TakeList();
  std::string error;
  if (!list->ParseAscii(ascii_keep_, ascii_bytes_, 0, ascii_size_, begin, top_level, &error)) {
    return SetError(kZynErrorCorrupted, "File is corrupted " + path_ + " (" + error + ")");
  }
  lists_.push_back(std::move(list));
  selections_.emplace_back();
  return true;
}

bool VZynFile::OpenSection(int index) {
  if (!Usable()) return false;
  if (index < 0 || index >= static_cast<int>(section_start_.size())) {
    return SetError(kZynErrorNoSection, "Section does not exist");
  }
  if (open_section_ >= 0) return false;
  // Nothing behind the seal is read before the password is checked.
  if (protected_ && !Unlock()) return false;
  int64_t start = section_start_[static_cast<size_t>(index)];
  bool ok;
  if (binary_) {
    // The section ends where the next one starts, or at the end of the file.
    int64_t end = index + 1 < static_cast<int>(section_start_.size())
                      ? section_start_[static_cast<size_t>(index) + 1]
                      : stream_->Size();
    ok = PushBinaryList(start, end);
  } else {
    ok = PushAsciiList(0, true);
  }
  if (!ok) {
    PopAllLists();
    return false;
  }
  if (!VerifySectionIdentification(index)) {
    PopAllLists();
    return SetError(kZynErrorCorrupted,
                    "File is corrupted " + path_ + " (section " + std::to_string(index) + " identification)");
  }
  open_section_ = last_section_ = index;
  node_id_ = FieldReadC("NodeId", FieldReadC("Param2a", ""));
  lists_.back()->RewindFields();  // callers may read the identification fields again
  return true;
}

// Section `index`, whose top level is the current field list, may be read
// when its footer id seals its file id for its creation time. Sections of
// older writers pass: those that name their "Source" instead of a file id,
// and those without any identification field unless they are the last
// section and bytes follow them (where a footer id would be).
bool VZynFile::VerifySectionIdentification(int index) {
  section_check_ = kZynSectionUnidentified;
  section_time_ = VZynTimeStamp{};
  const bool has_time = FieldReadBegin("CreationTime");
  bool time_read = false;
  if (has_time) {
    std::string text = FieldReadC();
    VZynTimeStamp& t = section_time_;
    time_read = std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d:%d", &t.year, &t.month, &t.day, &t.hour, &t.minute,
                            &t.second, &t.millisecond) == 7;
    FieldReadEnd();
  }
  if (!binary_) return true;  // ASCII sections have no footer id
  if (!FieldReadBegin("FileId")) {
    if (FieldReadBegin("Source")) {
      FieldReadEnd();
      return true;
    }
    const bool last = index + 1 == static_cast<int>(section_start_.size());
    if (!has_time && !(last && lists_.front()->end_offset() < stream_->Size())) return true;
    section_check_ = kZynSectionForeign;
    return false;
  }
  uint32_t size = 0;
  const uint8_t* id = FieldReadR(&size);
  FieldReadEnd();
  section_check_ = kZynSectionForeign;
  if (!id || size != 16 || !time_read) return false;
  std::memcpy(file_id_, id, 16);
  uint8_t footer_id[16];
  stream_->SetPosition(lists_.front()->end_offset());
  if (stream_->Read(footer_id, 16) != 16 || !VZynFooterIdMatches(section_time_, file_id_, footer_id)) return false;
  section_check_ = kZynSectionVerified;
  return true;
}

bool VZynFile::CloseSection() {
  if (open_section_ < 0) return false;
  if (writing_) {
    bool ok = CloseTopLevel();
    if (binary_) ok = WriteFooter(open_section_) && ok;
    open_section_ = -1;
    return ok && !HasError();
  }
  PopAllLists();
  open_section_ = -1;
  return true;
}

bool VZynFile::CloseFile() {
  bool ok = true;
  if (open_section_ >= 0) ok = CloseSection();
  if (writing_) {
    ok = FlushOut() && ok;
    if (protection_ && !HasError()) {
      std::string message;
      if (!protection_->Seal(&message)) ok = SetError(kZynErrorNoSpace, message);
    }
    CheckStream();
  }
  bool had_error = HasError();
  PopAllLists();
  spare_lists_.clear();
  protection_.reset();
  if (owned_stream_) owned_stream_->Close();
  owned_stream_.reset();
  raw_ = stream_ = nullptr;
  writing_ = false;
  // Back to a new object's defaults; the error stays for the caller to read.
  int code = error_code_;
  std::string message = error_message_;
  Reset();
  error_code_ = code;
  error_message_ = message;
  return ok && !had_error;
}
