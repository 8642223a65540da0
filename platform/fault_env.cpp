// The fault-injecting test environment: counted failures, simulated crashes
// and, in power-loss mode, in-memory shadows of files whose unflushed writes
// reach the disk only at a flush or, chosen, at a simulated power loss.
#include "platform/fault_env.h"

#include <stdlib.h>

#include <algorithm>
#include <climits>
#include <random>

#include "platform/file_names.h"

namespace vaultrix::platform {

// A file's contents as this process sees them in power-loss mode.
struct FaultEnv::Shadow {
  std::string path;     // where the file lives on disk now
  std::string content;  // the disk's bytes with every unflushed write applied
};

namespace {

// The name under which all opens of one file share their shadow.
std::string CanonicalName(const std::string& name) {
  std::string resolved = ResolveName(name);
  char buffer[PATH_MAX];
  if (::realpath(resolved.c_str(), buffer) != nullptr) return buffer;
  return resolved;
}

template <typename Plans>
bool TakePlan(Plans& plans, int count, typename Plans::value_type* taken) {
  auto it = std::find_if(plans.begin(), plans.end(), [&](const auto& p) { return p.nth == count; });
  if (it == plans.end()) return false;
  *taken = *it;
  plans.erase(it);
  return true;
}

int ApplyTo(File& file, const PendingWrite& write) {
  if (write.truncate) return file.Truncate(write.offset);
  std::size_t done = 0;
  int error = file.Write(write.offset, write.data.data(), write.data.size(), &done);
  if (error == 0 && done != write.data.size()) error = ENOSPC;
  return error;
}

}  // namespace

class FaultFile final : public File {
 public:
  FaultFile(FaultEnv& env, std::unique_ptr<File> base, std::shared_ptr<FaultEnv::Shadow> shadow)
      : env_(env), base_(std::move(base)), shadow_(std::move(shadow)) {}

  int Read(std::uint64_t offset, void* buffer, std::size_t size, std::size_t* done) override {
    *done = 0;
    std::lock_guard lock(env_.mutex_);
    if (int error = env_.BeforeCallLocked(); error != 0) return error;
    if (!shadow_) return base_->Read(offset, buffer, size, done);
    const std::string& content = shadow_->content;
    if (offset >= content.size()) return 0;
    *done = std::min<std::uint64_t>(size, content.size() - offset);
    std::copy_n(content.data() + offset, *done, static_cast<char*>(buffer));
    return 0;
  }

  int Write(std::uint64_t offset, const void* data, std::size_t size, std::size_t* done) override {
    *done = 0;
    std::lock_guard lock(env_.mutex_);
    std::size_t allowed = 0;
    if (int error = env_.BeforeWriteLocked(size, &allowed); error != 0) return error;
    if (!shadow_) return base_->Write(offset, data, allowed, done);
    std::string& content = shadow_->content;
    if (content.size() < offset + allowed) content.resize(offset + allowed, '\0');
    std::copy_n(static_cast<const char*>(data), allowed, content.data() + offset);
    PendingWrite write{shadow_->path, offset, std::string(static_cast<const char*>(data), allowed)};
    env_.pending_.emplace_back(shadow_, std::move(write));
    *done = allowed;
    return 0;
  }

  int Size(std::uint64_t* size) override {
    *size = 0;
    std::lock_guard lock(env_.mutex_);
    if (int error = env_.BeforeCallLocked(); error != 0) return error;
    if (!shadow_) return base_->Size(size);
    *size = shadow_->content.size();
    return 0;
  }

  int Truncate(std::uint64_t size) override {
    std::lock_guard lock(env_.mutex_);
    if (int error = env_.BeforeCallLocked(); error != 0) return error;
    if (!shadow_) return base_->Truncate(size);
    shadow_->content.resize(size, '\0');
    PendingWrite truncation{shadow_->path, size, {}, true};
    env_.pending_.emplace_back(shadow_, std::move(truncation));
    return 0;
  }

  int Flush(bool data_only) override {
    std::lock_guard lock(env_.mutex_);
    if (int error = env_.BeforeFlushLocked(); error != 0) return error;
    if (shadow_) {
      if (int error = env_.ApplyPendingLocked(*shadow_, *base_); error != 0) return error;
    }
    return base_->Flush(data_only);
  }

  // Lock calls do not hold the Env's mutex while they wait.
  int Lock(std::uint64_t start, std::uint64_t length, LockKind kind, LockWait wait) override {
    if (int error = CheckCall(); error != 0) return error;
    return base_->Lock(start, length, kind, wait);
  }
  int Unlock(std::uint64_t start, std::uint64_t length) override {
    if (int error = CheckCall(); error != 0) return error;
    return base_->Unlock(start, length);
  }
  int TestLock(std::uint64_t start, std::uint64_t length, LockKind kind,
               bool* held_elsewhere) override {
    *held_elsewhere = false;
    if (int error = CheckCall(); error != 0) return error;
    return base_->TestLock(start, length, kind, held_elsewhere);
  }

