#pragma once
// The file object through which every reader and writer of scene data goes.
// A Zyn file is a tree of named fields; each field occurrence carries typed
// values and may own a nested block. Callers ask for fields by name and
// never see whether the file is binary or ASCII.
//
// Failures are results: after an error the object keeps its code and
// message and does nothing more.

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "core/time.h"
#include "zynfile/field_list.h"
#include "zynfile/stream.h"
#include "zynfile/zyn_error.h"
#include "zynfile/zyn_header.h"

class VObject;
struct VZynProtection;

// How a section's identification fields checked out when it was opened.
enum VZynSectionCheck {
  kZynSectionVerified = 0,        // file id and footer id match
  kZynSectionUnidentified = 1,    // no identification fields (older writers)
  kZynSectionForeign = 2,         // the identification does not verify: the section is refused
};

class VZynFile {
 public:
  // Deepest nesting of entered blocks; deeper files are refused.
  static constexpr int kMaxDepth = 1024;

  VZynFile();
  ~VZynFile();
  VZynFile(const VZynFile&) = delete;
  VZynFile& operator=(const VZynFile&) = delete;

  // ---- Opening, creating, closing ----
  // The password of protected files, for both reading and writing.
  void SetPassword(const std::string& password) { password_ = password; }

  // check_header: a file that is neither binary nor carries the ASCII first
  // line is refused (else it is read as ASCII version 1000).
  // check_password: a protected file is authenticated with the password
  // while it opens, so a wrong one fails here (kZynErrorCrc); otherwise that
  // check runs when its first section opens. Without a password a protected
  // file opens to its header only: its sections fail with kZynErrorPassword.
  // open_main_section: the main section is opened as well.
  bool OpenFile(const std::string& path, bool check_header = true, bool check_password = true,
                bool open_main_section = true);
  // Reads a stream the caller owns (it must outlive the file object's use of it).
  bool OpenFromStream(VStream* stream, bool check_header = true, bool check_password = true,
                      bool open_main_section = true);
  // Reads bytes in memory in place; they must outlive the file object's use.
  bool OpenFromMemory(const void* data, size_t size, bool check_header = true,
                      bool check_password = true, bool open_main_section = true);

  bool CreateFile(const std::string& path, bool binary, bool protect = false,
                  const std::string& camera_name = "");
  // Writes into a stream the caller owns (opened for writing, positioned at 0).
  bool CreateInStream(VStream* stream, bool binary, bool protect = false,
                      const std::string& camera_name = "");
  // Closes the open section (writing its footer when writing) and the stream.
  bool CloseFile();

  // Header information to write with a camera name: that camera's
  // "ResolutionMode" text and resolution width and height; set before
  // CreateFile.
  void SetHeaderCamera(const std::string& mode, double width, double height);
  void SetVersion(int version) { version_ = version; }

  // ---- Sections ----
  int SectionCount() const { return static_cast<int>(section_start_.size()) - 1; }
  bool OpenSection(int index);
  // Opens the section after the one opened last (the main one first).
  bool OpenNextSection() { return OpenSection(last_section_ + 1); }
  bool CreateSection(bool overwrite_last);
  bool CloseSection();
  int OpenSectionIndex() const { return open_section_; }
  int SectionVersion(int index) const;
  VZynSectionCheck SectionCheck() const { return section_check_; }
  const std::string& SectionNodeId() const { return node_id_; }
  const VZynTimeStamp& SectionCreationTime() const { return section_time_; }

  // ---- State ----
  bool IsBinary() const { return binary_; }
  bool IsByteSwapped() const { return swapped_; }
  bool IsProtected() const { return protected_; }
  bool TimesAsTicks() const { return times_as_ticks_; }
  int GetVersion() const { return version_; }
  int OpenMode() const { return mode_; }
  const VZynHeaderInfo& Header() const { return header_; }
  const std::string& Path() const { return path_; }
  // Joins a relative media path with the folder of the open file.
  std::string GetFullFilePath(const std::string& relative) const;

  bool HasError() const { return error_code_ != kZynErrorNone; }
  int GetErrorCode() const { return error_code_; }
  // The message set with the error, or the code's own text.
  std::string GetErrorMessage() const;
  void ClearError();

  // ---- Reading (relative to the innermost entered block) ----
  bool FieldReadBegin(const char* name);
  bool FieldReadBegin(const char* name, int index);
  void FieldReadEnd();
  int FieldReadGetCount() const;
  int FieldReadGetRemain() const;
  char FieldReadGetType() const;

  char FieldReadCH();
  std::string FieldReadC();
  int32_t FieldReadI();
  int64_t FieldReadLL();
  float FieldReadF();
  double FieldReadD();
  VTime FieldReadT();
  void FieldReadTS(VTime* start, VTime* stop);
  // Raw bytes (binary files only): a pointer valid while the block is entered.
  const uint8_t* FieldReadR(uint32_t* size);
  std::string FieldReadObjectReference() { return FieldReadC(); }

