// Counters shared by every process of the machine that can open them: a
// board of 64-bit counters in shared memory ("/vaultrix-counters", mode
// 0600), mapped once per process and never removed. A counter is picked by a
// file's identity, so the stations of one file meet at the same counter;
// files whose identities collide share one, which only makes it move more
// often. A counter only ever grows, and nothing is kept in it that a crash
// could leave wrong: the file drivers use it as a signal that something may
// have changed, never as the state itself.
#pragma once

#include <atomic>
#include <cstdint>

namespace vaultrix::platform {

// The counter for the file with this device and inode, or nullptr when the
// board cannot be had (no shared memory, or a board another user owns).
[[nodiscard]] std::atomic<std::uint64_t>* SharedCounterFor(std::uint64_t device,
                                                           std::uint64_t inode);

}  // namespace vaultrix::platform
