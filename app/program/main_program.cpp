// The main program.
#include "app/program/main_program.h"

#include "app/dictionary/data_dictionary.h"
#include "app/frame/frame.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/dictionary/upgrade_files.h"
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
  if (old_layout) {
    UpgradeFiles();
    // Without the upgrade the frame could only report the old layout as an
    // invalid file; the program ends instead and offers the upgrade again at
    // the next start.
    if (GlobalResponse != kRequestCompleted) return;
  }
  help_file = kHelpFile;
  Main();
}

}  // namespace vaultrix::app
