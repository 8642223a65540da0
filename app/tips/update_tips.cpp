// UpdateTips: the tip form. A new tip is numbered before the form opens: the
// highest TIP:TipID + 1 is taken at once by adding a blank tip with it, so
// that two forms never hand out one number. Each "&OK" of an insert stores
// the typed text in that tip and numbers the next one, so several tips can
// be entered one after another; leaving the form removes the blank tip added
// last, so no empty tip stays behind. Change goes through UpdateTipRecord;
// delete never shows the form.
#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/services/record_procedures.h"
#include "app/services/standard_warnings.h"
#include "app/tips/numbering.h"
#include "app/tips/tip_of_day.h"
#include "app/tips/windows.h"
#include "app/tips/tips.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kRecordInsertError = 14;
constexpr std::int32_t kRecordUpdateError = 16;
constexpr std::int32_t kDeleteUpdateError = 18;
constexpr std::int32_t kDuplicateKeyError = 24;
constexpr std::int32_t kConfirmDelete = 32;

std::int32_t DeleteTip() {
  if (ShowWarning(kConfirmDelete) != kButtonOk) return kRequestCancelled;
  while (DeleteTipRecord() != 0) {
    if (ShowWarning(kDeleteUpdateError) != kButtonYes) return kRequestCancelled;
  }
  return kRequestCompleted;
}

class TipForm {
 public:
  explicit TipForm(std::int32_t request)
      : request_(request),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx018", "UPDATETIPS$QUICKWINDOW",
                "UpdateTips", {TipOfTheDay().MemoText(kMemoTipDesc).data()}) {}

  std::int32_t Run() {
    if (request_ == kInsertRecord) {
      blank_ = NumberNewTip();
      if (!blank_) return kRequestCancelled;
    }
    window_.Open();
    window_.Set(0, windows::kPropText, request_ == kInsertRecord ? kAddTipTitle : kChangeTipTitle);
    ShowText();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
    if (request_ == kInsertRecord) LeaveInsert();
    return response_;
  }

 private:
  int OnEvent(int event) {
    const int control = window_.EventControl();
    if (event == windows::kEventAccepted) {
      if (control == kUpdateTipsOk) windows::StartAcceptAll(window_.Object());
      if (control == kUpdateTipsCancel) window_.PostClose();
    } else if (event == windows::kEventCompleted) {
      if (request_ == kInsertRecord) Insert();
      if (request_ == kChangeRecord) Change();
    } else if (event == windows::kEventRejected) {
      windows::DisplayControls(AppEngine(), control, control);
      windows::SelectControl(AppEngine(), control);
    }
    return windows::kBodyDefault;
  }

  void ShowText() { windows::DisplayControls(AppEngine(), kUpdateTipsText, kUpdateTipsText); }

  // Stores the typed text in the tip numbered for it and numbers the next.
  void Insert() {
    files::Put(TipOfTheDay().Block());
    const std::int32_t code = support::ErrorCode();
    if (code != support::kNoError) {
      if (code == support::kCreatesDuplicateKey) {
        (void)ShowWarning(kDuplicateKeyError, kTipKeyName);
      } else {
        (void)ShowWarning(kRecordInsertError);
      }
      windows::SelectControl(AppEngine(), kUpdateTipsText);
      return;
    }
    saved_ = *blank_;
    blank_ = NumberNewTip();
    if (!blank_) {
      window_.PostClose();
      return;
    }
    ShowText();
    windows::SelectControl(AppEngine(), kUpdateTipsText);
  }

  void Change() {
    while (UpdateTipRecord() != 0) {
      const std::int32_t answer = ShowWarning(kRecordUpdateError);
      if (answer == kButtonNo) {
        window_.PostClose();
        return;
      }
      if (answer != kButtonYes) {
        ShowText();
        return;
      }
    }
    response_ = kRequestCompleted;
    window_.PostClose();
  }

  // The blank tip goes; the last tip saved, if any, is read back into the
  // buffer so the list can highlight it.
  void LeaveInsert() {
    if (blank_) RemoveBlankTip(*blank_);
    if (!saved_) return;
    response_ = kRequestCompleted;
    files::Reget(TipOfTheDay().Block(), saved_->position);
    support::ClearError();
  }

  std::int32_t request_;
  std::int32_t response_ = kRequestCancelled;
  ProcedureWindow window_;
  std::optional<NumberedTip> blank_;  // the tip the form is filling
  std::optional<NumberedTip> saved_;  // the last tip it stored
};

}  // namespace

void UpdateTips() {
  const std::int32_t request = TakeRequest();
  std::int32_t response = kRequestCancelled;
  {
    FileUse tips(TipOfTheDay());
    if (request == kDeleteRecord) {
      response = DeleteTip();
    } else if (request == kInsertRecord || request == kChangeRecord) {
      TipForm form(request);
      response = form.Run();
    }
  }
  LeaveResponse(response);
}

}  // namespace vaultrix::app
