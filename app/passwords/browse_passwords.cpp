// The password browser: its window, its login, and what its buttons, popup
// and clipboard display do. The list itself is the browse engine's.
#include "app/passwords/browse_passwords.h"

#include <string.h>

#include <charconv>
#include <optional>

#include "app/browse/window.h"
#include "app/browse/password_orders.h"
#include "app/options/options.h"
#include "app/passwords/display_all.h"
#include "app/passwords/update_passwords.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/users/users.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/popup.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

constexpr std::int32_t kRightButton = 2;
constexpr int kMinimumWidth = 200;
constexpr int kMinimumHeight = 100;
constexpr std::string_view kSection = "BrowsePasswords";

// The copy buttons in the popup's order, and what each copies.
constexpr int kCopyButtons[] = {kBrowserCopyName,  kBrowserCopyPassword,  kBrowserCopyUrl,
                                kBrowserCopyNotes, kBrowserCopyMoreNotes, kBrowserCopyService};

int Number(const std::string& text) {
  int value = 0;
  (void)std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The clipboard often holds a password: every copy of its text made here is
// wiped before it is freed.
class ClipboardCopy {
 public:
  ClipboardCopy() : text_(AppEngine().System().GetClipboardText().value_or("")) {}
  explicit ClipboardCopy(std::string text) : text_(std::move(text)) {}
  ~ClipboardCopy() { explicit_bzero(text_.data(), text_.size()); }
  ClipboardCopy(const ClipboardCopy&) = delete;
  ClipboardCopy& operator=(const ClipboardCopy&) = delete;
  [[nodiscard]] std::string_view View() const { return text_; }

 private:
  std::string text_;
};

void SetClipboard(std::string_view text) {
  // The window system keeps its own copy; this one is wiped.
  std::string copy(support::CLIP(text));
  AppEngine().System().SetClipboardTextFromProgram(copy);
  explicit_bzero(copy.data(), copy.size());
}

// The login of a password list: the toolbar's quick user slot names the
// user by record order (his password asked unless he needs none), else the
// user picker chooses. False when nobody was logged in.
bool Login() {
  if (QuickUserSlot != 0) {
    const int slot = QuickUserSlot;
    QuickUserSlot = 0;
    files::Set(Users().Block());
    for (int i = 0; i < slot && support::ErrorCode() == 0; ++i) files::Next(Users().Block());
    if (support::ErrorCode() != 0) {
      support::ClearError();
      U_ = UserRecord{};
      return false;
    }
    if (PasswordNotRequired(U_)) return true;
    GlobalRequest = 0;
    ConfirmPassword();
    if (GlobalResponse == kRequestCompleted) return true;
    U_ = UserRecord{};
    return false;
  }
  return ChooseUser();
}

class PasswordBrowser {
 public:
  PasswordBrowser()
      : window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx003",
                "BROWSEPASSWORDS$QUICKWINDOW", std::string(kSection), {&ClipboardDisplay}) {}

  void Run() {
    BindPasswordOrders(ranges_);
    window_.Open();
    if (!Login()) {
      window_.Close();
      return;
    }
    RestoreListFormat(window_, kBrowserList, kSection);
    BrowseDescription description = PasswordBrowseDescription(ranges_);
    description.choose_order = [this] { return ChosenOrder(); };
    description.list = kBrowserList;
    description.insert_button = kBrowserInsert;
    description.change_button = kBrowserChange;
    description.delete_button = kBrowserDelete;
    description.form = UpdatePasswords;
    surface_.emplace(window_, kBrowserList);
    engine_.emplace(std::move(description), *surface_);
    AttachBrowseList(window_, *engine_, engine_->Description());
    window_.Set(0, windows::kPropAlertKey, std::to_string(kRightButton), 1);
    ShowCaption();
    FollowHideClipboard();
    ShowClipboard();
    window_.Accept([this](int event) {
      OnEvent(event);
      return windows::kBodyDefault;
    });
    SaveListFormat(window_, kBrowserList, kSection);
    engine_.reset();
    window_.Close();
  }

 private:
  // Tab 2 is order 1 (URL), tab 3 order 2 (name), anything else order 3.
  int ChosenOrder() {
    const windows::ControlObject* sheet = window_.Object().FindControl(kBrowserSheet);
    const int tab = sheet == nullptr ? 1 : sheet->chosen;
    if (tab == 2) return kOrderByUrl;
    if (tab == 3) return kOrderByName;
    return kOrderByService;
  }

  void OnEvent(int event) {
    const int control = window_.EventControl();
    const BrowseInput input = CurrentBrowseInput(event);
    // The full popup replaces the engine's short one; the engine still sees
    // the key, to post its selection.
    if (event == windows::kEventAlertKey && (input.key_code & 0xFF) == kRightButton) FullPopup();
    if (!engine_->TakeEvent(input)) {
      if (control == 0) {
        WindowEvent(event);
      } else {
        ControlEvent(event, control);
      }
    }
    if (window_.IsOpen() && event != windows::kEventTimer && control != kBrowserClipboard &&
        !ClipboardSelected()) {
      ShowClipboard();
    }
  }

  void WindowEvent(int event) {
    switch (event) {
      case windows::kEventOpenWindow:
        ShowCaption();
        if (first_open_) engine_->RefreshWindow();
        first_open_ = false;
        windows::SelectControl(AppEngine(), kBrowserList);
        return;
      case windows::kEventGainFocus:
        engine_->ForceRefresh();
        engine_->RefreshWindow();
        return;
      case windows::kEventSized:
        Resize();
        engine_->ForceRefresh();
        engine_->RefreshWindow();
        return;
      default:
        return;
    }
  }

  void ControlEvent(int event, int control) {
    if (event == windows::kEventRejected) {
      window_.Display(control);
      windows::SelectControl(AppEngine(), control);
      return;
    }
    if (event == windows::kEventNewSelection && control == kBrowserSheet) {
      engine_->RefreshWindow();
      return;
    }
    if (event != windows::kEventAccepted || window_.Object().accept_all) return;
    switch (control) {
      case kBrowserOtherUser: DifferentUser(); return;
      case kBrowserClose: window_.PostClose(); return;
      case kBrowserClipboard: SetClipboard(ClipboardDisplay.View()); return;
      default: break;
    }
    if (CopiedField(control)) {
      engine_->GetRecord();
      SetClipboard(*CopiedField(control));
    }
  }

  // The record buffer's field a copy button copies, read when asked.
  static std::optional<std::string_view> CopiedField(int control) {
    switch (control) {
      case kBrowserCopyName: return P_.Name.View();
      case kBrowserCopyPassword: return P_.Password.View();
      case kBrowserCopyUrl: return P_.URL.View();
      case kBrowserCopyNotes: return support::AsText(Passwords().MemoText(kMemoNotes));
      case kBrowserCopyMoreNotes: return support::AsText(Passwords().MemoText(kMemoMoreNotes));
      case kBrowserCopyService: return P_.Service.View();
      default: return std::nullopt;
    }
  }

  void FullPopup() {
    engine_->GetRecord();
    const int choice = windows::Popup(AppEngine(), kBrowserPopup);
    if (choice >= 1 && choice <= 3) Press(kBrowserInsert + choice - 1);
    if (choice >= 4 && choice <= 9) Press(kCopyButtons[choice - 4]);
    if (choice == 10) FilterClipboard();
    if (choice == 11) {
      GlobalRequest = 0;
      DisplayAll();
    }
  }

  void Press(int control) {
    windows::PostEvent(AppEngine(), windows::kEventAccepted, control, window_.Object().thread);
  }

  void FilterClipboard() {
    const ClipboardCopy filtered(FilterBrowserClipboard(ClipboardCopy().View()));
    SetClipboard(filtered.View());
    ShowClipboard();
  }

  void DifferentUser() {
    const UserRecord saved = U_;
    GlobalRequest = kSelectRecord;
    SelectUsers();
    // The list is refreshed once the user is settled: refreshed before the
    // cancelled choice is undone, it would show the entries of nobody.
    if (U_.Name.IsBlank()) {
      U_ = saved;
      files::Get(Users().Block(), Users().Key(kFirstKey));
      if (support::ErrorCode() == support::kRecordNotFound) {
        support::ClearError();
        window_.PostClose();
        return;
      }
      support::ClearError();
    }
    engine_->RefreshWindow();
    ShowCaption();
  }

  void ShowCaption() {
    window_.Set(0, windows::kPropText,
                std::string(kBrowserCaption) + std::string(support::CLIP(U_.Name.View())));
  }

  bool ClipboardSelected() {
    const windows::ControlObject* entry = window_.Object().FindControl(kBrowserClipboard);
    return entry != nullptr && AppEngine().System().GetFocus() == entry->handle;
  }

  void ShowClipboard() {
    ClipboardDisplay = ClipboardCopy().View();
    window_.Display(kBrowserClipboard);
  }

  // The clipboard display takes room only while it is shown.
  void FollowHideClipboard() {
    const bool hidden = !window_.Get(kBrowserClipboard, windows::kPropHide).empty();
    if (hidden == (HideClipboard != 0)) return;
    const int room = Number(window_.Get(kBrowserClipboard, windows::kPropHeight)) + 4;
    const int height = Number(window_.Get(0, windows::kPropHeight));
    const char* hide = HideClipboard != 0 ? "1" : "";
    window_.Set(kBrowserClipboard, windows::kPropHide, hide);
    window_.Set(kBrowserClipboardPrompt, windows::kPropHide, hide);
    window_.Set(0, windows::kPropHeight,
                std::to_string(HideClipboard != 0 ? height - room : height + room));
  }

  // The list and the sheet follow the window's width; the window keeps a
  // usable least size.
  void Resize() {
    int width = Number(window_.Get(0, windows::kPropWidth));
    const int height = Number(window_.Get(0, windows::kPropHeight));
    if (width < kMinimumWidth) {
      width = kMinimumWidth;
      window_.Set(0, windows::kPropWidth, std::to_string(width));
    }
    if (height < kMinimumHeight) window_.Set(0, windows::kPropHeight, std::to_string(kMinimumHeight));
    ResizeControl(kBrowserList, width - 50);
    ResizeControl(kBrowserSheet, width - 9);
  }

  void ResizeControl(int control, int width) {
    const bool visible = window_.Get(control, windows::kPropHide).empty();
    if (visible) window_.Set(control, windows::kPropHide, "1");
    window_.Set(control, windows::kPropWidth, std::to_string(width));
    if (visible) window_.Set(control, windows::kPropHide, "");
  }

  ProcedureWindow window_;
  PasswordRanges ranges_;
  std::optional<BrowseWindowSurface> surface_;
  std::optional<BrowseEngine> engine_;
  bool first_open_ = true;
};

}  // namespace

void BrowsePasswords() {
  (void)TakeRequest();
  {
    FileUse passwords(Passwords());
    FileUse users(Users());
    eval::PUSHSCOPE();
    (void)eval::BindRecord(Users().Block());
    {
      PasswordBrowser browser;
      browser.Run();
    }
    eval::POPSCOPE();
  }
  LeaveResponse(kRequestCancelled);
}

}  // namespace vaultrix::app
