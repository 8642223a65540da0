// The per-file state: what the runtime learns from a file's descriptor at the
// file's first operation, and the slot where the file's driver keeps its own
// state. It lives from the first operation until CLOSE.
//
// A driver keeps its per-file state in a class derived from DriverState,
// created when it first needs it:
//
//   struct TextFile : DriverState { ... };
//   TextFile* text = DriverStateOf<TextFile>(*call.file);
//   if (text == nullptr) text = &EmplaceDriverState<TextFile>(*call.file, ...);
//
// CLOSE (after the driver has closed the file) destroys it with the rest. A
// state can also end without CLOSE (a declaration going away), so a driver's
// state releases what it still holds (descriptors, locks) in its destructor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "runtime/files/file_descriptor.h"
#include "runtime/files/reading_order.h"
#include "runtime/files/record_layout.h"

namespace vaultrix::files {

class DriverState {
 public:
  virtual ~DriverState() = default;
};

struct KeyComponentInfo {
  std::uint32_t field_index = 0;  // index into RecordLayout::fields
  bool descending = false;
};

struct KeyState {
  KeyBlock* block = nullptr;
  std::string label;
  std::uint32_t attributes = 0;
  std::vector<KeyComponentInfo> components;
};

struct MemoState {
  MemoBlock* block = nullptr;
  std::string label;
  std::uint32_t size = 0;
  std::unique_ptr<char[]> buffer;  // blank-filled; MemoBlock::buffer points here
};

struct FileState {
  FileState() = default;
  FileState(const FileState&) = delete;
  FileState& operator=(const FileState&) = delete;
  ~FileState();  // wipes the owner password and the memo buffers

  std::string name;     // without trailing blanks
  std::string options;  // driver option text
  std::string owner;    // OWNER password; empty = none
  std::uint8_t attributes = 0;
  bool create_allowed = false;
  bool encrypt = false;
  bool oem = false;
  std::uint8_t* record = nullptr;
  std::uint32_t record_size = 0;
  RecordLayout layout;
  std::vector<KeyState> keys;
  std::vector<MemoState> memos;
  std::unique_ptr<DriverState> driver_state;
  ReadingOrder reading_order;  // the last SET or RESET (reading_order.h)
};

// Sets up file.state from the descriptor when it is null (first use).
// Returns 0, or the error code: 47 record size, key or memo count or memo size
// beyond the driver's limits or a record size that disagrees with the
// descriptor; 75 malformed descriptor, too deep nesting, a key component that
// is an array or names no field; 79 a field type the driver does not accept,
// not overlaid; 8 allocation failure. On failure nothing stays allocated and
// file.state stays null.
[[nodiscard]] std::int32_t InitialiseFileState(FileBlock& file);

// Frees file.state (memo buffers included) and sets it back to null.
void ReleaseFileState(FileBlock& file);

template <class T>
[[nodiscard]] T* DriverStateOf(FileBlock& file) {
  if (file.state == nullptr) return nullptr;
  return dynamic_cast<T*>(file.state->driver_state.get());
}

// REQUIRES: file.state is set up (any operation the frame passes to a driver).
template <class T, class... Args>
T& EmplaceDriverState(FileBlock& file, Args&&... args) {
  auto state = std::make_unique<T>(std::forward<Args>(args)...);
  T& result = *state;
  file.state->driver_state = std::move(state);
  return result;
}

}  // namespace vaultrix::files
