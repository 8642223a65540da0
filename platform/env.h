// The environment through which every file, flush and lock call of the runtime
// goes: opening files, and removing, renaming, copying and finding them.
//
// The process uses one current Env (the real one unless a test installs
// another with ScopedEnv). Names that do not exist as written are looked up
// case-insensitively in their directory, component by component, as the
// system was built to expect (platform/file_names.h).
#pragma once

#include <memory>
#include <string>

#include "platform/file.h"

namespace vaultrix::platform {

class Env {
 public:
  virtual ~Env() = default;

  [[nodiscard]] virtual int OpenFile(const std::string& name, OpenMode mode,
                                     std::unique_ptr<File>* file) = 0;
  // Creates a new, empty file with a unique name starting "MOR" in the
  // temporary directory ($TMPDIR, default /tmp), mode 0600.
  [[nodiscard]] virtual int CreateTempFile(std::string* name, std::unique_ptr<File>* file) = 0;
  [[nodiscard]] virtual int Remove(const std::string& name) = 0;
  // With `replace` false an existing target answers EEXIST and stays as it is.
  [[nodiscard]] virtual int Rename(const std::string& from, const std::string& to,
                                   bool replace) = 0;
  [[nodiscard]] virtual bool Exists(const std::string& name) = 0;

  // Copies a file's bytes to `to` (created mode 0600, or emptied and set to
  // 0600). It reads and writes through this Env's own files, so a test Env
  // sees and can fail every part of it. A file copied onto itself answers
  // EINVAL and stays as it is.
  [[nodiscard]] virtual int Copy(const std::string& from, const std::string& to);
};

// The real environment: the operating system's files.
Env& SystemEnv();

// The environment the runtime uses now.
Env& CurrentEnv();

// Installs an Env for the lifetime of this object, then restores the previous
// one. Tests only; the Env must outlive the files opened through it.
class ScopedEnv {
 public:
  explicit ScopedEnv(Env& env);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  Env* previous_;
};

}  // namespace vaultrix::platform
