// The user's moves, resizes, state changes and close requests on the
// windows' outer widgets, handed to the mirror to report.
#pragma once

#include <QtCore/QObject>

namespace vaultrix::platform::qt {

class WindowMirror;

class HostEventFilter final : public QObject {
 public:
  explicit HostEventFilter(WindowMirror& mirror) : mirror_(mirror) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  WindowMirror& mirror_;
};

}  // namespace vaultrix::platform::qt
