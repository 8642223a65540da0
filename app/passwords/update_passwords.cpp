// The password form.
#include "app/passwords/update_passwords.h"

#include <string.h>

#include <algorithm>
#include <optional>
#include <string>

#include "app/dictionary/data_dictionary.h"
#include "app/options/options.h"
#include "app/passwords/generate_password.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/services/record_procedures.h"
#include "app/services/standard_warnings.h"
#include "platform/window_messages.h"
#include "runtime/files/file_api.h"
#include "runtime/support/dates.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/times.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/key_table.h"
#include "runtime/windows/picture.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/use_variable.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

using windows::ControlObject;

// The fields followed by a paste and a copy button.
constexpr int kFieldsWithButtons[] = {kFormService, kFormPassword, kFormUrl,
                                      kFormName,    kFormNotes,    kFormMoreNotes};

bool HasButtons(int control) {
  return std::find(std::begin(kFieldsWithButtons), std::end(kFieldsWithButtons), control) !=
         std::end(kFieldsWithButtons);
}

std::string Formatted(std::int64_t value, std::string_view picture_text) {
  windows::Picture picture;
  if (!windows::CompilePicture(picture_text, picture)) return {};
  return windows::FormatValue(windows::PictureValue::Long(value), picture).str();
}

std::string Clipped(std::string_view text) { return std::string(support::CLIP(text)); }

void WipeText(std::string& text) {
  explicit_bzero(text.data(), text.size());
  text.clear();
}

class PasswordForm {
 public:
  explicit PasswordForm(std::int32_t request) : request_(request), passwords_(Passwords()) {}

  ~PasswordForm() {
    explicit_bzero(&saved_, sizeof saved_);
    WipeText(saved_notes_);
    WipeText(saved_more_notes_);
  }

  std::int32_t Run() {
    windows::EventEngine& engine = AppEngine();
    // A right click that opened the form must not act inside it.
    if (windows::KeyCode(engine) == platform::kVkRButton) windows::SetKeyCode(engine, 0);
    KeepCopy();
    if (request_ == kDeleteRecord) {
      Delete();
      return response_;
    }
    if (request_ != kInsertRecord && request_ != kChangeRecord) return response_;
    if (request_ == kInsertRecord) PrimeNewEntry();
    OpenWindow();
    window_->Accept([this](int event) { return OnEvent(event); });
    window_->Close();
    return response_;
  }

 private:
  std::span<char> Notes() { return Passwords().MemoText(kMemoNotes); }
  std::span<char> MoreNotes() { return Passwords().MemoText(kMemoMoreNotes); }

  void KeepCopy() {
    saved_ = P_;
    saved_notes_.assign(support::AsText(Notes()));
    saved_more_notes_.assign(support::AsText(MoreNotes()));
  }

  // The browser has cleared the record and set its user; the entry gets the
  // current user and the moment it was added, whatever its more notes held.
  void PrimeNewEntry() {
    P_ = saved_;
    support::AssignFixed(Notes(), saved_notes_);
    P_.User = U_.Name.View();
    support::AssignFixed(MoreNotes(), AddedText(support::TODAY(), support::CLOCK()));
    KeepCopy();
  }

  void Delete() {
    if (ShowWarning(32) != kButtonOk) return;
    while (DeletePasswordRecord() != 0) {
      if (ShowWarning(18) != kButtonYes) return;
    }
    response_ = kRequestCompleted;
  }

  void OpenWindow() {
    window_.emplace(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx007",
                    "UPDATEPASSWORDS$QUICKWINDOW", "UpdatePasswords",
                    std::initializer_list<void*>{&P_.Service, &P_.URL, &P_.Name, &P_.Password,
                                                 &P_.ConfirmPassword, Notes().data(),
                                                 MoreNotes().data(), &ClipboardDisplay});
    window_->Open();
    ClipboardDisplay = ClipboardText();
    window_->Set(0, windows::kPropText,
                 request_ == kInsertRecord ? kInsertCaption : kChangeCaption);
  }

  int OnEvent(int event) {
    const int control = window_->EventControl();
    if (event != windows::kEventTimer && control != kFormClipboard &&
        Focus() != Handle(kFormClipboard)) {
      ClipboardDisplay = ClipboardText();
      window_->Display(kFormClipboard);
    }
    FollowOptions();
    switch (event) {
      case windows::kEventOpenWindow:
        windows::SelectControl(AppEngine(), kFormService);
        if (first_open_) Redisplay();
        first_open_ = false;
        break;
      case windows::kEventGainFocus:
      case windows::kEventSized: Redisplay(); break;
      case windows::kEventRejected:
        if (ControlObject* rejected = Control(control)) {
          windows::DisplayControl(AppEngine(), *rejected);
          windows::SelectControl(AppEngine(), control);
        }
        break;
      case windows::kEventAlertKey:
        if ((windows::KeyCode(AppEngine()) & 0x7FF) == platform::kVkTab) TabFrom(control);
        break;
      case windows::kEventAccepted: OnAccepted(control); break;
      case windows::kEventCompleted: Save(); break;
      default: break;
    }
    return windows::kBodyDefault;
  }

  // HideClipboard hides the clipboard display at once; with SkipCopyButtons
  // the form moves the focus on Tab itself, past the copy and paste buttons.
  void FollowOptions() {
    const char* hide = HideClipboard != 0 ? "1" : "";
    window_->Set(kFormClipboardPrompt, windows::kPropHide, hide);
    window_->Set(kFormClipboard, windows::kPropHide, hide);
    windows::WindowObject& window = window_->Object();
    const bool claimed = !window.alert_keys.empty();
    if (claimed == (SkipCopyButtons != 0)) return;
    if (SkipCopyButtons != 0) {
      window.alert_keys.assign(1, platform::kVkTab);
    } else {
      window.alert_keys.clear();
    }
    windows::PublishClaimedKeys(AppEngine(), window);
  }

