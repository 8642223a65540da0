// About: the product line and the tip of the day. Every opening shows the
// tip numbered "FirstTip" (or the first one after it) and moves "FirstTip" on
// past it, so consecutive openings, and consecutive runs, show consecutive
// tips and wrap to the first after the last. "&Next" and "&Previous" walk
// the tips round in TIP:KEYTIPID order; "&Previous" is hidden while the
// first tip of the file is shown, both are hidden when there are no tips.
#include "app/dictionary/data_dictionary.h"
#include "app/program/run.h"
#include "app/services/global_codes.h"
#include "app/services/open_data_file.h"
#include "app/services/procedure_window.h"
#include "app/tips/tip_of_day.h"
#include "app/tips/windows.h"
#include "app/tips/tips.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/eval/variable.h"
#include "runtime/files/file_api.h"
#include "runtime/support/error_codes.h"
#include "runtime/support/error_state.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

bool ReadTip(bool backward) {
  if (backward) {
    files::Previous(TipOfTheDay().Block());
  } else {
    files::Next(TipOfTheDay().Block());
  }
  return support::ErrorCode() == support::kNoError;
}

// The tips in TIP:KEYTIPID order from the first (or, reading backward, the
// last).
void FromTheEnd() {
  files::Set(TipOfTheDay().Key(kFirstKey));
}

class AboutWindow {
 public:
  AboutWindow()
      : window_(windows::WindowKind::kPlainWindow, "VAULTRIX$vltrx015", "ABOUT$WINDOW", "About",
                {TipOfTheDay().MemoText(kMemoTipDesc).data()}) {}

  void Run() {
    window_.Open();
    ChooseTip(ReadFirstTip());
    ShowButtons();
    window_.Accept([this](int event) { return OnEvent(event); });
    window_.Close();
  }

 private:
  int OnEvent(int event) {
    if (event != windows::kEventAccepted) return windows::kBodyDefault;
    switch (window_.EventControl()) {
      case kAboutOk:
        window_.PostClose();
        break;
      case kAboutNext:
        Step(false);
        break;
      case kAboutPrevious:
        Step(true);
        break;
      case kAboutAddTips: {
        // The list reads tips into the same buffer, so the number shown is
        // taken first.
        const std::int64_t shown = TipNumber();
        BrowseTips();
        Refresh(shown);
        break;
      }
      default:
        break;
    }
    return windows::kBodyDefault;
  }

  // The tip numbered `first`, or the first one after it; past the last tip
  // the first of the file. Without tips the text is empty.
  void ChooseTip(std::int64_t first) {
    at_first_ = first <= 1;
    at_end_ = false;
    if (at_first_) {
      FromTheEnd();
    } else {
      SetTipNumber(first);
      files::Set(TipOfTheDay().Key(kFirstKey), TipOfTheDay().Key(kFirstKey));
    }
    if (!ReadTip(false)) {
      FromTheEnd();
      at_first_ = true;
      if (!ReadTip(false)) {
        at_end_ = true;
        TIP = TipRecord{};
        support::BlankFixed(TipOfTheDay().MemoText(kMemoTipDesc));
      }
    }
    support::ClearError();
    WriteFirstTip(TipNumber() + 1);
    windows::DisplayControls(AppEngine(), kAboutTipText, kAboutTipText);
  }

  // "&Next" (forward) or "&Previous" (backward), round from one end of the
  // tips to the other.
  void Step(bool backward) {
    bool read = ReadTip(backward);
    if (!read && support::ErrorCode() == support::kRecordNotAvailable) {
      FromTheEnd();
      read = ReadTip(backward);
    }
    if (read) {
      (backward ? at_end_ : at_first_) = false;
      WriteFirstTip(TipNumber() + 1);
    } else {
      at_first_ = true;
    }
    support::ClearError();
    windows::DisplayControls(AppEngine(), kAboutTipText, kAboutTipText);
    ShowButtons();
  }

  // After the tips were edited: the tip shown, or the one that took its
  // place, read again, so the text is the stored one and "&Next" and
  // "&Previous" go on from it.
  void Refresh(std::int64_t shown) {
    ChooseTip(shown < 1 ? 1 : shown);
    ShowButtons();
  }

  void ShowButtons() {
    Show(kAboutPrevious, !at_first_);
    Show(kAboutNext, !at_end_);
  }

  void Show(int control, bool shown) {
    if (shown) {
      windows::UnhideControls(AppEngine(), control, control);
    } else {
      windows::HideControls(AppEngine(), control, control);
    }
  }

  ProcedureWindow window_;
  bool at_first_ = true;
  bool at_end_ = false;
};

}  // namespace

void About() {
  (void)TakeRequest();
  const std::int64_t show = ReadShowTip();
  if (show == 0) {
    LeaveResponse(kRequestCancelled);
    return;
  }
  {
    FileUse tips(TipOfTheDay());
    eval::PUSHSCOPE();
    (void)eval::BindRecord(TipOfTheDay().Block());
    eval::BIND("TIP:TipDesc", eval::Ref(TipOfTheDay().Memo(kMemoTipDesc)));
    AboutWindow window;
    window.Run();
    eval::POPSCOPE();
  }
  WriteShowTip(show);
  LeaveResponse(kRequestCancelled);
}

}  // namespace vaultrix::app
