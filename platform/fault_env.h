// A test environment that sits on another Env (normally the real one) and
// fails chosen calls, to reach the error and crash paths of the file drivers.
//
//   FaultEnv env;                    // over SystemEnv()
//   ScopedEnv use(env);              // the runtime now opens files through it
//   env.FailWrite(3, ENOSPC);        // the 3rd write answers ENOSPC, later ones work
//   env.StopAtFlush(2);              // "crash" at the 2nd flush: it and every
//                                    // later call answer EIO, nothing more
//                                    // reaches the disk
//
// Counts are 1-based and run over every file opened through this Env.
//
// Power-loss mode (EnablePowerLoss, before files are opened) keeps every write
// and truncation in memory until the file is flushed; reads see them. A
// simulated power loss (Crash, or a Stop... point) then applies a chosen
// subset of the unflushed writes, in their order, and stops the Env. It holds
// whole files in memory: meant for the small files of tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/env.h"

namespace vaultrix::platform {

class FaultFile;

// A write (or a truncation) that has not been flushed yet.
struct PendingWrite {
  std::string name;          // the file's path
  std::uint64_t offset = 0;  // a write's offset, or a truncation's new size
  std::string data;          // a write's bytes
  bool truncate = false;
};

// Decides, at a simulated power loss, whether the pending write with this
// index (in the order of all pending writes) reaches the disk.
using CrashSubset = std::function<bool(const PendingWrite& write, std::size_t index)>;

class FaultEnv final : public Env {
 public:
  explicit FaultEnv(Env& base = SystemEnv());
  ~FaultEnv() override;
  FaultEnv(const FaultEnv&) = delete;
  FaultEnv& operator=(const FaultEnv&) = delete;

  // The nth write (or flush) answers `error` and changes nothing.
  void FailWrite(int nth, int error);
  void FailFlush(int nth, int error);
  // The nth write writes only its first `bytes` bytes and answers success.
  void ShortWrite(int nth, std::size_t bytes);
  // A simulated crash at the nth write (or flush): that call and every later
  // call of any kind answer EIO; the call itself writes nothing.
  void StopAtWrite(int nth);
  void StopAtFlush(int nth);
  // A simulated crash now.
  void Stop();

  void EnablePowerLoss();
  // The subset applied when a Stop... point is reached in power-loss mode;
  // none unless set.
  void SetCrashSubset(CrashSubset subset);
  // A simulated power loss now: applies the chosen pending writes, drops the
  // rest, and stops the Env.
  void Crash(const CrashSubset& subset);
  static CrashSubset KeepAll();
  static CrashSubset KeepNone();
  static CrashSubset KeepRandom(std::uint32_t seed);

  [[nodiscard]] bool stopped() const;
  [[nodiscard]] int writes() const;   // write calls seen so far
  [[nodiscard]] int flushes() const;  // flush calls seen so far
  [[nodiscard]] std::vector<PendingWrite> PendingWrites() const;

  int OpenFile(const std::string& name, OpenMode mode, std::unique_ptr<File>* file) override;
  int CreateTempFile(std::string* name, std::unique_ptr<File>* file) override;
  int Remove(const std::string& name) override;
  int Rename(const std::string& from, const std::string& to, bool replace) override;
  bool Exists(const std::string& name) override;

 private:
  friend class FaultFile;
  struct Shadow;
  struct Plan {
    int nth = 0;
    int error = 0;
    std::size_t bytes = 0;
  };
  // REQUIRES: mutex_ is held, for all of these.
  int BeforeCallLocked() const;  // EIO once stopped
  int BeforeWriteLocked(std::size_t size, std::size_t* allowed);
  int BeforeFlushLocked();
  std::shared_ptr<Shadow> ShadowLocked(const std::string& path, File& base, int* error);
  int ApplyPendingLocked(Shadow& shadow, File& base);
  void StopLocked();
  void CrashLocked(const CrashSubset& subset);
  int WrapFile(const std::string& path, std::unique_ptr<File> base, std::unique_ptr<File>* file);

  Env& base_;
  mutable std::mutex mutex_;
  bool stopped_ = false;
  bool power_loss_ = false;
  int writes_ = 0;
  int flushes_ = 0;
  std::vector<Plan> write_failures_;
  std::vector<Plan> flush_failures_;
  std::vector<Plan> short_writes_;
  int stop_at_write_ = 0;
  int stop_at_flush_ = 0;
  CrashSubset crash_subset_;
  std::map<std::string, std::shared_ptr<Shadow>> shadows_;
  std::vector<std::pair<std::shared_ptr<Shadow>, PendingWrite>> pending_;  // in write order
};

}  // namespace vaultrix::platform
