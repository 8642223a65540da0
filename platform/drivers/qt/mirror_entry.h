// What the mirror keeps per window. Only the mirror's own files include it.
#pragma once

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <optional>
#include <string>

#include "platform/drivers/qt/dialog_units.h"
#include "platform/drivers/qt/window_mirror.h"

namespace vaultrix::platform::qt {

struct WindowMirror::Entry {
  WindowHandle handle = kNoWindow;
  WindowKind kind = WindowKind::kPlain;
  std::string class_name;
  WindowHandle parent = kNoWindow;
  // The widget the window is, or the QAction / QMenu for menu pieces.
  QPointer<QObject> object;
  // Windows: the top-level widget or the MDI sub-window (what moves).
  QPointer<QWidget> outer;
  // Windows: the frame or surface that holds the furniture.
  QPointer<QWidget> host;
  // Where children sit: a window's client, a toolbar's strip.
  QPointer<QWidget> client;
  // Windows only: the units of the window's font.
  std::optional<DialogUnits> units;
  // The rectangle last reported to, or taken from, the window system, so
  // that a rounding difference never moves a window back and forth.
  std::optional<Rect> known_rect;
  bool shown_once = false;
  // A second widget that goes with the control (a sheet's page frame).
  QPointer<QWidget> extra;
};

}  // namespace vaultrix::platform::qt
