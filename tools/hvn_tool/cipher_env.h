// An Env that enciphers and deciphers every transfer of the files it opens
// with one owner password's cipher context, so that the page file of the
// data-file tool reads and writes owner-protected files as plain ones. All
// page and header transfers are whole 64-byte blocks aligned to offset 0; a
// read that is not is widened to the blocks around it, a write that is not
// is refused with EINVAL (nothing of the page file writes so).
#pragma once

#include <memory>
#include <string>

#include "platform/env.h"
#include "runtime/files/hvn/cipher.h"

namespace vaultrix::tools {

class CipherEnv final : public platform::Env {
 public:
  // `base` must outlive this Env and every file opened through it.
  CipherEnv(platform::Env& base, std::string_view password);

  int OpenFile(const std::string& name, platform::OpenMode mode,
               std::unique_ptr<platform::File>* file) override;
  int CreateTempFile(std::string* name, std::unique_ptr<platform::File>* file) override;
  int Remove(const std::string& name) override { return base_.Remove(name); }
  int Rename(const std::string& from, const std::string& to, bool replace) override {
    return base_.Rename(from, to, replace);
  }
  bool Exists(const std::string& name) override { return base_.Exists(name); }

 private:
  platform::Env& base_;
  std::shared_ptr<const files::CipherContext> context_;
};

}  // namespace vaultrix::tools
