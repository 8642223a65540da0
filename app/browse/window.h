// A list window's side of the browse engine: the surface over its procedure
// window and list control, the list's alert keys, the event as the engine
// reads it, and the list's column layout kept in "VAULTRIX.INI" under
// "?Browse:1" in the procedure's section.
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <string>
#include <string_view>

#include "app/browse/engine.h"
#include "app/browse/surface.h"
#include "app/services/procedure_window.h"

namespace vaultrix::app {

inline constexpr std::string_view kListFormatKey = "?Browse:1";

class BrowseWindowSurface final : public BrowseSurface {
 public:
  BrowseWindowSurface(ProcedureWindow& window, int list) : window_(window), list_(list) {}

  [[nodiscard]] int VisibleItems() override;
  void QueueChanged() override;
  [[nodiscard]] int Selection() override;
  void SetSelection(int row) override;
  [[nodiscard]] bool ScrollBarShown() override;
  void ShowScrollBar(bool shown) override;
  [[nodiscard]] int Thumb() override;
  void SetThumb(int position) override;
  void EnableButton(int control, bool enabled) override;
  void PostToList(int event) override;
  void PressButton(int control) override;
  [[nodiscard]] int Popup(std::string_view menu) override;
  void PostCloseWindow() override { window_.PostClose(); }
  // The display drivers show no wait cursor; a page is read in far less
  // time than one would show.
  void SetWaitCursor(bool) override {}
  [[nodiscard]] bool AcceptingAll() override;
  void Redisplay() override { window_.Display(); }
  void SelectList() override;

 private:
  void Post(int event, int control);

  ProcedureWindow& window_;
  int list_;
};

// Binds the engine's queue to the list and sets the list's alert keys: a
// window with edit buttons gets double click, Insert, Delete and Ctrl+Enter.
void AttachBrowseList(ProcedureWindow& window, BrowseEngine& engine,
                      const BrowseDescription& description);

// The current event of the window's loop as the engine reads it.
[[nodiscard]] BrowseInput CurrentBrowseInput(int event);

// The list's format from the procedure's section (its own as the default),
// and back when the window closes.
void RestoreListFormat(ProcedureWindow& window, int list, std::string_view section);
void SaveListFormat(ProcedureWindow& window, int list, std::string_view section);

}  // namespace vaultrix::app
