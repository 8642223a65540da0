// Furniture around a client widget, for plain windows, MDI children and the
// frame alike.
#include "platform/drivers/qt/window_surface.h"

#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMenuBar>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>

namespace vaultrix::platform::qt {

class WindowSurface::ClientArea final : public QWidget {
 public:
  explicit ClientArea(QWidget* parent) : QWidget(parent) {}
  [[nodiscard]] QSize sizeHint() const override { return size_.isValid() ? size_ : QWidget::sizeHint(); }
  void SetSize(QSize size) {
    size_ = size;
    updateGeometry();
  }

 private:
  QSize size_;
};

WindowSurface::WindowSurface(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags) {
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  client_ = new ClientArea(this);
  client_->setObjectName(QStringLiteral("client"));
  layout_->addWidget(client_, 1);
}

QWidget* WindowSurface::Client() const {
  return client_;
}

void WindowSurface::SetClientSize(QSize size) {
  client_->SetSize(size);
}

void WindowSurface::SetMenuBar(QMenuBar* bar) {
  layout_->setMenuBar(bar);
}

void WindowSurface::AddToolBar(QToolBar* bar) {
  // Toolbars go above the client, after any earlier ones.
  layout_->insertWidget(layout_->indexOf(client_), bar);
}

void WindowSurface::SetStatusBar(QStatusBar* bar) {
  layout_->addWidget(bar);
}

QWidget* ClientOf(QWidget* host) {
  if (auto* surface = dynamic_cast<WindowSurface*>(host)) return surface->Client();
  if (auto* frame = qobject_cast<QMainWindow*>(host)) return frame->centralWidget();
  return host;
}

void InstallMenuBar(QWidget* host, QMenuBar* bar) {
  if (auto* surface = dynamic_cast<WindowSurface*>(host)) surface->SetMenuBar(bar);
  if (auto* frame = qobject_cast<QMainWindow*>(host)) frame->setMenuBar(bar);
}

void InstallToolBar(QWidget* host, QToolBar* bar) {
  if (auto* surface = dynamic_cast<WindowSurface*>(host)) surface->AddToolBar(bar);
  if (auto* frame = qobject_cast<QMainWindow*>(host)) frame->addToolBar(bar);
}

void InstallStatusBar(QWidget* host, QStatusBar* bar) {
  if (auto* surface = dynamic_cast<WindowSurface*>(host)) surface->SetStatusBar(bar);
  if (auto* frame = qobject_cast<QMainWindow*>(host)) frame->setStatusBar(bar);
}

}  // namespace vaultrix::platform::qt
