// The text file engine: lines in and out of a record buffer over a platform
// file, through a read window and a write-behind buffer.
#include "runtime/files/text/text_file.h"

#include <time.h>

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/env.h"
#include "platform/oem_charset.h"
#include "runtime/files/file_descriptor.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/system_error_map.h"

namespace vaultrix::files {
namespace {

using platform::CurrentEnv;
using platform::OpenMode;
namespace codes = support;

constexpr char kEndOfFileMark = 26;

// LOCK covers every byte a text file can hold. The sharing modes of the
// opens are kept as locks beyond it, one byte each: who reads, who writes,
// who denies reading, who denies writing.
constexpr std::uint64_t kLockedRange = 0x4000000000000000ull;
constexpr std::uint64_t kReaderByte = kLockedRange;
constexpr std::uint64_t kWriterByte = kLockedRange + 1;
constexpr std::uint64_t kDenyReadByte = kLockedRange + 2;
constexpr std::uint64_t kDenyWriteByte = kLockedRange + 3;

struct Sharing {
  bool reads, writes, denies_read, denies_write;
};

Sharing SharingOf(std::int32_t access_mode) {
  std::int32_t access = access_mode & kAccessNibble;
  std::int32_t deny = access_mode & kDenyNibble;
  return {access != kAccessWriteOnly, access != kAccessReadOnly,
          deny == kDenyAll || deny == kDenyRead, deny == kDenyAll || deny == kDenyWrite};
}

// Announces this open's access and deny flags, then refuses (5) when another
// open denies what this one does or does what this one denies. Announcing
// first means two conflicting opens can both fail but never both succeed.
std::int32_t ClaimSharing(platform::File& file, std::int32_t access_mode) {
  const Sharing sharing = SharingOf(access_mode);
  const std::pair<bool, std::uint64_t> claims[] = {{sharing.reads, kReaderByte},
                                                   {sharing.writes, kWriterByte},
                                                   {sharing.denies_read, kDenyReadByte},
                                                   {sharing.denies_write, kDenyWriteByte}};
  for (const auto& [claimed, byte] : claims) {
    if (!claimed) continue;
    int error = file.Lock(byte, 1, platform::LockKind::kShared, platform::LockWait::kTry);
    if (error == platform::kLockConflict) return codes::kAccessDenied;
    if (error != 0) return codes::ErrorCodeFromErrno(error);
  }
  const std::pair<bool, std::uint64_t> conflicts[] = {{sharing.reads, kDenyReadByte},
                                                      {sharing.writes, kDenyWriteByte},
                                                      {sharing.denies_read, kReaderByte},
                                                      {sharing.denies_write, kWriterByte}};
  for (const auto& [applies, byte] : conflicts) {
    if (!applies) continue;
    bool held_elsewhere = false;
    int error = file.TestLock(byte, 1, platform::LockKind::kExclusive, &held_elsewhere);
    if (error != 0) return codes::ErrorCodeFromErrno(error);
    if (held_elsewhere) return codes::kAccessDenied;
  }
  return 0;
}
constexpr std::uint64_t kMaxPosition = 0xFFFFFFFFu;

bool HasDenyFlag(std::int32_t access_mode) {
  std::int32_t deny = access_mode & kDenyNibble;
  return deny == kDenyAll || deny == kDenyWrite || deny == kDenyRead;
}

std::string ParentOf(const std::string& name) {
  std::size_t slash = name.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : name.substr(0, slash);
}

// A missing file is 2, a missing directory on its way 3.
std::int32_t MissingCode(const std::string& name) {
  return CurrentEnv().Exists(ParentOf(name)) ? codes::kFileNotFound : codes::kPathNotFound;
}

std::int32_t OpenErrorCode(int error, const std::string& name) {
  if (error == ENOENT) return MissingCode(name);
  if (error == ENOTDIR) return codes::kPathNotFound;
  if (error == EACCES || error == EPERM || error == EISDIR || error == EROFS) {
    return codes::kAccessDenied;
  }
  return codes::ErrorCodeFromErrno(error);
}

// A write that the file refuses (opened for reading, no permission) is 5.
std::int32_t WriteErrorCode(int error) {
  if (error == EBADF || error == EACCES || error == EPERM || error == EROFS || error == EINVAL) {
    return codes::kAccessDenied;
  }
  return codes::ErrorCodeFromErrno(error);
}

// The text without its trailing blanks. Records are mostly blank tails, so
// the tail is compared a block at a time first, in large blocks, then small.
std::size_t ClippedLength(const char* text, std::size_t length) {
  constexpr std::uint64_t kBlanks = 0x2020202020202020ull;
  static const std::string blank_block(4096, ' ');
  for (std::size_t block = blank_block.size(); block >= 64; block /= 8) {
    while (length >= block && std::memcmp(text + length - block, blank_block.data(), block) == 0) {
      length -= block;
    }
  }
  while (length >= 8) {
    std::uint64_t word;
    std::memcpy(&word, text + length - 8, 8);
    if (word != kBlanks) break;
    length -= 8;
  }
  while (length > 0 && text[length - 1] == ' ') --length;
  return length;
}

#if defined(__x86_64__) && defined(__GNUC__)
#define VAULTRIX_TEXT_SCAN_AVX2 1

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

// StopBytes's search 32 bytes at a time, over the whole blocks of
// [run, run + size): the offset of the first of `first`, 26 and `tab`, or,
// with *found false, the length of the blocks searched. Copies the blocks
// it reads to `out` unless that is null.
__attribute__((target("avx2"))) std::size_t FirstStopInBlocks(const char* run, std::size_t size,
                                                              char* out, char first, char tab,
                                                              bool* found) {
  const __m256i firsts = _mm256_set1_epi8(first);
  const __m256i marks = _mm256_set1_epi8(kEndOfFileMark);
  const __m256i tabs = _mm256_set1_epi8(tab);
  std::size_t i = 0;
  for (; i + 32 <= size; i += 32) {
    __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(run + i));
    if (out != nullptr) _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), bytes);
    __m256i hits = _mm256_or_si256(
        _mm256_cmpeq_epi8(bytes, firsts),
        _mm256_or_si256(_mm256_cmpeq_epi8(bytes, marks), _mm256_cmpeq_epi8(bytes, tabs)));
    if (auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hits)); mask != 0) {
      *found = true;
      return i + static_cast<std::size_t>(std::countr_zero(mask));
    }
  }
  *found = false;
  return i;
}
#endif

