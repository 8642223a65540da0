// The file operations as procedures call them. Each is one Dispatch
// (dispatch.h): the outcome is in ERRORCODE, ERROR and ERRORFILE
// (runtime/support/error_state.h), which the caller tests after every call.
// None throws.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/files/file_descriptor.h"

namespace vaultrix::files {

void Open(FileBlock& file, std::int32_t access_mode = kDefaultOpenMode);
void Share(FileBlock& file, std::int32_t access_mode = kDefaultShareMode);
void Create(FileBlock& file);
void Close(FileBlock& file);

// SET: order and start point for the next NEXT or PREVIOUS.
void Set(FileBlock& file);                        // record order from either end
void Set(FileBlock& file, KeyBlock& key);         // record order from the key value
void Set(FileBlock& file, std::int32_t pointer);  // record order from that record
void Set(KeyBlock& key);                          // key order from either end
void Set(KeyBlock& key, KeyBlock& start_key);     // key order from the key value
void Set(KeyBlock& key, std::int32_t pointer);    // key order from that record
void Set(KeyBlock& key, KeyBlock& start_key, std::int32_t pointer);

void Next(FileBlock& file);
void Previous(FileBlock& file);
void Skip(FileBlock& file, std::int32_t count);

void Add(FileBlock& file);
void Add(FileBlock& file, std::int32_t length);
void Append(FileBlock& file);
void Append(FileBlock& file, std::int32_t length);
void Put(FileBlock& file);
void Put(FileBlock& file, std::int32_t pointer);
void Put(FileBlock& file, std::int32_t pointer, std::int32_t length);
void Delete(FileBlock& file);

void Get(FileBlock& file, KeyBlock& key);
void Get(FileBlock& file, std::int32_t pointer);
void Get(FileBlock& file, std::int32_t pointer, std::int32_t length);
void Get(KeyBlock& key, std::int32_t pointer);

[[nodiscard]] std::string Position(FileBlock& file);
[[nodiscard]] std::string Position(KeyBlock& key);
void Reset(FileBlock& file, std::string_view position);
void Reset(KeyBlock& key, std::string_view position);
void Reget(FileBlock& file, std::string_view position);
void Reget(KeyBlock& key, std::string_view position);

[[nodiscard]] std::int64_t Records(FileBlock& file);
[[nodiscard]] std::int64_t Records(KeyBlock& key);
[[nodiscard]] std::int64_t Bytes(FileBlock& file);
[[nodiscard]] std::int64_t Pointer(FileBlock& file);
[[nodiscard]] std::int64_t Pointer(KeyBlock& key);
[[nodiscard]] bool Bof(FileBlock& file);
[[nodiscard]] bool Eof(FileBlock& file);
[[nodiscard]] bool Duplicate(FileBlock& file);
[[nodiscard]] bool Duplicate(KeyBlock& key);
[[nodiscard]] std::string Name(FileBlock& file);
std::string Send(FileBlock& file, std::string_view text);

void Hold(FileBlock& file);
void Hold(FileBlock& file, std::int32_t seconds);
void Release(FileBlock& file);
void Watch(FileBlock& file);
void NoMemo(FileBlock& file);
void Lock(FileBlock& file);
void Lock(FileBlock& file, std::int32_t seconds);
void Unlock(FileBlock& file);

void Empty(FileBlock& file);
void Remove(FileBlock& file);
void Rename(FileBlock& file, std::string_view new_name);
void Copy(FileBlock& file, std::string_view new_name);
void Build(FileBlock& file);
void Build(KeyBlock& key);
void BuildIndex(KeyBlock& index);
void BuildIndex(KeyBlock& index, std::string_view components);
void Pack(FileBlock& file);
void Flush(FileBlock& file);

// Transaction steps. LOGOUT waits at most `seconds` for another station's
// transaction on the file (32 when it does not end in time); without a time
// limit it does not wait.
void Logout(FileBlock& file);
void Logout(FileBlock& file, std::int32_t seconds);
void Commit(FileBlock& file);
void Rollback(FileBlock& file);

// File properties.
void SetProperty(FileBlock& file, std::int32_t property, std::string_view value);
[[nodiscard]] std::string GetProperty(FileBlock& file, std::int32_t property);

}  // namespace vaultrix::files
