// Files opened through the Env seen through the owner password's cipher.
#include "tools/hvn_tool/cipher_env.h"

#include "runtime/files/hvn/cipher_file.h"

namespace vaultrix::tools {

CipherEnv::CipherEnv(platform::Env& base, std::string_view password)
    : base_(base), context_(files::MakeCipherContext(password)) {}

int CipherEnv::OpenFile(const std::string& name, platform::OpenMode mode,
                        std::unique_ptr<platform::File>* file) {
  std::unique_ptr<platform::File> opened;
  if (int error = base_.OpenFile(name, mode, &opened); error != 0) return error;
  *file = files::MakeCipherFile(std::move(opened), context_);
  return 0;
}

int CipherEnv::CreateTempFile(std::string* name, std::unique_ptr<platform::File>* file) {
  return base_.CreateTempFile(name, file);
}

}  // namespace vaultrix::tools
