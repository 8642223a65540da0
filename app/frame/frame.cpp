// The frame: start-up in order, its events and its menus.
#include "app/frame/frame.h"

#include "app/frame/countdown.h"
#include "app/dictionary/data_dictionary.h"
#include "app/frame/procedure.h"
#include "app/frame/timers.h"
#include "app/services/global_codes.h"
#include "app/services/message.h"
#include "app/options/options.h"
#include "app/program/run.h"
#include "app/program/runner.h"
#include "app/options/setup.h"
#include "app/passwords/browse_passwords.h"
#include "app/reports/print_passwords.h"
#include "app/frame/splash.h"
#include "app/tips/tips.h"
#include "app/transfer/transfer.h"
#include "app/users/users.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/variable.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_state.h"
#include "runtime/support/wipe.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

using windows::kEventAccepted;

constexpr std::size_t kSetupStack = 25000;
constexpr std::size_t kBrowseUsersStack = 25000;
constexpr std::size_t kAboutStack = 25000;
constexpr std::size_t kTransferStack = 25000;
constexpr std::size_t kBrowsePasswordsStack = 50000;
// The mouse-button key code that must not reach the frame as a pending key.
constexpr std::int32_t kRightButtonKeyCode = 2;
// Posted to the frame by its message hook for messages answered while the
// runtime lock is not held; the hook turns it into "EVENT:CloseDown" when it
// is dispatched under the lock.
constexpr std::uint32_t kFrameCloseDownMessage = platform::kWmUser + 0x16;
// Reports keep a page of records and a page's recording on their stack.
constexpr std::size_t kReportStack = 64 * 1024;

bool HasRecords(DataFile& file) {
  const std::int64_t records = files::Records(file.Block());
  return support::ErrorCode() == 0 && records > 0;
}

void Bind() {
  (void)eval::BindRecord(PasswordsAlias().Block());
  eval::BIND("PA_:Notes", eval::Ref(PasswordsAlias().Memo(kMemoNotes)));
  eval::BIND("PA_:MoreNotes", eval::Ref(PasswordsAlias().Memo(kMemoMoreNotes)));
  (void)eval::BindRecord(UsersAlias().Block());
}

}  // namespace

FrameProcedure::FrameProcedure()
    : window_(windows::WindowKind::kApplication, "VAULTRIX$vltrx001", "MAIN$APPFRAME", "Main") {}

// The passwords alias and the users file opened raw, only to count: a
// missing file is an empty one (OpenDataFile creates it later).
bool FrameProcedure::VaultConsistent() {
  files::Open(UsersAlias().Block(), kDataFileAccess);
  files::Open(PasswordsAlias().Block(), kDataFileAccess);
  const bool consistent = HasRecords(UsersAlias()) || !HasRecords(PasswordsAlias());
  files::Close(PasswordsAlias().Block());
  if (UsersAlias().OpenCount() == 0) files::Close(UsersAlias().Block());
  support::ClearError();
  return consistent;
}

void FrameProcedure::Run() {
  if (!VaultConsistent()) {
    platform::MessageBoxRequest request;
    request.caption = std::string(kCannotProceedCaption);
    request.text = std::string(kCannotProceedText);
    (void)Message(request);
    return;
  }
  LoadOptions();
  const std::int32_t local_request = TakeRequest();
  (void)local_request;  // the frame is never asked for a record
  windows::RuntimeThread* thread = AppEngine().Thread(AppEngine().CurrentThread());
  if (thread != nullptr && thread->last_key_code == kRightButtonKeyCode) thread->last_key_code = 0;
  passwords_.emplace(PasswordsAlias());
  users_.emplace(UsersAlias());
  ProvideShippedTips();
  eval::PUSHSCOPE();
  Bind();
  window_.Open();
  FillUserButtons();
  InstallMessageHook();
  const std::int32_t period = window_.Object().timer_period;
  if (period < 1 || period > 100) window_.Set(0, windows::kPropTimer, "100");
  ShowDateAndTime();
  window_.Accept([this](int event) { return OnEvent(event); });
  CurrentRun().CloseStartedThreads();
  users_.reset();
  passwords_.reset();
  support::WipeText(last_clipboard_);
  eval::POPSCOPE();
  window_.Close();
  LeaveResponse(kRequestCancelled);
}