// How far past the bytes it copies StopBytes::CopyIn may write: at most
// the rest of the block it found the stop in.
constexpr std::size_t kCopyOverrun = 32;

// Finds the first byte of a run that a line read must look at: the first
// byte of the end-of-record sequence (-1: none), byte 26, and tabs when they
// are expanded or dropped. Thirty-two or sixteen bytes are tested at a time
// where the processor allows, and copied out while they are at hand.
class StopBytes {
 public:
  // An unused slot repeats byte 26, which is always a stop.
  StopBytes(int end_of_record, bool tabs)
      : first_(static_cast<char>(end_of_record >= 0 ? end_of_record : kEndOfFileMark)),
        tab_(tabs ? '\t' : kEndOfFileMark) {}

  // The number of bytes of [run, run + size) before the first stop byte
  // (size when there is none). Reads nothing beyond run + size.
  std::size_t FirstIn(const char* run, std::size_t size) const { return Scan(run, size, nullptr); }

  // As FirstIn, and copies those bytes to `out`. Up to kCopyOverrun bytes
  // of `out` after them may be written too (never beyond out + size): the
  // caller writes over them or blanks them.
  std::size_t CopyIn(const char* run, std::size_t size, char* out) const {
    return Scan(run, size, out);
  }

 private:
  std::size_t Scan(const char* run, std::size_t size, char* out) const {
    std::size_t i = 0;
#if defined(VAULTRIX_TEXT_SCAN_AVX2)
    if (size >= 32 && HasAvx2()) {
      bool found = false;
      i = FirstStopInBlocks(run, size, out, first_, tab_, &found);
      if (found) return i;
    }
#endif
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(first_);
    const __m128i mark = _mm_set1_epi8(kEndOfFileMark);
    const __m128i tab = _mm_set1_epi8(tab_);
    for (; i + 16 <= size; i += 16) {
      __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(run + i));
      if (out != nullptr) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), bytes);
      __m128i hits =
          _mm_or_si128(_mm_cmpeq_epi8(bytes, first),
                       _mm_or_si128(_mm_cmpeq_epi8(bytes, mark), _mm_cmpeq_epi8(bytes, tab)));
      if (int mask = _mm_movemask_epi8(hits); mask != 0) {
        return i + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(mask)));
      }
    }
