// The widget that shows a plain window or an MDI child's contents: its
// menu bar, toolbars and status bar stacked around a client widget on which
// the controls sit at their pixel positions. The application frame is a
// QMainWindow and offers the same places; the free functions below reach
// them on either.
#pragma once

#include <QtWidgets/QWidget>

class QMenuBar;
class QStatusBar;
class QToolBar;
class QVBoxLayout;

namespace vaultrix::platform::qt {

class WindowSurface final : public QWidget {
 public:
  explicit WindowSurface(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  [[nodiscard]] QWidget* Client() const;
  // The client size the window system holds: what Qt asks the surface for
  // when it sizes a window by itself (an MDI child's first showing).
  void SetClientSize(QSize size);
  void SetMenuBar(QMenuBar* bar);
  void AddToolBar(QToolBar* bar);
  void SetStatusBar(QStatusBar* bar);

 private:
  QVBoxLayout* layout_ = nullptr;
  class ClientArea;
  ClientArea* client_ = nullptr;
};

// The widget on which a host window's controls sit: the surface's client,
// or the frame's central widget.
[[nodiscard]] QWidget* ClientOf(QWidget* host);
void InstallMenuBar(QWidget* host, QMenuBar* bar);
void InstallToolBar(QWidget* host, QToolBar* bar);
void InstallStatusBar(QWidget* host, QStatusBar* bar);

}  // namespace vaultrix::platform::qt
