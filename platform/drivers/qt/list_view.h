// The widget of a list control: a table of the rows the window system
// holds (the visible rows only, cells split at tabs), column headers from
// the list's header lines, and a vertical scroll bar with the range and thumb
// the engine sets. The table never scrolls or moves its selection by itself:
// keys go to the engine through the window system, and scroll-bar actions are
// reported as they happen, so that the engine decides what the list shows.
#pragma once

#include <QtWidgets/QWidget>

#include <functional>

#include "platform/window_system.h"

class QScrollBar;
class QTableWidget;

namespace vaultrix::platform::qt {

class ListView final : public QWidget {
 public:
  // `scrolled` gets a kSb* action and the thumb position; `picked` the row
  // clicked (0-based) and whether it was a double click.
  ListView(QWidget* parent, std::function<void(std::uint32_t, int)> scrolled,
           std::function<void(int, bool)> picked);
  void Show(const WindowInfo& info);
  [[nodiscard]] QTableWidget* Table() const { return table_; }
  [[nodiscard]] QScrollBar* ScrollBar() const { return scroll_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableWidget* table_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  std::function<void(std::uint32_t, int)> scrolled_;
  std::function<void(int, bool)> picked_;
  bool applying_ = false;
};

}  // namespace vaultrix::platform::qt
