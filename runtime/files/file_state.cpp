// Setting up a file's state at its first operation, and releasing it.
#include "runtime/files/file_state.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/files/driver.h"
#include "runtime/files/file_state_testing.h"
#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

int allocations_until_failure = -1;

// Every allocation of the set-up passes here first, so tests can make the
// n-th one fail.
void CountAllocation() {
  if (allocations_until_failure < 0) return;
  if (allocations_until_failure-- == 0) throw std::bad_alloc();
}

void Wipe(void* data, std::size_t size) {
  if (data != nullptr && size > 0) explicit_bzero(data, size);
}

std::string TrimmedName(TextRef name) {
  std::string_view text = name.View();
  const std::size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return std::string(text);
}

std::int32_t CheckFieldTypes(const DriverRegistration& driver, const RecordLayout& layout) {
  for (const FieldInfo& field : layout.fields) {
    if (!field.overlay && !AcceptsFieldType(driver, field.type)) {
      return support::kUnsupportedDataTypeInFile;
    }
  }
  return support::kNoError;
}

std::int32_t SetUpKeys(const FileBlock& file, FileState& state) {
  if (file.key_count > file.driver->limits.max_keys) return support::kInvalidRecordDeclaration;
  if (file.key_count > 0 && file.keys == nullptr) return support::kInvalidFieldTypeDescriptor;
  for (std::uint32_t i = 0; i < file.key_count; ++i) {
    KeyBlock* block = file.keys[i];
    if (block == nullptr) return support::kInvalidFieldTypeDescriptor;
    // A run-time index may be declared without components: they are given
    // as text when it is built.
    const bool runtime_index = (block->attributes & kKeyRuntimeIndex) != 0;
    if (block->component_count > 0 ? block->components == nullptr : !runtime_index) {
      return support::kInvalidFieldTypeDescriptor;
    }
    CountAllocation();
    KeyState key;
    key.block = block;
    key.label = std::string(block->label.View());
    key.attributes = block->attributes;
    for (std::uint8_t c = 0; c < block->component_count; ++c) {
      const std::int64_t number = block->components[c];
      const std::int64_t field = number < 0 ? -number : number;
      if (field == 0 || field > static_cast<std::int64_t>(state.layout.fields.size())) {
        return support::kInvalidFieldTypeDescriptor;
      }
      const auto index = static_cast<std::uint32_t>(field - 1);
      if (state.layout.fields[index].element_count >= 2) {
        return support::kInvalidFieldTypeDescriptor;
      }
      key.components.push_back({index, number < 0});
    }
    state.keys.push_back(std::move(key));
  }
  return support::kNoError;
}

std::int32_t SetUpMemos(const FileBlock& file, FileState& state) {
  const DriverLimits& limits = file.driver->limits;
  if (file.memo_count > limits.max_memos) return support::kInvalidRecordDeclaration;
  if (file.memo_count > 0 && file.memos == nullptr) return support::kInvalidFieldTypeDescriptor;
  for (std::uint32_t i = 0; i < file.memo_count; ++i) {
    MemoBlock* block = file.memos[i];
    if (block == nullptr) return support::kInvalidFieldTypeDescriptor;
    if (block->size > limits.max_memo_size) return support::kInvalidRecordDeclaration;
    CountAllocation();
    MemoState memo;
    memo.block = block;
    memo.label = std::string(block->label.View());
    memo.size = block->size;
    memo.buffer = std::make_unique<char[]>(block->size + 1);
    std::memset(memo.buffer.get(), ' ', block->size);
    memo.buffer[block->size] = '\0';
    state.memos.push_back(std::move(memo));
    block->buffer = state.memos.back().buffer.get();
  }
  return support::kNoError;
}

std::int32_t SetUp(FileBlock& file, FileState& state) {
  state.name = TrimmedName(file.name);
  state.options = std::string(file.options.View());
  state.owner = std::string(file.owner.View());
  state.attributes = file.attributes;
  state.create_allowed = (file.attributes & kFileAttributeCreate) != 0;
  state.encrypt = (file.attributes & kFileAttributeEncrypt) != 0;
  state.oem = (file.attributes & kFileAttributeOem) != 0;
  state.record = file.record;
  state.record_size = file.record_size;

  if (file.layout == nullptr) return support::kInvalidFieldTypeDescriptor;
  CountAllocation();
  std::int32_t code = ParseRecordLayout(file.layout, file.layout + file.layout_size, &state.layout);
  if (code != support::kNoError) return code;
  if (state.layout.record_size != file.record_size) return support::kInvalidRecordDeclaration;
  if ((code = CheckFieldTypes(*file.driver, state.layout)) != support::kNoError) return code;
  if ((code = SetUpKeys(file, state)) != support::kNoError) return code;
  return SetUpMemos(file, state);
}

}  // namespace

FileState::~FileState() {
  for (MemoState& memo : memos) {
    Wipe(memo.buffer.get(), memo.size);
    if (memo.block != nullptr && memo.block->buffer == memo.buffer.get()) {
      memo.block->buffer = nullptr;
    }
  }
  Wipe(owner.data(), owner.size());
}

std::int32_t InitialiseFileState(FileBlock& file) {
  if (file.state != nullptr) return support::kNoError;
  if (file.driver == nullptr) return support::kUnsupportedFileDriverFunction;
  if (file.record_size > file.driver->limits.max_record_size) {
    return support::kInvalidRecordDeclaration;
  }
  try {
    CountAllocation();
    auto state = std::make_unique<FileState>();
    const std::int32_t code = SetUp(file, *state);
    if (code != support::kNoError) return code;
    file.state = state.release();
    return support::kNoError;
  } catch (const std::bad_alloc&) {
    return support::kInsufficientMemory;
  }
}

void ReleaseFileState(FileBlock& file) {
  delete file.state;
  file.state = nullptr;
}

namespace testing {

void FailStateAllocationAfter(int allocations) {
  allocations_until_failure = allocations;
}

}  // namespace testing
}  // namespace vaultrix::files
