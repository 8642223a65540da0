// The display driver's side of the window system: the notifications through
// which a driver follows every visible change, the modal dialogs (message
// boxes, open and save file dialogs, popup menus) that the window system asks of it, and
// the interface a driver implements.
//
// Ownership and threads: the window system owns windows and their state. A
// driver runs on a thread of its own (the process's main thread), never holds
// the runtime lock and never blocks on a runtime thread. It drains the
// notification queue with WindowSystem::TakeNotifications and reads current
// state with WindowSystem::GetWindowInfo; it hands user input back with the
// window system's Inject* calls, which post to the owning thread's queue.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "platform/window_messages.h"

namespace vaultrix::platform {

// What changed. A notification names the window; the driver reads the new
// state itself, so a burst of changes to one window costs one redraw.
enum class NotificationKind : int {
  kCreated,
  kDestroyed,
  kText,
  kValue,  // value, check or selected row
  kRows,
  kScroll,
  kEnabled,
  kVisible,
  kRect,
  kShowState,  // minimized, maximized, restored
  kZOrder,
  kFocus,       // window is the new focus window (kNoWindow: none)
  kActivation,  // window is the new active window or active MDI child
  kClipboard,
  kDialogOpened,    // dialog names the request
  kDialogAnswered,  // dialog names the request
  kAttributes,      // the window's DisplayAttributes
};

using DialogId = std::uint64_t;

struct Notification {
  NotificationKind kind = NotificationKind::kCreated;
  WindowHandle window = kNoWindow;
  DialogId dialog = 0;
};

enum class FileDialogKind : int { kOpen, kSave };

struct FileFilter {
  std::string description;  // "Text files (*.txt)"
  std::string pattern;      // "*.txt", several separated by ';'
};

struct FileDialogRequest {
  FileDialogKind kind = FileDialogKind::kOpen;
  std::string title;
  std::vector<FileFilter> filters;
  int filter_index = 1;  // 1-based
  std::string initial_directory;
  std::string file_name;          // suggested name
  std::string default_extension;  // appended to a typed name without one
  bool must_exist = false;        // open: the chosen file must exist
  bool confirm_overwrite = false;
};

struct FileDialogResult {
  bool accepted = false;  // false: cancelled
  std::string path;
  int filter_index = 1;
};

// The printer set-up dialog's answer: the printer chosen ("" for the
// system's default), or a PDF file to print into.
struct PrintSetupResult {
  bool accepted = false;
  std::string printer;
  std::string pdf_path;  // not empty: print to this PDF file
};

// One line of a popup menu. A separator has no text and cannot be chosen;
// '&' in a text marks the item's access letter as in menus.
struct PopupItem {
  std::string text;
  bool separator = false;
  bool disabled = false;
  bool checked = false;
};

// A popup menu shown at the mouse position. The answer numbers the chosen
// item from 1, separators not counted (0: dismissed without a choice).
struct PopupRequest {
  std::vector<PopupItem> items;
};

enum class DialogKind : int { kMessageBox, kFileDialog, kPrintSetup, kPopup };

// A dialog that a runtime thread is waiting on.
struct DialogRequest {
  DialogId id = 0;
  DialogKind kind = DialogKind::kMessageBox;
  WindowHandle owner = kNoWindow;
  MessageBoxRequest message_box;
  FileDialogRequest file_dialog;
  PopupRequest popup;
};

// A driver's answer to a dialog.
struct DialogAnswer {
  MessageBoxAnswer button = MessageBoxAnswer::kOk;  // message boxes
  FileDialogResult file;                            // file dialogs
  PrintSetupResult print;                           // printer set-up
  int popup_item = 0;                               // popup menus: see PopupRequest
};

class DisplayDriver {
 public:
  virtual ~DisplayDriver() = default;

  // Called whenever notifications were queued, on the thread that queued them
  // and with no window-system lock held. It must not block: a driver
  // typically wakes its own thread, which then calls TakeNotifications.
  virtual void NotificationsPending() = 0;

  // A runtime thread asks for a dialog and waits (answering messages sent to
  // it) until WindowSystem::AnswerDialog(request.id, ...) is called, from
  // any thread, possibly from within this call. Called with no window-system
  // lock held; it must not block.
  virtual void OpenDialog(const DialogRequest& request) = 0;

  // Shows the help document (a file path) with the desktop's viewer, at
  // `keyword` when the viewer can. Called like OpenDialog; must not block.
  // A driver without a desktop ignores it.
  virtual void OpenHelp(const std::string& document, const std::string& keyword) {
    (void)document;
    (void)keyword;
  }
};

}  // namespace vaultrix::platform