#endif
    for (; i < size; ++i) {
      if (run[i] == first_ || run[i] == kEndOfFileMark || run[i] == tab_) return i;
      if (out != nullptr) out[i] = run[i];
    }
    return size;
  }

  char first_;
  char tab_;
};

constexpr std::size_t kNotPlain = static_cast<std::size_t>(-1);

// Copies a plain line at `run` into `record` and answers its text length:
// a line ended by the end-of-record sequence within the `size` bytes there,
// before any other stop byte and within `length` bytes of text. Any other
// line answers kNotPlain, for the general copy to read; either way bytes
// of the record up to `length` may have been written.
std::size_t CopyPlainLine(const char* run, std::size_t size, std::uint32_t length,
                          const std::string& sequence, const StopBytes& stops, char* record) {
  if (sequence.empty()) return kNotPlain;
  std::size_t room = std::min<std::size_t>(size, length);
  std::size_t plain = stops.CopyIn(run, room, record);
  if (plain == room || run[plain] != sequence[0] || size - plain < sequence.size()) {
    return kNotPlain;
  }
  for (std::size_t i = 1; i < sequence.size(); ++i) {
    if (run[plain + i] != sequence[i]) return kNotPlain;
  }
  return plain;
}

}  // namespace

TextFile::TextFile(std::string name, char* record, std::uint32_t record_size, bool oem)
    : name_(std::move(name)), record_(record), record_size_(record_size), oem_(oem) {}

TextFile::~TextFile() {
  if (file_) (void)Close();
}

// 1024 bytes with a deny flag of 0x10 or 0x20, else 512, and at least twice
// the record.
std::size_t TextFile::BufferSize() const {
  std::int32_t deny = access_mode_ & kDenyNibble;
  std::size_t size = (deny == kDenyAll || deny == kDenyWrite) ? 1024 : 512;
  return std::max<std::size_t>(size, 2 * static_cast<std::size_t>(record_size_));
}

std::int32_t TextFile::Open(std::int32_t access_mode, std::string_view option_text) {
  if (name_.empty()) return codes::kInvalidFilename;
  if (file_) return codes::kFileAlreadyOpen;
  OpenMode mode =
      (access_mode & kAccessNibble) == kAccessReadOnly ? OpenMode::kReadOnly : OpenMode::kReadWrite;
  if ((access_mode & kAccessCreate) != 0) mode = OpenMode::kCreate;
  std::unique_ptr<platform::File> file;
  if (int error = CurrentEnv().OpenFile(name_, mode, &file); error != 0) {
    return OpenErrorCode(error, name_);
  }
  if (std::int32_t result = ClaimSharing(*file, access_mode); result != 0) return result;
  std::uint64_t size = 0;
  if (int error = file->Size(&size); error != 0) return codes::ErrorCodeFromErrno(error);
  file_ = std::move(file);
  access_mode_ = access_mode;
  options_ = TextOptions();
  options_.quick_scan = HasDenyFlag(access_mode);
  ApplyOptionText(option_text, options_);
  file_size_ = size;
  has_current_ = false;
  current_start_ = current_length_ = 0;
  next_position_ = 1;
  end_mark_checked_ = false;
  locked_ = false;
  DropReadWindow();
  pending_.clear();
  return 0;
}

std::int32_t TextFile::Create() {
  if (name_.empty()) return codes::kInvalidFilename;
  if (file_) return Empty();
  std::unique_ptr<platform::File> file;
  if (int error = CurrentEnv().OpenFile(name_, OpenMode::kCreateEmpty, &file); error != 0) {
    return OpenErrorCode(error, name_);
  }
  int error = file->Close();
  return error == 0 ? 0 : codes::ErrorCodeFromErrno(error);
}

