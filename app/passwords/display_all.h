// DisplayAll: every field of the Passwords record buffer, read only, with one
// button "&Ok". Leaves the response code: completed after "&Ok", cancelled
// when the window was closed another way.
#pragma once

namespace vaultrix::app {

inline constexpr int kDisplayAllNotes = 12;
inline constexpr int kDisplayAllMoreNotes = 14;
inline constexpr int kDisplayAllOk = 15;

void DisplayAll();

}  // namespace vaultrix::app