// Messages 17 and 22 arrive while the platform shuts down or logs off: the
// frame allows it and closes down. Everything else goes to the window's own
// procedure.
void FrameProcedure::InstallMessageHook() {
  platform::WindowSystem& system = AppEngine().System();
  const platform::WindowHandle frame = window_.Object().handle;
  const int frame_thread = window_.Object().thread;
  previous_procedure_ = system.SubclassWindow(
      frame, [this, frame, frame_thread](platform::WindowSystem& s, const platform::Message& m) {
        if (m.message == platform::kWmQueryEndSession) return std::intptr_t{1};
        if (m.message == platform::kWmEndSession) {
          (void)s.PostMessage(frame, kFrameCloseDownMessage);
          return std::intptr_t{1};
        }
        if (m.message == kFrameCloseDownMessage) {
          windows::PostEvent(AppEngine(), windows::kEventCloseDown, 0, frame_thread);
          return std::intptr_t{0};
        }
        return previous_procedure_(s, m);
      });
}

int FrameProcedure::OnEvent(int event) {
  switch (event) {
    case windows::kEventOpenWindow:
      NotifyFrameOpened();
      FillUserButtons();
      splash_thread_ = Start(Splash);
      if (first_open_) Refresh();
      first_open_ = false;
      return windows::kBodyDefault;
    case windows::kEventGainFocus:
      Refresh();
      first_focus_ = false;
      return windows::kBodyDefault;
    case windows::kEventTimer:
      OnTimer();
      return windows::kBodyDefault;
    case windows::kEventRejected:
      // No sound here: the driver shows the rejection by selecting the control.
      window_.Display(window_.EventControl());
      windows::SelectControl(AppEngine(), window_.EventControl());
      return windows::kBodyDefault;
    default:
      break;
  }
  if (event == kEventAccepted) {
    if (splash_thread_ != 0) {
      windows::PostEvent(AppEngine(), windows::kEventCloseWindow, 0, splash_thread_);
      splash_thread_ = 0;
    }
    OnAccepted(window_.EventControl());
  }
  return windows::kBodyDefault;
}

void FrameProcedure::OnAccepted(int control) {
  windows::EventEngine& engine = AppEngine();
  const int frame_thread = window_.Object().thread;
  switch (control) {
    case kToolPasswords:
      windows::PostEvent(engine, kEventAccepted, kMenuPasswords, frame_thread);
      return;
    case kToolUsers:
      windows::PostEvent(engine, kEventAccepted, kMenuUserSetup, frame_thread);
      return;
    case kToolUser1:
    case kToolUser1 - 1:
    case kToolUser3:
      QuickUserSlot = static_cast<std::uint8_t>(kToolUser1 - control + 1);
      windows::PostEvent(engine, kEventAccepted, kMenuPasswords, frame_thread);
      return;
    case kMenuExit:
      window_.PostClose();
      return;
    case kMenuFilterClipboard:
      FilterClipboard();
      return;
    case kMenuOptions:
      (void)Start(Setup, kSetupStack);
      Refresh();
      return;
    case kMenuImport:
      (void)Start(Import, kTransferStack);
      Refresh();
      return;
    case kMenuExport:
      (void)Start(Export, kTransferStack);
      Refresh();
      return;
    case kMenuPasswords:
      (void)Start(BrowsePasswords, kBrowsePasswordsStack);
      Refresh();
      return;
    case kMenuUserSetup:
      (void)Start(BrowseUsers, kBrowseUsersStack);
      Refresh();
      return;
    case kMenuPrintByService:
      (void)Start(PrintPasswordsByService, kReportStack);
      return;
    case kMenuPrintByUrl:
      (void)Start(PrintPasswordsByUrl, kReportStack);
      return;
    case kMenuPrintByName:
      (void)Start(PrintPasswordsByName, kReportStack);
      return;
    case kMenuTips:
      (void)Start(About, kAboutStack);
      Refresh();
      return;
    default:
      return;
  }
}

void FrameProcedure::FilterClipboard() {
  platform::WindowSystem& system = AppEngine().System();
  std::optional<std::string> held = system.GetClipboardText();
  std::string filtered = FilterClipboardText(held ? std::string_view(*held) : std::string_view());
  support::WipeText(held);
  ClipboardDisplay = std::string_view(filtered);
  system.SetClipboardTextFromProgram(std::move(filtered));
  support::WipeText(filtered);
}

void FrameProcedure::Refresh() {
  FillUserButtons();
  if (!window_.Object().accept_all) window_.Display();
}

void Main() {
  FrameProcedure frame;
  frame.Run();
}

}  // namespace vaultrix::app