  // The identity names the storage beneath; a mapped view stays refused,
  // since it would bypass the reads this layer answers.
  int Identity(std::uint64_t* device, std::uint64_t* inode) override {
    *device = *inode = 0;
    if (int error = CheckCall(); error != 0) return error;
    return base_->Identity(device, inode);
  }

  // After a crash the file is still released (as the system would at the
  // process's end), but the call fails like every other.
  int Close() override {
    int stopped_error = CheckCall();
    int error = base_->Close();
    return stopped_error != 0 ? stopped_error : error;
  }

 private:
  int CheckCall() {
    std::lock_guard lock(env_.mutex_);
    return env_.BeforeCallLocked();
  }

  FaultEnv& env_;
  std::unique_ptr<File> base_;
  std::shared_ptr<FaultEnv::Shadow> shadow_;
};

FaultEnv::FaultEnv(Env& base) : base_(base) {}
FaultEnv::~FaultEnv() = default;

void FaultEnv::FailWrite(int nth, int error) {
  std::lock_guard lock(mutex_);
  write_failures_.push_back({nth, error, 0});
}

void FaultEnv::FailFlush(int nth, int error) {
  std::lock_guard lock(mutex_);
  flush_failures_.push_back({nth, error, 0});
}

void FaultEnv::ShortWrite(int nth, std::size_t bytes) {
  std::lock_guard lock(mutex_);
  short_writes_.push_back({nth, 0, bytes});
}

void FaultEnv::StopAtWrite(int nth) {
  std::lock_guard lock(mutex_);
  stop_at_write_ = nth;
}

void FaultEnv::StopAtFlush(int nth) {
  std::lock_guard lock(mutex_);
  stop_at_flush_ = nth;
}

void FaultEnv::Stop() {
  std::lock_guard lock(mutex_);
  StopLocked();
}

void FaultEnv::EnablePowerLoss() {
  std::lock_guard lock(mutex_);
  power_loss_ = true;
}

void FaultEnv::SetCrashSubset(CrashSubset subset) {
  std::lock_guard lock(mutex_);
  crash_subset_ = std::move(subset);
}

void FaultEnv::Crash(const CrashSubset& subset) {
  std::lock_guard lock(mutex_);
  CrashLocked(subset);
}

CrashSubset FaultEnv::KeepAll() {
  return [](const PendingWrite&, std::size_t) { return true; };
}

CrashSubset FaultEnv::KeepNone() {
  return [](const PendingWrite&, std::size_t) { return false; };
}

CrashSubset FaultEnv::KeepRandom(std::uint32_t seed) {
  auto engine = std::make_shared<std::mt19937>(seed);
  return [engine](const PendingWrite&, std::size_t) { return ((*engine)() & 1) != 0; };
}

bool FaultEnv::stopped() const {
  std::lock_guard lock(mutex_);
  return stopped_;
}

int FaultEnv::writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

int FaultEnv::flushes() const {
  std::lock_guard lock(mutex_);
  return flushes_;
}

std::vector<PendingWrite> FaultEnv::PendingWrites() const {
  std::lock_guard lock(mutex_);
  std::vector<PendingWrite> result;
  for (const auto& [shadow, write] : pending_) result.push_back(write);
  return result;
}

int FaultEnv::OpenFile(const std::string& name, OpenMode mode, std::unique_ptr<File>* file) {
  file->reset();
  std::lock_guard lock(mutex_);
  if (int error = BeforeCallLocked(); error != 0) return error;
  std::unique_ptr<File> base;
  if (int error = base_.OpenFile(name, mode, &base); error != 0) return error;
  std::string path = CanonicalName(name);
  if (power_loss_ && mode == OpenMode::kCreateEmpty) {
    // Another open may hold unflushed writes of the old contents.
    auto it = shadows_.find(path);
    if (it != shadows_.end() && !it->second->content.empty()) {
      it->second->content.clear();
      pending_.emplace_back(it->second, PendingWrite{path, 0, {}, true});
    }
  }
  return WrapFile(path, std::move(base), file);
}

int FaultEnv::CreateTempFile(std::string* name, std::unique_ptr<File>* file) {
  file->reset();
  std::lock_guard lock(mutex_);
  if (int error = BeforeCallLocked(); error != 0) return error;
  std::unique_ptr<File> base;
  if (int error = base_.CreateTempFile(name, &base); error != 0) return error;
  return WrapFile(CanonicalName(*name), std::move(base), file);
}

// REQUIRES: mutex_ is held.
int FaultEnv::WrapFile(const std::string& path, std::unique_ptr<File> base,
                       std::unique_ptr<File>* file) {
  std::shared_ptr<Shadow> shadow;
  if (power_loss_) {
    int error = 0;
    shadow = ShadowLocked(path, *base, &error);
    if (error != 0) return error;
  }
  *file = std::make_unique<FaultFile>(*this, std::move(base), std::move(shadow));
  return 0;
}

int FaultEnv::Remove(const std::string& name) {
  std::lock_guard lock(mutex_);
  if (int error = BeforeCallLocked(); error != 0) return error;
  std::string path = CanonicalName(name);
  if (int error = base_.Remove(name); error != 0) return error;
  auto it = shadows_.find(path);
  if (it != shadows_.end()) {
    std::erase_if(pending_, [&](const auto& entry) { return entry.first == it->second; });
    shadows_.erase(it);
  }
  return 0;
}

int FaultEnv::Rename(const std::string& from, const std::string& to, bool replace) {
  std::lock_guard lock(mutex_);
  if (int error = BeforeCallLocked(); error != 0) return error;
  std::string old_path = CanonicalName(from);
  if (int error = base_.Rename(from, to, replace); error != 0) return error;
  std::string new_path = CanonicalName(to);
  if (auto replaced = shadows_.find(new_path); replaced != shadows_.end()) {
    std::erase_if(pending_, [&](const auto& entry) { return entry.first == replaced->second; });
    shadows_.erase(replaced);
  }
  if (auto moved = shadows_.find(old_path); moved != shadows_.end()) {
    std::shared_ptr<Shadow> shadow = moved->second;
    shadows_.erase(moved);
    shadow->path = new_path;
    for (auto& [owner, write] : pending_) {
      if (owner == shadow) write.name = new_path;
    }
    shadows_[new_path] = shadow;
  }
  return 0;
}

bool FaultEnv::Exists(const std::string& name) {
  std::lock_guard lock(mutex_);
  return !stopped_ && base_.Exists(name);
}

int FaultEnv::BeforeCallLocked() const {
  return stopped_ ? EIO : 0;
}

int FaultEnv::BeforeWriteLocked(std::size_t size, std::size_t* allowed) {
  *allowed = 0;
  if (stopped_) return EIO;
  ++writes_;
  if (writes_ == stop_at_write_) {
    StopLocked();
    return EIO;
  }
  Plan plan;
  if (TakePlan(write_failures_, writes_, &plan)) return plan.error;
  *allowed = size;
  if (TakePlan(short_writes_, writes_, &plan)) *allowed = std::min(size, plan.bytes);
  return 0;
}

int FaultEnv::BeforeFlushLocked() {
  if (stopped_) return EIO;
  ++flushes_;
  if (flushes_ == stop_at_flush_) {
    StopLocked();
    return EIO;
  }
  Plan plan;
  if (TakePlan(flush_failures_, flushes_, &plan)) return plan.error;
  return 0;
}

std::shared_ptr<FaultEnv::Shadow> FaultEnv::ShadowLocked(const std::string& path, File& base,
                                                         int* error) {
  *error = 0;
  auto it = shadows_.find(path);
  if (it != shadows_.end()) return it->second;
  auto shadow = std::make_shared<Shadow>();
  shadow->path = path;
  std::uint64_t size = 0;
  if ((*error = base.Size(&size)) != 0) return nullptr;
  shadow->content.resize(size);
  std::size_t done = 0;
  if ((*error = base.Read(0, shadow->content.data(), size, &done)) != 0) return nullptr;
  shadow->content.resize(done);
  shadows_[path] = shadow;
  return shadow;
}

int FaultEnv::ApplyPendingLocked(Shadow& shadow, File& base) {
  int first_error = 0;
  std::erase_if(pending_, [&](const auto& entry) {
    if (entry.first.get() != &shadow) return false;
    int error = ApplyTo(base, entry.second);
    if (first_error == 0) first_error = error;
    return true;
  });
  return first_error;
}

void FaultEnv::StopLocked() {
  if (power_loss_) {
    CrashLocked(crash_subset_ ? crash_subset_ : KeepNone());
  }
  stopped_ = true;
}

void FaultEnv::CrashLocked(const CrashSubset& subset) {
  std::map<Shadow*, std::unique_ptr<File>> files;
  for (std::size_t i = 0; i < pending_.size(); ++i) {
    auto& [shadow, write] = pending_[i];
    if (!subset(write, i)) continue;
    auto& file = files[shadow.get()];
    if (!file && base_.OpenFile(shadow->path, OpenMode::kReadWrite, &file) != 0) continue;
    (void)ApplyTo(*file, write);
  }
  for (auto& [shadow, file] : files) {
    if (file) (void)file->Close();
  }
  pending_.clear();
  shadows_.clear();
  stopped_ = true;
}

}  // namespace vaultrix::platform