std::int32_t TextFile::Close() {
  if (!file_) return codes::kFileNotOpen;
  std::int32_t result = FlushWrites();
  int error = file_->Close();
  file_.reset();
  locked_ = false;
  has_current_ = false;
  DropReadWindow();
  pending_.clear();
  if (result == 0 && error != 0) result = codes::ErrorCodeFromErrno(error);
  return result;
}

void TextFile::SetStart(std::int64_t position) {
  next_position_ = position <= 0 ? 1 : position;
}

std::int32_t TextFile::Next(std::uint32_t length) {
  if (!file_) return codes::kFileNotOpen;
  return ReadLine(static_cast<std::uint64_t>(next_position_ - 1), length);
}

std::int32_t TextFile::Get(std::int64_t position, std::uint32_t length) {
  if (!file_) return codes::kFileNotOpen;
  if (position <= 0) return codes::kRecordNotAvailable;
  return ReadLine(static_cast<std::uint64_t>(position - 1), length);
}

std::int32_t TextFile::Locate(std::int64_t position) {
  if (!file_) return codes::kFileNotOpen;
  if (position <= 0) return codes::kRecordNotAvailable;
  std::string scratch(record_size_, ' ');
  char* record = record_;
  record_ = scratch.data();
  std::int32_t result = ReadLine(static_cast<std::uint64_t>(position - 1), record_size_);
  record_ = record;
  return result;
}

void TextFile::DropReadWindow() {
  window_start_ = 0;
  window_size_ = 0;
}

std::int32_t TextFile::RefreshSize() {
  if (!pending_.empty()) return 0;  // the size is ours while lines wait
  std::uint64_t size = 0;
  if (int error = file_->Size(&size); error != 0) return codes::ErrorCodeFromErrno(error);
  file_size_ = size;
  return 0;
}

bool TextFile::LoadWindow(std::uint64_t offset, char* byte) {
  std::size_t capacity = BufferSize() * (options_.quick_scan ? options_.buffer_count : 1);
  if (window_.size() < capacity) window_.resize(capacity);
  window_start_ = offset;
  window_size_ = 0;
  std::size_t done = 0;
  if (file_->Read(offset, window_.data(), capacity, &done) != 0 || done == 0) return false;
  window_size_ = done;
  *byte = window_[0];
  return true;
}

bool TextFile::EndOfRecordAt(std::uint64_t offset) {
  const std::string& sequence = options_.end_of_record;
  if (sequence.empty()) return false;
  // Mostly the whole sequence is in the window: one compare.
  if (offset >= window_start_ && offset + sequence.size() <= window_start_ + window_size_ &&
      offset + sequence.size() <= file_size_) {
    const char* bytes = window_.data() + (offset - window_start_);
    for (std::size_t i = 0; i < sequence.size(); ++i) {
      if (bytes[i] != sequence[i]) return false;
    }
    return true;
  }
  for (std::size_t i = 0; i < sequence.size(); ++i) {
    char byte;
    if (!ByteAt(offset + i, &byte) || byte != sequence[i]) return false;
  }
  return true;
}

