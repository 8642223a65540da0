// ImportExport_AskPicture: the picture prompt of import and export.
#include "app/program/run.h"
#include "app/services/message.h"
#include "app/services/procedure_window.h"
#include "app/transfer/transfer.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

constexpr int kPictureEntry = 2;
constexpr int kPictureOk = 3;
constexpr int kPictureCancel = 4;

// A picture is refused unless it begins with the at sign. The entry says
// so when it is accepted; "&OK" (which the entry's acceptance precedes) only
// returns to it.
bool PictureValid(const support::FixedString<30>& picture, bool tell = true) {
  if (picture.View().starts_with('@')) return true;
  if (!tell) {
    windows::SelectControl(AppEngine(), kPictureEntry);
    return false;
  }
  platform::MessageBoxRequest request;
  request.caption = "Invalid Picture!";
  request.text = "Pictures must begin with \"@\"";
  request.icon = platform::MessageBoxIcon::kExclamation;
  (void)Message(request);
  windows::SelectControl(AppEngine(), kPictureEntry);
  return false;
}

}  // namespace

std::string ImportExport_AskPicture(std::string_view picture) {
  support::FixedString<30> edited;
  edited = picture;
  std::string answer;
  ProcedureWindow window(windows::WindowKind::kPlainWindow, "VAULTRIX$s_impexp",
                         "IMPORTEXPORT_ASKPICTURE$WINDOW", "ImportExport_AskPicture",
                         {edited.data()});
  window.Open();
  window.Accept([&](int event) {
    if (event != windows::kEventAccepted) return windows::kBodyDefault;
    const int control = window.EventControl();
    if (control == kPictureEntry) {
      (void)PictureValid(edited);
    } else if (control == kPictureOk) {
      if (PictureValid(edited, false)) {
        answer = std::string(edited.Clipped());
        window.PostClose();
      }
    } else if (control == kPictureCancel) {
      window.PostClose();
    }
    return windows::kBodyDefault;
  });
  window.Close();
  return answer;
}

}  // namespace vaultrix::app
