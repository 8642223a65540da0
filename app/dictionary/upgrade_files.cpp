// The upgrade's progress window.
#include "app/dictionary/upgrade_files.h"

#include "app/dictionary/data_dictionary.h"
#include "app/dictionary/file_upgrade.h"
#include "app/services/global_codes.h"
#include "app/services/procedure_window.h"
#include "app/program/run.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/variable.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr const char* kUpgradingFiles = "Upgrading Files";

}  // namespace

void UpgradeFiles() {
  (void)TakeRequest();
  FileUpgrade upgrade;
  std::int32_t percent = 0;
  // No placement is kept for this window: it is seen once.
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx021",
                         "UPGRADEFILES$PROGRESSWINDOW", "", {&percent});
  eval::PUSHSCOPE();
  window.Open();
  window.Set(0, windows::kPropText, kUpgradingFiles);
  window.Set(kUpgradePercentText, windows::kPropText, upgrade.ProgressText());
  window.Set(kUpgradeText, windows::kPropText, kUpgradingFiles);
  auto show_progress = [&] {
    percent = upgrade.Percent();
    if (windows::ControlObject* bar = window.Object().FindControl(kUpgradeProgress)) {
      (void)AppEngine().System().SetValue(bar->handle, percent);
    }
    window.Set(kUpgradePercentText, windows::kPropText, upgrade.ProgressText());
  };
  window.Accept([&](int event) {
    if (event == windows::kEventOpenWindow) {
      upgrade.Start();
      (void)eval::BindRecord(OldPasswords().Block());
      eval::BIND("PO_:Notes", eval::Ref(OldPasswords().Memo(kMemoNotes)));
      eval::BIND("PO_:MoreNotes", eval::Ref(OldPasswords().Memo(kMemoMoreNotes)));
    } else if (event == windows::kEventTimer) {
      upgrade.CopySlice();
    } else if (event == windows::kEventAccepted && window.EventControl() == kUpgradeCancel) {
      upgrade.Cancel();
    } else if (event == windows::kEventCloseWindow) {
      upgrade.Cancel();  // a copy still running does not complete by a close
    }
    if (event == windows::kEventOpenWindow || event == windows::kEventTimer) show_progress();
    if (upgrade.State() == UpgradeState::kCompleted ||
        upgrade.State() == UpgradeState::kCancelled) {
      window.PostClose();
    }
    return windows::kBodyDefault;
  });
  window.Close();
  eval::POPSCOPE();
  LeaveResponse(upgrade.Finish());
}

}  // namespace vaultrix::app