  void OnAccepted(int control) {
    if (window_->Object().accept_all) return;  // the walk of "&OK" only collects values
    if (HasButtons(control - 1)) {
      Paste(control - 1);
    } else if (HasButtons(control - 2)) {
      AppEngine().System().SetClipboardTextFromProgram(Clipped(window_->Get(control - 2, windows::kPropText)));
    } else if (control == kFormGenerate) {
      GeneratePassword();
      Redisplay();
    } else if (control == kFormClipboard) {
      AppEngine().System().SetClipboardTextFromProgram(Clipped(ClipboardDisplay.View()));
    } else if (control == kFormOk) {
      Confirm();
    } else if (control == kFormCancel) {
      response_ = kRequestCancelled;
      window_->PostClose();
    }
  }

  void Paste(int field) {
    ControlObject* target = Control(field);
    if (target == nullptr) return;
    std::string text = ClipboardText();
    (void)windows::StoreUseText(*target, text, /*cut=*/true);
    WipeText(text);
    windows::DisplayControl(AppEngine(), *target);
  }

  void Confirm() {
    TakeTypedText(kFormPassword);
    TakeTypedText(kFormConfirm);
    if (!(P_.Password == P_.ConfirmPassword)) {
      platform::MessageBoxRequest request;
      request.caption = kMismatchCaption;
      request.text = kMismatchText;
      request.icon = platform::MessageBoxIcon::kExclamation;
      (void)Message(request);
      windows::SelectControl(AppEngine(), kFormOk);
      return;
    }
    windows::StartAcceptAll(window_->Object());
  }

  void Save() {
    if (request_ == kInsertRecord) {
      Insert();
    } else {
      Change();
    }
  }

  void Insert() {
    files::Add(Passwords().Block());
    const std::int32_t error = support::ErrorCode();
    if (error == 0) {
      Completed();
      return;
    }
    RememberFileError();  // asking the keys below posts errors of its own
    if (error == support::kCreatesDuplicateKey &&
        files::Duplicate(Passwords().Key(kKeyService))) {
      ShowWarning(24, "Service");
    } else if (error == support::kCreatesDuplicateKey &&
               files::Duplicate(Passwords().Key(kKeyName))) {
      ShowWarning(24, "Name");
    } else {
      ShowWarning(14);
    }
    windows::SelectControl(AppEngine(), kFormService);
  }

  void Change() {
    while (UpdatePasswordRecord() != 0) {
      const std::int32_t answer = ShowWarning(16);
      if (answer == kButtonYes) continue;
      if (answer == kButtonNo) {
        response_ = kRequestCancelled;
        window_->PostClose();
      } else {
        Redisplay();
        windows::SelectControl(AppEngine(), kFormService);
      }
      return;
    }
    Completed();
  }

  void Completed() {
    response_ = kRequestCompleted;
    window_->PostClose();
  }

  // What the user typed into a field and has not yet left.
  void TakeTypedText(int number) {
    ControlObject* field = Control(number);
    if (field == nullptr || !windows::TakesTypedText(*field)) return;
    if (AppEngine().System().GetText(field->handle) == field->shown_text) return;
    if (windows::TypedTextAcceptable(AppEngine(), *field)) windows::AcceptTypedText(AppEngine(), *field);
  }

  // Tab with SkipCopyButtons: from a field with buttons to the third control
  // after it (the next prompt, which hands the focus on), else to the next.
  void TabFrom(int control) {
    int target = HasButtons(control) ? control + 3 : control + 1;
    const int last = kFormCancel;
    for (int tries = 0; tries < last; ++tries, ++target) {
      if (target > last) target = 1;
      if (TakesFocus(target)) {
        windows::SelectControl(AppEngine(), target);
        return;
      }
    }
  }

  bool TakesFocus(int number) {
    const ControlObject* control = Control(number);
    if (control == nullptr) return false;
    if (number == kFormClipboard && HideClipboard != 0) return false;
    return control->type == windows::rsc::kEntry || control->type == windows::rsc::kTextBox ||
           control->type == windows::rsc::kButton;
  }

  void Redisplay() {
    if (window_->Object().accept_all) return;
    for (const auto& control : window_->Object().controls) {
      windows::DisplayControl(AppEngine(), *control);
    }
  }

  ControlObject* Control(int number) { return window_->Object().FindControl(number); }
  platform::WindowHandle Handle(int number) {
    const ControlObject* control = Control(number);
    return control == nullptr ? platform::kNoWindow : control->handle;
  }
  platform::WindowHandle Focus() { return AppEngine().System().GetFocus(); }
  std::string ClipboardText() { return AppEngine().System().GetClipboardText().value_or(""); }

  std::int32_t request_;
  std::int32_t response_ = kRequestCancelled;
  FileUse passwords_;
  PasswordRecord saved_;
  std::string saved_notes_;
  std::string saved_more_notes_;
  std::optional<ProcedureWindow> window_;
  bool first_open_ = true;
};

}  // namespace

std::string AddedText(std::int32_t date, std::int32_t clock) {
  std::string time = Formatted(clock, "@t3");
  time.erase(0, time.find_first_not_of(' ') == std::string::npos ? time.size()
                                                                  : time.find_first_not_of(' '));
  return "Added " + Formatted(date, "@d4") + "  " + time;
}

void UpdatePasswords() {
  const std::int32_t request = TakeRequest();
  std::int32_t response = kRequestCancelled;
  {
    PasswordForm form(request);
    response = form.Run();
  }
  LeaveResponse(response);
}

}  // namespace vaultrix::app