std::int32_t TextFile::ReadLine(std::uint64_t start, std::uint32_t length) {
  if (!pending_.empty()) {
    if (std::int32_t result = FlushWrites(); result != 0) return result;
  }
  length = std::min(length, record_size_);
  if (!options_.quick_scan) DropReadWindow();
  if (!options_.quick_scan || start >= file_size_) {
    if (std::int32_t result = RefreshSize(); result != 0) return result;
  }
  if (start >= file_size_ || start >= kMaxPosition) return codes::kRecordNotAvailable;
  char byte;
  // (A file that another station cut short since its size was taken has no
  // line here either.) The record is cleared even so.
  if (!ByteAt(start, &byte) || byte == kEndOfFileMark) {
    std::memset(record_, ' ', record_size_);
    return codes::kRecordNotAvailable;
  }

  // The record is cleared whole, whatever the caller left in it: one write
  // of the same size for every line, which costs less than blanking a
  // different tail each time. Then the line is copied over it.
  std::memset(record_, ' ', record_size_);
  const std::string& sequence = options_.end_of_record;
  const StopBytes stops(sequence.empty() ? -1 : static_cast<unsigned char>(sequence[0]),
                        options_.tab != kTabKeep);
  std::uint64_t offset = start;
  std::uint32_t column = 0;
  bool line_ended = false;
  // Mostly the whole line lies in the window, ended by its end-of-record
  // sequence before any byte that needs a decision: one search, one copy.
  std::size_t in_window = std::min(window_start_ + window_size_, file_size_) - start;
  const char* run = window_.data() + (start - window_start_);
  std::size_t plain = CopyPlainLine(run, in_window, length, sequence, stops, record_);
  if (plain != kNotPlain) {
    column = static_cast<std::uint32_t>(plain);
    offset += plain + sequence.size();
    line_ended = true;
    // What the copy wrote past the line.
    if (plain + kCopyOverrun <= record_size_) {
      static constexpr char kBlankBlock[kCopyOverrun + 1] = "                                ";
      std::memcpy(record_ + plain, kBlankBlock, kCopyOverrun);
    } else {
      std::memset(record_ + plain, ' ', record_size_ - plain);
    }
  } else {
    // Every byte before `column` is written again (text, or blanks where a
    // tab leaves a gap); after it, what the copies wrote is blanked.
    line_ended = CopyLine(length, &offset, &column);
    std::memset(record_ + column, ' ', record_size_ - column);
  }
  if (!line_ended && length != 0 && column >= length && EndOfRecordAt(offset)) {
    offset += sequence.size();  // a line exactly as long as the record
  }
  if (oem_) platform::OemToAnsi(record_, column);
  has_current_ = true;
  current_start_ = start;
  current_length_ = offset - start;
  next_position_ = static_cast<std::int64_t>(offset) + 1;
  return 0;
}

// Copies the line from `*offset` into the record from `*column` on, runs of
// plain bytes straight from the window, stopping at the bytes that need a
// decision: the end-of-record's first byte, 26 and tabs. Leaves `*offset`
// after what was read and `*column` after what was written; true when the
// end-of-record sequence ended the line.
bool TextFile::CopyLine(std::uint32_t length, std::uint64_t* offset, std::uint32_t* column) {
  const std::string& sequence = options_.end_of_record;
  const bool expand_tabs = options_.tab != kTabKeep;
  const StopBytes stops(sequence.empty() ? -1 : static_cast<unsigned char>(sequence[0]),
                        expand_tabs);
  char byte;
  while (*offset < file_size_ && (*column < length || length == 0)) {
    if (!ByteAt(*offset, &byte)) break;
    const char* run = window_.data() + (*offset - window_start_);
    std::size_t available = window_size_ - (*offset - window_start_);
    std::size_t room =
        length == 0 ? available : std::min<std::size_t>(available, length - *column);
    std::size_t plain =
        length != 0 ? stops.CopyIn(run, room, record_ + *column) : stops.FirstIn(run, room);
    *column += static_cast<std::uint32_t>(length != 0 ? plain : 0);
    *offset += plain;
    if (plain == room) continue;  // window or record exhausted

    char stop = run[plain];
    if (!sequence.empty() && stop == sequence[0] && EndOfRecordAt(*offset)) {
      *offset += sequence.size();
      return true;
    }
    if (stop == kEndOfFileMark) return false;
    ++*offset;  // the tab, or a first end-of-record byte that starts no sequence
    if (stop != '\t' || !expand_tabs) {
      if (length != 0) record_[(*column)++] = stop;
      continue;
    }
    std::int32_t tab = options_.tab;
    std::uint32_t blanks = tab > 0 ? tab - *column % tab : (tab == 0 ? 0 : -tab);
    // (In 64 bits, so that no TAB setting can wrap the column below itself.)
    auto to = static_cast<std::uint32_t>(
        length == 0 ? 0 : std::min<std::uint64_t>(length, std::uint64_t{*column} + blanks));
    std::memset(record_ + *column, ' ', to - *column);
    *column = to;
  }
  return false;
}