  char FieldReadCH(const char* name, char fallback);
  std::string FieldReadC(const char* name, const std::string& fallback);
  int32_t FieldReadI(const char* name, int32_t fallback);
  int64_t FieldReadLL(const char* name, int64_t fallback);
  float FieldReadF(const char* name, float fallback);
  double FieldReadD(const char* name, double fallback);
  VTime FieldReadT(const char* name, VTime fallback);
  // n doubles of the field, or n copies of fallback when it is missing.
  void FieldReadFn(const char* name, double* out, int n, const double* fallback);
  // Up to n values from the cursor, each as FieldReadD (FieldReadI) would
  // give it; answers how many were read. Arrays of one type take a short path.
  int FieldReadDn(double* out, int n);
  int FieldReadIn(int32_t* out, int n);

  bool FieldReadIsBlock() const;
  bool FieldReadBlockBegin();
  bool FieldReadBlockEnd();
  int FieldReadDepth() const { return static_cast<int>(lists_.size()) - 1; }

  // Walking a block in file order, for tools that copy or show it whole.
  int FieldReadOccurrenceCount() const;
  bool FieldReadBeginOccurrence(int k);  // selects the k-th occurrence in file order
  std::string FieldReadGetName() const;  // the selected field's name
  // ASCII: the value at the cursor was written between double quotes.
  bool FieldReadIsQuoted() const;
  // The value at the cursor as stored (type and bytes), for readers of
  // long records that decode values themselves; Next moves past it.
  bool PeekValue(VZynValue* out) const {
    if (selections_.empty() || error_code_ != kZynErrorNone) return false;
    const Selection& s = selections_.back();
    if (!s.inst || s.cursor >= s.inst->value_count) return false;
    if (binary_) {
      uint32_t next;
      *out = lists_.back()->binary_value(s.pos, &next);
    } else {
      *out = lists_.back()->ascii_value(*s.inst, s.cursor);
    }
    return true;
  }
  bool NextValue(VZynValue* out) {
    if (selections_.empty() || error_code_ != kZynErrorNone) return false;
    Selection& s = selections_.back();
    if (!s.inst || s.cursor >= s.inst->value_count) return false;
    if (binary_) {
      *out = lists_.back()->binary_value(s.pos, &s.pos);
    } else {
      *out = lists_.back()->ascii_value(*s.inst, s.cursor);
    }
    ++s.cursor;
    return true;
  }

  // ---- Writing ----
  bool FieldWriteBegin(const char* name);
  bool FieldWriteEnd();
  bool FieldWriteBlockBegin();
  bool FieldWriteBlockBegin(const char* name);
  bool FieldWriteBlockEnd();

  bool FieldWriteCH(char value);
  bool FieldWriteC(const char* value);
  bool FieldWriteC(const std::string& value) { return FieldWriteC(value.c_str()); }
  bool FieldWriteI(int32_t value);
  bool FieldWriteLL(int64_t value);
  bool FieldWriteF(float value);
  bool FieldWriteD(double value);
  bool FieldWriteT(VTime value);
  bool FieldWriteTS(VTime start, VTime stop);
  bool FieldWriteR(const void* data, uint32_t size);
  // Many doubles at once; the same bytes as one FieldWriteD per value.
  bool FieldWriteDn(const double* values, size_t n);

  bool FieldWriteCH(const char* name, char value);
  bool FieldWriteC(const char* name, const std::string& value);
  bool FieldWriteI(const char* name, int32_t value);
  bool FieldWriteLL(const char* name, int64_t value);
  bool FieldWriteF(const char* name, float value);
  bool FieldWriteD(const char* name, double value);
  bool FieldWriteT(const char* name, VTime value);
  bool FieldWriteObjectReference(const char* name, const std::string& full_name);
  // Embeds a file's bytes as one raw value (binary only). Looked for under
  // path, then under second_path; a file embedded once is not written again.
  bool FieldWriteEmbeddedFile(const char* name, const std::string& path, const std::string& second_path);
  bool WriteComment(const char* text);

 private:
  friend class VZynFileTestAccess;

  struct WriteLevel {
    int64_t record_start = 0;  // 0: no record under construction
    uint32_t count = 0;
    uint32_t length = 0;
    int open_field = 0;  // the parent field's counter while a block is open
  };

