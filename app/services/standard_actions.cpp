// Printer set-up and the help document, asked of the display driver through
// the window system.
#include "app/services/standard_actions.h"

#include <mutex>
#include <utility>
#include <vector>

#include "app/services/shared_files.h"
#include "platform/locations.h"
#include "platform/message_box.h"
#include "platform/window_system.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_object.h"

namespace vaultrix::app {
namespace {

std::mutex printer_mutex;
platform::PrintSetupResult chosen_printer;

// The folders the document may be shipped in, most specific first: beside
// the executable and in its help/ folder, then with the other shared files.
std::vector<std::string> HelpFolders() {
  std::vector<std::string> folders;
  const std::string bin = ExecutableFolder();
  if (!bin.empty()) {
    folders.push_back(bin);
    folders.push_back(bin + "/help");
  }
  for (std::string& folder : SharedFileFolders()) folders.push_back(std::move(folder));
  return folders;
}

void SetUpPrinter(windows::EventEngine& engine, const windows::WindowObject& window) {
  const platform::PrintSetupResult result = engine.System().PrintSetup(window.handle);
  if (!result.accepted) return;  // cancelled: the earlier choice stands
  std::lock_guard lock(printer_mutex);
  chosen_printer = result;
}

void OpenHelpContents(windows::EventEngine& engine, const windows::WindowObject& window,
                      const std::string& help_file) {
  if (help_file.empty()) return;
  const std::string document = HelpDocumentPath(help_file);
  if (!document.empty()) {
    (void)engine.System().ShowHelp(document, "");
    return;
  }
  platform::MessageBoxRequest request;
  request.caption = "Help";
  request.text = "The help document for " + help_file + " cannot be found.";
  request.icon = platform::MessageBoxIcon::kExclamation;
  (void)engine.System().MessageBox(window.handle, request);
}

}  // namespace

std::string HelpDocumentPath(const std::string& help_file) {
  // The name as the program gives it may carry a folder of its own.
  std::string name = help_file.substr(help_file.find_last_of("/\\") + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  if (name.empty()) return "";
  name += ".md";
  for (const std::string& folder : HelpFolders()) {
    const std::string path = platform::ResolveNameIgnoringCase(folder, name);
    if (IsRegularFile(path)) return path;
  }
  return "";
}

platform::PrintSetupResult ChosenPrinter() {
  std::lock_guard lock(printer_mutex);
  return chosen_printer;
}

void InstallStandardActions(windows::EventEngine& engine, std::function<std::string()> help_file) {
  engine.SetActionHandler([&engine, help_file = std::move(help_file)](
                              std::int32_t action, windows::WindowObject& window) {
    if (action == windows::rsc::kActionPrintSetup) {
      SetUpPrinter(engine, window);
    } else if (action == windows::rsc::kActionHelpContents) {
      OpenHelpContents(engine, window, help_file ? help_file() : std::string());
    }
  });
}

}  // namespace vaultrix::app