std::int32_t TextFile::CheckWritable() {
  // Denying all access leaves no other open of this file that could lock
  // it: any open that came after this one failed, and any before it made
  // this one fail. So only shared opens ask the system, once per write.
  if (locked_ || (access_mode_ & kDenyNibble) == kDenyAll) return 0;
  bool held_elsewhere = false;
  int error = file_->TestLock(0, kLockedRange, platform::LockKind::kExclusive, &held_elsewhere);
  if (error != 0) return codes::ErrorCodeFromErrno(error);
  return held_elsewhere ? codes::kAccessDenied : 0;
}

// Appends the record's text as the file holds it, then the end of record.
void TextFile::AppendLine(std::uint32_t length, std::string* out) const {
  length = std::min(length, record_size_);
  std::size_t text_length = options_.clip ? ClippedLength(record_, length) : length;
  // Room first, so that running out of memory leaves `out` as it was
  // rather than holding half a line.
  out->reserve(out->size() + text_length + options_.end_of_record.size());
  std::size_t at = out->size();
  out->append(record_, text_length);
  if (oem_) platform::AnsiToOem(out->data() + at, text_length);
  out->append(options_.end_of_record);
}

// line_ := the record's text as the file holds it, then the end of record.
void TextFile::PrepareLine(std::uint32_t length) {
  line_.clear();
  AppendLine(length, &line_);
}

std::int32_t TextFile::WriteAll(std::uint64_t offset, const char* data, std::size_t size) {
  DropReadWindow();
  std::size_t done = 0;
  if (int error = file_->Write(offset, data, size, &done); error != 0) return WriteErrorCode(error);
  return done == size ? 0 : codes::kAccessDenied;
}

// After a failed or short write the file ends where it ended before it, so
// that no half line stays behind.
void TextFile::DropPartialLines(std::uint64_t size) {
  (void)file_->Truncate(size);
  DropReadWindow();
  (void)RefreshSize();
}

std::int32_t TextFile::FlushWrites() {
  if (pending_.empty()) return 0;
  std::int32_t result = WriteAll(pending_start_, pending_.data(), pending_.size());
  pending_.clear();
  if (result != 0) DropPartialLines(pending_start_);
  return result;
}

std::int32_t TextFile::Add(std::uint32_t length) {
  if (!file_) return codes::kFileNotOpen;
  if ((access_mode_ & kAccessNibble) == kAccessReadOnly) return codes::kAccessDenied;
  if (std::int32_t result = CheckWritable(); result != 0) return result;
  if (pending_.empty()) {
    if (std::int32_t result = RefreshSize(); result != 0) return result;
  }
  if (!end_mark_checked_) {
    end_mark_checked_ = true;
    char last;
    DropReadWindow();
    if (file_size_ > 0 && ByteAt(file_size_ - 1, &last) && last == kEndOfFileMark) {
      if (int error = file_->Truncate(file_size_ - 1); error != 0) return WriteErrorCode(error);
      --file_size_;
      DropReadWindow();
    }
  }
  std::uint64_t start = file_size_;
  std::uint64_t line_size = 0;
  if (options_.quick_scan) {
    // The line goes straight into the gathered lines.
    if (pending_.empty()) pending_start_ = start;
    std::size_t before = pending_.size();
    AppendLine(length, &pending_);
    line_size = pending_.size() - before;
    if (pending_.size() >= BufferSize() * options_.buffer_count) {
      if (std::int32_t result = FlushWrites(); result != 0) return result;
    }
  } else {
    PrepareLine(length);
    line_size = line_.size();
    if (std::int32_t result = WriteAll(start, line_.data(), line_.size()); result != 0) {
      DropPartialLines(start);
      return result;
    }
  }
  file_size_ = start + line_size;
  has_current_ = true;
  current_start_ = start;
  current_length_ = line_size;
  return 0;
}

