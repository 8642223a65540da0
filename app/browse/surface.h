// What the browse engine asks of its window: the list control's state and
// the window's buttons, cursor and events. The window implements it over its
// controls (browse/window.h); the engine's own tests over a plain model.
#pragma once

#include <string_view>

namespace vaultrix::app {

class BrowseSurface {
 public:
  virtual ~BrowseSurface() = default;

  // The rows the list can show at the moment.
  [[nodiscard]] virtual int VisibleItems() = 0;
  // The queue changed: the list shows it again.
  virtual void QueueChanged() = 0;
  // The list's highlighted row, from 1 (0: none).
  [[nodiscard]] virtual int Selection() = 0;
  virtual void SetSelection(int row) = 0;
  [[nodiscard]] virtual bool ScrollBarShown() = 0;
  virtual void ShowScrollBar(bool shown) = 0;
  // The thumb's position, 0-100.
  [[nodiscard]] virtual int Thumb() = 0;
  virtual void SetThumb(int position) = 0;
  virtual void EnableButton(int control, bool enabled) = 0;
  // Posts a field event to the list.
  virtual void PostToList(int event) = 0;
  // Posts "EVENT:Accepted" to a button.
  virtual void PressButton(int control) = 0;
  // Shows a popup menu; the chosen item from 1, 0 for none.
  [[nodiscard]] virtual int Popup(std::string_view menu) = 0;
  virtual void PostCloseWindow() = 0;
  virtual void SetWaitCursor(bool waiting) = 0;
  // True while the window validates all its fields.
  [[nodiscard]] virtual bool AcceptingAll() = 0;
  virtual void Redisplay() = 0;
  virtual void SelectList() = 0;
};

}  // namespace vaultrix::app
