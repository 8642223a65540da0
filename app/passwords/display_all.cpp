// The full display of one entry.
#include "app/passwords/display_all.h"

#include <string.h>

#include <vector>

#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"

namespace vaultrix::app {
namespace {

// The notes are shown from copies, so that text typed into their boxes
// never reaches the record buffer; the copies are wiped on leaving.
class NotesCopy {
 public:
  explicit NotesCopy(std::span<char> memo) : text_(memo.begin(), memo.end()) {}
  ~NotesCopy() { explicit_bzero(text_.data(), text_.size()); }
  NotesCopy(const NotesCopy&) = delete;
  NotesCopy& operator=(const NotesCopy&) = delete;
  char* data() { return text_.data(); }

 private:
  std::vector<char> text_;
};

class DisplayAllWindow {
 public:
  DisplayAllWindow()
      : passwords_(Passwords()),
        notes_(Passwords().MemoText(kMemoNotes)),
        more_notes_(Passwords().MemoText(kMemoMoreNotes)),
        window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx008", "DISPLAYALL$WINDOW",
                "DisplayAll",
                {&P_.User, &P_.Service, &P_.URL, &P_.Name, &P_.Password, notes_.data(),
                 more_notes_.data()}) {}

  std::int32_t Run() {
    window_.Open();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
    return response_;
  }

 private:
  int OnEvent(int event) {
    windows::EventEngine& engine = AppEngine();
    const int control = window_.EventControl();
    switch (event) {
      case windows::kEventOpenWindow:
        Redisplay();
        windows::SelectControl(engine, kDisplayAllOk);
        break;
      case windows::kEventGainFocus: Redisplay(); break;
      case windows::kEventRejected:
        Redisplay();
        windows::SelectControl(engine, control);
        break;
      case windows::kEventAccepted:
        if (control == kDisplayAllOk) {
          response_ = kRequestCompleted;
          window_.PostClose();
        } else if (control == kDisplayAllNotes || control == kDisplayAllMoreNotes) {
          Redisplay();  // read only: typing is undone
        }
        break;
      default: break;
    }
    return windows::kBodyDefault;
  }

  void Redisplay() {
    for (const auto& control : window_.Object().controls) {
      windows::DisplayControl(AppEngine(), *control);
    }
  }

  FileUse passwords_;
  NotesCopy notes_;
  NotesCopy more_notes_;
  std::int32_t response_ = kRequestCancelled;
  ProcedureWindow window_;
};

}  // namespace

void DisplayAll() {
  (void)TakeRequest();
  std::int32_t response = kRequestCancelled;
  {
    DisplayAllWindow window;
    response = window.Run();
  }
  LeaveResponse(response);
}

}  // namespace vaultrix::app
