// The main program.
#include "app/main_program.h"

#include "app/data_dictionary.h"
#include "app/frame.h"
#include "app/open_data_file.h"
#include "app/upgrade_files.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"

namespace vaultrix::app {
namespace {

std::string help_file;

}  // namespace

const std::string& HelpFileName() {
  return help_file;
}

void MainProgram() {
  DataFile& passwords = Passwords();
  files::Open(passwords.Block(), kDataFileAccess);
  const bool old_layout = support::ErrorCode() == support::kInvalidRecordDeclaration;
  files::Close(passwords.Block());
  support::ClearError();
  if (old_layout) UpgradeFiles();
  help_file = kHelpFile;
  Main();
}

}  // namespace vaultrix::app
