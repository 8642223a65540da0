// Shared set-up of the HVN driver tests: a scratch directory on a memory
// file system when there is one (a commit flushes four times, which a disk
// makes slow), and a small declared table with a text, a number and a memo.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/support/error_state.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::files::hvn::testing {

// Creates the scratch directory under /dev/shm when it is writable.
inline vaultrix::testing::ScratchDir& FastScratchDir() {
  static bool set = [] {
    if (::access("/dev/shm", W_OK) == 0) ::setenv("TMPDIR", "/dev/shm", 1);
    return true;
  }();
  (void)set;
  static thread_local std::unique_ptr<vaultrix::testing::ScratchDir> dir;
  dir = std::make_unique<vaultrix::testing::ScratchDir>();
  return *dir;
}

// Two pipes between a test and a child it forks: the child answers one byte
// when it is ready, then waits until the test lets it go on.
class Handshake {
 public:
  Handshake() {
    if (::pipe(ready_) != 0 || ::pipe(go_) != 0) ::abort();
  }
  ~Handshake() {
    for (int fd : {ready_[0], ready_[1], go_[0], go_[1]}) ::close(fd);
  }
  Handshake(const Handshake&) = delete;
  Handshake& operator=(const Handshake&) = delete;

  // In the child: answers, then waits. False when the test is gone.
  bool AnswerAndWait(char answer) {
    char ignored = 0;
    return ::write(ready_[1], &answer, 1) == 1 && ::read(go_[0], &ignored, 1) == 1;
  }
  // In the test: the child's answer, or 0 when it ended without one.
  char Answer() {
    char answer = 0;
    return ::read(ready_[0], &answer, 1) == 1 ? answer : 0;
  }
  bool LetGo() { return ::write(go_[1], "x", 1) == 1; }

 private:
  int ready_[2];
  int go_[2];
};

inline constexpr std::uint32_t kNameSize = 20;
inline constexpr std::uint32_t kMemoSize = 1000;

struct TestRecord {
  char name[kNameSize];
  std::int32_t number;
};

// The table "path[\!table]" with fields T:NAME (STRING 20), T:NUMBER (LONG)
// and the memo T:NOTES (`memo_size` bytes).
inline std::unique_ptr<DeclaredFile> DeclareTable(const std::string& name,
                                                  std::uint32_t memo_size = kMemoSize,
                                                  std::uint8_t attributes = 0x17) {
  return FileDeclaration(name)
      .Attributes(attributes)
      .Field(StringField("T:NAME", kNameSize))
      .Field(FixedField(kTypeLong, "T:NUMBER"))
      .Memo("T:NOTES", memo_size)
      .Build(HalverinDriver());
}

// The size in bytes of the file at `path`; 0 when it cannot be opened.
inline std::uint64_t SizeOf(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return 0;
  std::fseek(file, 0, SEEK_END);
  const long size = std::ftell(file);
  std::fclose(file);
  return static_cast<std::uint64_t>(size);
}

inline void SetRecord(DeclaredFile& file, const std::string& name, std::int32_t number) {
  TestRecord record;
  std::memset(record.name, ' ', kNameSize);
  std::memcpy(record.name, name.data(), std::min<std::size_t>(name.size(), kNameSize));
  record.number = number;
  std::memcpy(file.Record(), &record, sizeof record);
}

inline std::string NameOf(DeclaredFile& file) {
  std::string name(reinterpret_cast<const char*>(file.Record()), kNameSize);
  return name.substr(0, name.find_last_not_of(' ') + 1);
}

inline std::int32_t NumberOf(DeclaredFile& file) {
  std::int32_t number = 0;
  std::memcpy(&number, file.Record() + kNameSize, sizeof number);
  return number;
}

inline void SetMemo(DeclaredFile& file, const std::string& text) {
  MemoBlock& memo = file.Memo(0);
  std::memset(memo.buffer, ' ', memo.size);
  std::memcpy(memo.buffer, text.data(), std::min<std::size_t>(text.size(), memo.size));
}

inline std::string MemoOf(DeclaredFile& file) {
  MemoBlock& memo = file.Memo(0);
  std::string text(memo.buffer, memo.size);
  const std::size_t end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

}  // namespace vaultrix::files::hvn::testing
