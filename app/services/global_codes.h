// The request and response codes through which one procedure asks another,
// on the same thread, to insert, change, delete or select a record, and
// learns how it ended. The caller sets the request immediately before the
// call; the callee copies it into a local of its own and clears it at once,
// clears the response on entry and leaves its own on exit (cancelled when it
// set none).
#pragma once

#include <cstdint>

namespace vaultrix::app {

inline constexpr std::int32_t kInsertRecord = 1;
inline constexpr std::int32_t kChangeRecord = 2;
inline constexpr std::int32_t kDeleteRecord = 3;
inline constexpr std::int32_t kSelectRecord = 4;

inline constexpr std::int32_t kRequestCompleted = 1;
inline constexpr std::int32_t kRequestCancelled = 2;

// Shared by all threads; used only for calls on one thread.
extern std::int32_t GlobalRequest;
extern std::int32_t GlobalResponse;

// What a called procedure does on entry: takes the request (clearing the
// global) and clears the response.
[[nodiscard]] std::int32_t TakeRequest();

// What a called procedure does on exit: leaves its response, or cancelled
// when it set none (0).
void LeaveResponse(std::int32_t local_response);

}  // namespace vaultrix::app