std::int32_t TextFile::Put(std::uint32_t length) {
  if (!file_) return codes::kFileNotOpen;
  if (!has_current_) return codes::kRecordNotAvailable;
  if ((access_mode_ & kAccessNibble) == kAccessReadOnly) return codes::kAccessDenied;
  if (std::int32_t result = CheckWritable(); result != 0) return result;
  if (std::int32_t result = FlushWrites(); result != 0) return result;
  if (std::int32_t result = RefreshSize(); result != 0) return result;
  if (current_start_ > file_size_) return codes::kRecordNotAvailable;
  PrepareLine(length);
  return WriteLineAt(current_start_, std::min(current_length_, file_size_ - current_start_));
}

// Replaces the `old_length` bytes at `start` by line_, moving what follows
// when the lengths differ, so that a changed line never runs into the next.
std::int32_t TextFile::WriteLineAt(std::uint64_t start, std::uint64_t old_length) {
  std::uint64_t new_length = line_.size();
  std::uint64_t old_end = start + old_length;
  if (new_length != old_length) {
    if (std::int32_t result = MoveTail(old_end, start + new_length); result != 0) return result;
  }
  if (std::int32_t result = WriteAll(start, line_.data(), line_.size()); result != 0) return result;
  file_size_ = file_size_ - old_length + new_length;
  if (next_position_ - 1 >= static_cast<std::int64_t>(old_end)) {
    next_position_ += static_cast<std::int64_t>(new_length) - static_cast<std::int64_t>(old_length);
  }
  current_length_ = new_length;
  return 0;
}

// Moves the file's bytes from `from` to its end so that they start at `to`.
std::int32_t TextFile::MoveTail(std::uint64_t from, std::uint64_t to) {
  DropReadWindow();
  const std::uint64_t tail = file_size_ - from;
  std::string chunk(64 * 1024, '\0');
  for (std::uint64_t moved = 0; moved < tail;) {
    std::uint64_t piece = std::min<std::uint64_t>(chunk.size(), tail - moved);
    // Growing moves from the end backwards, shrinking from the front.
    std::uint64_t at = to > from ? tail - moved - piece : moved;
    std::size_t done = 0;
    if (int error = file_->Read(from + at, chunk.data(), piece, &done); error != 0) {
      return codes::ErrorCodeFromErrno(error);
    }
    if (done != piece) return codes::ErrorCodeFromErrno(EIO);
    if (std::int32_t result = WriteAll(to + at, chunk.data(), piece); result != 0) return result;
    moved += piece;
  }
  if (to < from) {
    if (int error = file_->Truncate(to + tail); error != 0) return WriteErrorCode(error);
  }
  return 0;
}

std::int64_t TextFile::Pointer() const {
  return has_current_ ? static_cast<std::int64_t>(current_start_) + 1 : 0;
}

std::string TextFile::Position() const {
  auto pointer = static_cast<std::uint32_t>(Pointer());
  std::string text(4, '\0');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((pointer >> (8 * i)) & 0xFF);
  return text;
}

namespace {

std::int64_t PositionValue(std::string_view position) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < position.size(); ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(position[i])) << (8 * i);
  }
  return value;
}

}  // namespace

std::int32_t TextFile::Reset(std::string_view position) {
  if (!file_) return codes::kFileNotOpen;
  SetStart(PositionValue(position));
  return 0;
}

std::int32_t TextFile::Reget(std::string_view position) {
  return Get(PositionValue(position), record_size_);
}

std::int32_t TextFile::Bytes(std::int64_t* size) {
  *size = 0;
  if (!file_) return codes::kFileNotOpen;
  if (std::int32_t result = RefreshSize(); result != 0) return result;
  *size = static_cast<std::int64_t>(file_size_);
  return 0;
}

bool TextFile::Eof() {
  if (!file_ || FlushWrites() != 0) return true;
  if (!options_.quick_scan) DropReadWindow();
  if (RefreshSize() != 0) return true;
  char byte;
  auto offset = static_cast<std::uint64_t>(next_position_ - 1);
  return !ByteAt(offset, &byte) || byte == kEndOfFileMark;
}

