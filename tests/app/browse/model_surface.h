// A list window reduced to what the browse engine asks of it: rows that fit,
// the highlighted row, the scroll bar and thumb, buttons, and the events the
// engine posts, delivered back to it by Pump as the window's loop would.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/browse/engine.h"
#include "app/browse/surface.h"

namespace vaultrix::app::testing {

class ModelSurface final : public BrowseSurface {
 public:
  int VisibleItems() override { return visible; }
  void QueueChanged() override {}
  int Selection() override { return selection; }
  void SetSelection(int row) override { selection = row; }
  bool ScrollBarShown() override { return bar; }
  void ShowScrollBar(bool shown) override { bar = shown; }
  int Thumb() override { return thumb; }
  void SetThumb(int position) override { thumb = position; }
  void EnableButton(int control, bool on) override { enabled[control] = on; }
  void PostToList(int event) override { posted.push_back(event); }
  void PressButton(int control) override { pressed.push_back(control); }
  int Popup(std::string_view menu) override {
    popups.emplace_back(menu);
    return popup_answer;
  }
  void PostCloseWindow() override { closed = true; }
  void SetWaitCursor(bool) override {}
  bool AcceptingAll() override { return false; }
  void Redisplay() override {}
  void SelectList() override {}

  // Delivers the posted list events (and presses, when `engine` edits).
  void Pump(BrowseEngine& engine, int list = 1) {
    for (int guard = 0; guard < 100 && (!posted.empty()); ++guard) {
      const int event = posted.front();
      posted.pop_front();
      (void)engine.TakeEvent({event, list, 0, '\0'});
    }
  }

  int visible = 10;
  int selection = 0;
  bool bar = false;
  int thumb = 0;
  std::map<int, bool> enabled;
  std::deque<int> posted;
  std::vector<int> pressed;
  std::vector<std::string> popups;
  int popup_answer = 0;
  bool closed = false;
};

}  // namespace vaultrix::app::testing
