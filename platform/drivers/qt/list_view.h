// The widget of a list control: a table of the rows the window system
// holds (the visible rows only, cells split at tabs), column headers from
// the list's header lines, and a vertical scroll bar with the range and thumb
// the engine sets. The table never scrolls or moves its selection by itself:
// keys and mouse presses go to the engine through the window system (a press
// names the page row under the pointer, see window_classes.h), scroll-bar
// actions and dragged column widths are reported as they happen, and what
// the engine publishes next is what the list shows.
//
// Rows and header lines are one character height of the list's font each,
// columns as wide as the engine's column table says in dialog units, so the
// page the engine counts is the page the table shows.
#pragma once

#include <QtWidgets/QWidget>

#include <functional>
#include <optional>

#include "platform/drivers/qt/dialog_units.h"
#include "platform/window_system.h"

class QPoint;
class QScrollBar;
class QTableWidget;

namespace vaultrix::platform::qt {

class ListView final : public QWidget {
 public:
  // `scrolled` gets a kSb* action and the thumb position; `resized` a column
  // (from 0) and the width the user dragged it to, in dialog units.
  ListView(QWidget* parent, std::function<void(std::uint32_t, int)> scrolled,
           std::function<void(int, int)> resized);
  // Shows the list's state; `units` are the dialog units of its window's
  // font (null: pixels as the table likes them).
  void Show(const WindowInfo& info, const DialogUnits* units);
  [[nodiscard]] QTableWidget* Table() const { return table_; }
  [[nodiscard]] QScrollBar* ScrollBar() const { return scroll_; }

  // The list around a widget (itself or one of its inner widgets); null when
  // the widget belongs to no list.
  [[nodiscard]] static ListView* Around(QObject* widget);
  // What a mouse press on `receiver` at the global point is on: a page row
  // (from 0), kListNoRow below the rows or on the header, or nullopt on the
  // scroll bar, whose presses are its own actions and no click on the list.
  [[nodiscard]] std::optional<int> PressedRow(const QWidget* receiver, const QPoint& global) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowColumns(const WindowInfo& info, const DialogUnits* units, int columns);

  QTableWidget* table_ = nullptr;
  QScrollBar* scroll_ = nullptr;
  std::function<void(std::uint32_t, int)> scrolled_;
  std::function<void(int, int)> resized_;
  std::optional<DialogUnits> units_;
  bool applying_ = false;
};

}  // namespace vaultrix::platform::qt