std::int32_t TextFile::Empty() {
  if (!file_) return codes::kFileNotOpen;
  if (std::int32_t result = CheckWritable(); result != 0) return result;
  pending_.clear();
  DropReadWindow();
  if (int error = file_->Truncate(0); error != 0) return WriteErrorCode(error);
  file_size_ = 0;
  has_current_ = false;
  current_start_ = current_length_ = 0;
  next_position_ = 1;
  end_mark_checked_ = false;
  return 0;
}

std::int32_t TextFile::Flush() {
  if (!file_) return codes::kFileNotOpen;
  if (std::int32_t result = FlushWrites(); result != 0) return result;
  int error = file_->Flush(true);
  return error == 0 ? 0 : codes::ErrorCodeFromErrno(error);
}

std::int32_t TextFile::Lock(std::int32_t seconds) {
  if (!file_) return codes::kFileNotOpen;
  if (std::int32_t result = FlushWrites(); result != 0) return result;
  auto wait = seconds < 0 ? platform::LockWait::kWait : platform::LockWait::kTry;
  int error = file_->Lock(0, kLockedRange, platform::LockKind::kExclusive, wait);
  for (std::int32_t waited = 0; error == platform::kLockConflict && waited < seconds * 10;
       ++waited) {
    struct timespec tenth = {0, 100000000};
    ::nanosleep(&tenth, nullptr);
    error = file_->Lock(0, kLockedRange, platform::LockKind::kExclusive, platform::LockWait::kTry);
  }
  if (error == platform::kLockConflict) return codes::kFileIsAlreadyLocked;
  if (error != 0) return codes::ErrorCodeFromErrno(error);
  locked_ = true;
  return 0;
}

std::int32_t TextFile::Unlock() {
  if (!file_) return codes::kFileNotOpen;
  if (std::int32_t result = FlushWrites(); result != 0) return result;
  if (int error = file_->Unlock(0, kLockedRange); error != 0) {
    return codes::ErrorCodeFromErrno(error);
  }
  locked_ = false;
  return 0;
}

bool TextFile::Send(std::string_view option, std::string* result) {
  result->clear();
  if (!ApplyTextOption(option, options_, result)) return false;
  // A window kept across reads must not outlive QUICKSCAN; lines gathered
  // for writing go out before the settings they were made with change.
  if (!options_.quick_scan) (void)FlushWrites();
  DropReadWindow();
  return true;
}

std::int32_t TextFile::Remove() {
  if (name_.empty()) return codes::kInvalidFilename;
  if (file_) (void)Close();
  int error = CurrentEnv().Remove(name_);
  if (error == 0) return 0;
  return error == ENOENT ? codes::kFileNotFound : codes::kAccessDenied;
}

namespace {

std::int32_t MoveErrorCode(int error, const std::string& from, const std::string& to) {
  if (error == ENOENT) {
    return CurrentEnv().Exists(from) ? MissingCode(to) : MissingCode(from);
  }
  if (error == ENOTDIR) return codes::kPathNotFound;
  if (error == EEXIST || error == EACCES || error == EPERM || error == EINVAL || error == EISDIR ||
      error == EROFS) {
    return codes::kAccessDenied;
  }
  return codes::ErrorCodeFromErrno(error);
}

}  // namespace

std::int32_t TextFile::Rename(std::string_view new_name) {
  if (name_.empty() || new_name.empty()) return codes::kInvalidFilename;
  if (file_) {
    if (std::int32_t result = FlushWrites(); result != 0) return result;
  }
  std::string target(new_name);
  if (int error = CurrentEnv().Rename(name_, target, false); error != 0) {
    return MoveErrorCode(error, name_, target);
  }
  name_ = target;
  return 0;
}

std::int32_t TextFile::Copy(std::string_view new_name) {
  if (name_.empty() || new_name.empty()) return codes::kInvalidFilename;
  if (file_) {
    if (std::int32_t result = FlushWrites(); result != 0) return result;
  }
  std::string target(new_name);
  if (int error = CurrentEnv().Copy(name_, target); error != 0) {
    return MoveErrorCode(error, name_, target);
  }
  return 0;
}

}  // namespace vaultrix::files
