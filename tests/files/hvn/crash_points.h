// Runs one change of a file under every crash the fault seam can make of
// it: stopped at each of its writes, and at each of its flushes, plainly and
// with power losses that keep a random part of the unflushed writes. The
// caller restores the file inside `run` and verifies it after each crash.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "platform/fault_env.h"

namespace vaultrix::files::hvn::testing {

// `writes` and `flushes`: what the change does when nothing fails; `salt`
// varies the power losses from one test to another. Stops at the first
// fatal failure of `verify`.
inline void AtEveryCrashPoint(int writes, int flushes, std::uint32_t salt,
                              const std::function<void(platform::FaultEnv&)>& run,
                              const std::function<void(const std::string&)>& verify) {
  using platform::FaultEnv;
  for (int n = 1; n <= writes; ++n) {
    FaultEnv env;
    env.StopAtWrite(n);
    run(env);
    verify("stop at write " + std::to_string(n));
    if (::testing::Test::HasFatalFailure()) return;
  }
  for (int n = 1; n <= flushes; ++n) {
    for (int seed = 0; seed <= 3; ++seed) {
      FaultEnv env;
      if (seed > 0) {
        env.EnablePowerLoss();
        env.SetCrashSubset(FaultEnv::KeepRandom(static_cast<std::uint32_t>(seed) * salt +
                                                static_cast<std::uint32_t>(n)));
      }
      env.StopAtFlush(n);
      run(env);
      verify("flush " + std::to_string(n) + " seed " + std::to_string(seed));
      if (::testing::Test::HasFatalFailure()) return;
    }
  }
}

}  // namespace vaultrix::files::hvn::testing