  void Reset();
  bool SetError(int code, const std::string& message = "");
  bool Usable() const;
  bool OpenStreamForPath(const std::string& path);
  bool OpenOnStream(bool check_header, bool check_password, bool open_main_section);
  // Checks the password of a protected file against its seal and from then
  // on reads through the cipher stream; false (with the error) when it fails.
  bool Unlock();
  bool ReadHeader(bool check_header);
  bool ReadHeaderExtension(int64_t* after);
  void ParseHeaderExtensionBlock();
  bool ReadAsciiFirstLine();
  void WalkFooters();
  bool ReadFooterAt(int64_t end, uint32_t* back_offset, uint32_t* version, int64_t* block);
  // True when the open section (index `index`) may be read; sets section_check_.
  bool VerifySectionIdentification(int index);
  bool PushBinaryList(int64_t begin, int64_t end);
  bool PushAsciiList(int64_t begin, bool top_level);
  bool SectionBytes(int64_t begin, int64_t end, std::shared_ptr<const void>* keep, const uint8_t** bytes);
  void PopAllLists();

  // Field selection helpers.
  VZynFieldList* CurrentList() const;
  const VZynFieldInstance* Current() const;

  // Writer helpers.
  bool WriteHeaderAndExtension(const std::string& camera_name);
  bool WriteSectionIdentification();
  bool WriteFooter(int section);
  bool PatchRecord(WriteLevel& level);
  bool CloseTopLevel();
  // Appends bytes to the output; a short inline path while they fit.
  bool Emit(const void* data, size_t n) {
    if (out_len_ + n <= out_.size() && error_code_ == kZynErrorNone) {
      std::memcpy(out_.data() + out_len_, data, n);
      out_len_ += n;
      return true;
    }
    return EmitSlow(data, n);
  }
  bool EmitSlow(const void* data, size_t n);
  bool FlushOut();
  int64_t OutTell() const { return out_base_ + static_cast<int64_t>(out_len_); }
  bool BeginValue();
  bool AsciiValue(const char* text, size_t length, bool quoted);
  bool BinaryValue(uint8_t type, const void* payload, size_t size);
  template <size_t N>
  bool BinaryFixed(uint8_t type, const void* payload);
  void CheckStream();

  std::string password_;
  std::string path_;
  std::unique_ptr<VStream> owned_stream_;
  VStream* raw_ = nullptr;     // the file itself
  VStream* stream_ = nullptr;  // what records go through (raw_ or the cipher stream)
  std::unique_ptr<VZynProtection> protection_;
  int64_t seal_at_ = 0;  // where a protected file's seal begins

  int mode_ = 0;
  int version_ = 6000;
  bool binary_ = false;
  bool swapped_ = false;
  bool times_as_ticks_ = false;
  bool protected_ = false;
  bool writing_ = false;
  VZynHeaderInfo header_;
  // A camera named without SetHeaderCamera claims no fixed size: "Window
  // Size" leaves the track's size to the reader (500 x 280 for importers).
  std::string header_camera_mode_ = "Window Size";
  double header_camera_w_ = 500, header_camera_h_ = 280;

  std::vector<int64_t> section_start_;
  std::vector<int> section_version_;
  int open_section_ = -1;
  int last_section_ = -1;  // the section opened last, kept when it is closed
  VZynSectionCheck section_check_ = kZynSectionUnidentified;
  std::string node_id_;
  VZynTimeStamp section_time_;
  uint8_t file_id_[16] = {};

  // Reading: one field list per entered block, the section's top level first.
  std::vector<std::unique_ptr<VZynFieldList>> lists_;
  struct Selection {
    int field = -1;
    uint32_t instance = 0;
    uint32_t cursor = 0;
    const VZynFieldInstance* inst = nullptr;  // the selected occurrence, or none
    uint32_t pos = 0;  // binary: where the value at the cursor lies in the block
  };
  std::vector<Selection> selections_;  // parallel to lists_
  // Lists of blocks already left, kept for their memory: a scene enters
  // thousands of small blocks.
  std::vector<std::unique_ptr<VZynFieldList>> spare_lists_;
  std::unique_ptr<VZynFieldList> TakeList();
  void ReleaseList(std::unique_ptr<VZynFieldList> list);
  // ASCII files are read from one view of the whole file.
  std::shared_ptr<const void> ascii_keep_;
  const uint8_t* ascii_bytes_ = nullptr;
  int64_t ascii_size_ = 0;

  // Writing.
  int open_field_ = 0;  // 0: none; else 1 + values written
  std::vector<WriteLevel> levels_;
  int ascii_depth_ = 0;
  int ascii_column_ = 0;
  int ascii_indent_ = 0;
  bool ascii_wrap_pending_ = false;
  std::vector<uint8_t> out_;  // bytes not yet handed to the stream: out_[0, out_len_)
  size_t out_len_ = 0;
  int64_t out_base_ = 0;      // stream offset of out_[0]
  std::vector<std::string> embedded_;

  int error_code_ = kZynErrorNone;
  std::string error_message_;
};
