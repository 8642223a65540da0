// A text file read and written line by line: one record is one line. This is
// the engine of the "ASCII" driver (text/driver.h); it knows nothing of the
// operation frame and works on a record buffer given to it.
//
// Positions are 1-based byte offsets of the file (0 means "none"). Reading
// a line:
//   - a position at or past the end of the file, or a first byte 26 (the
//     end-of-file mark), gives 33;
//   - the record is cleared to blanks, then bytes are copied into it until the
//     end-of-record sequence (consumed, not stored), a byte 26, or a full
//     record; tabs follow the TAB option; a line longer than the record
//     continues as the next record (an end-of-record sequence directly after
//     a full record ends that record);
//   - the next read position becomes start + length in the file + 1.
// Writing a line (ADD, APPEND, PUT) writes the record, OEM-converted when the
// file is OEM, without trailing blanks when CLIP is on, then the
// end-of-record sequence. ADD overwrites a final byte 26 once.
//
// With QUICKSCAN on, reads go through a read-ahead window of FILEBUFFERS
// buffers that stays valid from one read to the next, and added lines are
// gathered in memory and written a window at a time (before any other
// operation that reads or moves data, and at CLOSE). With it off, every
// read starts from the file and every ADD reaches the file at once.
//
// The deny flags of the access mode hold between opens of this driver, in
// this and other processes (locks far beyond the data): an open that would
// write while another denies writing, or deny what another does, gets 5.
//
// Every operation answers 0 or an error code (runtime/support/error_codes.h;
// system failures as 300 + the system error number). Nothing throws.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file.h"
#include "runtime/files/text/options.h"

namespace vaultrix::files {

class TextFile {
 public:
  // `record` must hold `record_size` bytes and outlive this object.
  TextFile(std::string name, char* record, std::uint32_t record_size, bool oem);
  ~TextFile();
  TextFile(const TextFile&) = delete;
  TextFile& operator=(const TextFile&) = delete;

  // OPEN and SHARE: access mode as in file_descriptor.h; the defaults follow
  // from it, then `option_text` applies.
  [[nodiscard]] std::int32_t Open(std::int32_t access_mode, std::string_view option_text);
  // CREATE: an empty file (emptied when it exists); an open file stays open.
  [[nodiscard]] std::int32_t Create();
  [[nodiscard]] std::int32_t Close();
  [[nodiscard]] bool is_open() const { return file_ != nullptr; }

  // SET: the next read starts at `position` (0 or less: at the start).
  void SetStart(std::int64_t position = 1);
  // NEXT, GET (at a 1-based position) and their length forms, which fill at
  // most `length` bytes of the record.
  [[nodiscard]] std::int32_t Next() { return Next(record_size_); }
  [[nodiscard]] std::int32_t Next(std::uint32_t length);
  [[nodiscard]] std::int32_t Get(std::int64_t position) { return Get(position, record_size_); }
  [[nodiscard]] std::int32_t Get(std::int64_t position, std::uint32_t length);

  // ADD and APPEND (the same for a text file), and PUT of the current line.
  [[nodiscard]] std::int32_t Add() { return Add(record_size_); }
  [[nodiscard]] std::int32_t Add(std::uint32_t length);
  [[nodiscard]] std::int32_t Put() { return Put(record_size_); }
  [[nodiscard]] std::int32_t Put(std::uint32_t length);

  // Makes the line at a 1-based position current, leaving the record as it
  // is (PUT with a pointer).
  [[nodiscard]] std::int32_t Locate(std::int64_t position);

  // POINTER: the current line's start + 1, 0 without a current line.
  [[nodiscard]] std::int64_t Pointer() const;
  // POSITION: the pointer as 4 bytes, low byte first.
  [[nodiscard]] std::string Position() const;
  // RESET: the next read starts at the position of a POSITION text.
  [[nodiscard]] std::int32_t Reset(std::string_view position);
  // REGET: reads the line at the position of a POSITION text.
  [[nodiscard]] std::int32_t Reget(std::string_view position);

  [[nodiscard]] std::int32_t Bytes(std::int64_t* size);
  // EOF: true when no line follows the next read position (also on error).
  [[nodiscard]] bool Eof();
  [[nodiscard]] std::int32_t Empty();
  [[nodiscard]] std::int32_t Flush();
  // LOCK of the whole file; `seconds` < 0 waits as long as it takes, else
  // gives up with 32 after that long. UNLOCK releases it.
  [[nodiscard]] std::int32_t Lock(std::int32_t seconds);
  [[nodiscard]] std::int32_t Unlock();

  // SEND: the setting before the change; false for an unknown option.
  bool Send(std::string_view option, std::string* result);

  // REMOVE, RENAME and COPY of the named file; an open file is flushed
  // first (and closed for REMOVE).
  [[nodiscard]] std::int32_t Remove();
  [[nodiscard]] std::int32_t Rename(std::string_view new_name);
  [[nodiscard]] std::int32_t Copy(std::string_view new_name);

  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const TextOptions& options() const { return options_; }
  [[nodiscard]] std::int64_t next_position() const { return next_position_; }

 private:
  struct Buffers;

  std::int32_t ReadLine(std::uint64_t start, std::uint32_t length);
  bool CopyLine(std::uint32_t length, std::uint64_t* offset, std::uint32_t* column);
  std::int32_t WriteLineAt(std::uint64_t start, std::uint64_t old_length);
  std::int32_t CheckWritable();
  void AppendLine(std::uint32_t length, std::string* out) const;
  void PrepareLine(std::uint32_t length);
  std::int32_t FlushWrites();
  void DropPartialLines(std::uint64_t size);
  std::int32_t RefreshSize();
  std::int32_t WriteAll(std::uint64_t offset, const char* data, std::size_t size);
  std::int32_t MoveTail(std::uint64_t from, std::uint64_t to);
  std::size_t BufferSize() const;
  // The byte at `offset` through the read window; false past the end.
  bool ByteAt(std::uint64_t offset, char* byte) {
    if (offset >= file_size_) return false;
    if (offset - window_start_ < window_size_) {  // in the window (wraps below it)
      *byte = window_[offset - window_start_];
      return true;
    }
    return LoadWindow(offset, byte);
  }
  // Reads the window from `offset` on: ByteAt when it is not in the window.
  bool LoadWindow(std::uint64_t offset, char* byte);
  bool EndOfRecordAt(std::uint64_t offset);
  void DropReadWindow();

  std::string name_;
  char* record_;
  std::uint32_t record_size_;
  bool oem_;
  std::int32_t access_mode_ = 0;
  TextOptions options_;
  std::unique_ptr<platform::File> file_;

  bool has_current_ = false;
  std::uint64_t current_start_ = 0;   // 0-based
  std::uint64_t current_length_ = 0;  // in the file, end of record included
  std::int64_t next_position_ = 1;    // 1-based
  std::uint64_t file_size_ = 0;       // added lines not yet written included
  bool end_mark_checked_ = false;
  bool locked_ = false;

  // The read window: file bytes [window_start_, window_start_ + window_size_).
  std::string window_;
  std::uint64_t window_start_ = 0;
  std::size_t window_size_ = 0;
  // Added lines not yet written, which belong at file offset pending_start_.
  std::string pending_;
  std::uint64_t pending_start_ = 0;
  // The line being written.
  std::string line_;
};

}  // namespace vaultrix::files
