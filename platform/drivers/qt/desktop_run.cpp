// The desktop run: QApplication on the main thread, the program on another.
#include "platform/drivers/qt/desktop_run.h"

#include <QtCore/QMetaObject>
#include <QtWidgets/QApplication>

#include <cstdio>
#include <cstdlib>
#include <thread>

#include "platform/drivers/qt/qt_driver.h"

namespace vaultrix::platform::qt {
namespace {

bool Set(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}

}  // namespace

bool DisplayAvailable() {
  return Set("QT_QPA_PLATFORM") || Set("WAYLAND_DISPLAY") || Set("DISPLAY");
}

int RunWithDisplay(int argc, char** argv, std::function<int(WindowSystem&)> program) {
  if (!DisplayAvailable()) {
    std::fprintf(stderr, "%s\n", kNoDisplayMessage);
    return 1;
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  WindowSystem system;
  QtDriver driver(system);
  driver.RouteMessageBoxes();
  int exit_code = 0;
  std::thread runner([&] {
    exit_code = program(system);
    system.EndThread();
    QMetaObject::invokeMethod(&application, [] { QApplication::exit(0); }, Qt::QueuedConnection);
  });
  QApplication::exec();
  runner.join();
  return exit_code;
}

}  // namespace vaultrix::platform::qt
