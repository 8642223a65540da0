// Helpers for the Qt driver tests: a runtime thread that owns the test's
// windows (as the headless tests use), window parameters, and a wait that
// keeps the driver's (main) thread running Qt events until a condition
// holds. A watchdog in each test catches a wait that never ends.
#pragma once

#include <QtCore/QCoreApplication>
#include <QtCore/QEventLoop>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/drivers/qt/qt_driver.h"
#include "platform/resources.h"
#include "tests/platform/watchdog.h"
#include "tests/platform/window_thread.h"
#include "tools/rescomp/compiler.h"

namespace vaultrix::platform::qt::testing {

using vaultrix::testing::Watchdog;
using vaultrix::testing::WindowThread;

// Runs the driver's thread until `ready` holds.
inline void Settle(const std::function<bool()>& ready) {
  while (!ready()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::this_thread::yield();
  }
  QCoreApplication::processEvents();
}

// Runs the driver's thread until `thread` has taken a message that `match`
// accepts; answers it.
inline Message SettleFor(WindowThread& thread, const std::function<bool(const Message&)>& match) {
  Message found;
  Settle([&] {
    for (const Message& m : thread.Taken()) {
      if (match(m)) {
        found = m;
        return true;
      }
    }
    return false;
  });
  return found;
}

// Runs the driver's thread until a dialog of type T that a runtime thread
// waits on is shown; answers it.
template <typename T>
T* OpenDialogOf(const WindowSystem& system, QtDriver& driver) {
  T* found = nullptr;
  Settle([&] {
    driver.Drain();
    for (const DialogRequest& open : system.OpenDialogs()) {
      found = qobject_cast<T*>(driver.DialogWidget(open.id));
      if (found != nullptr && found->isVisible()) return true;
    }
    return false;
  });
  return found;
}

// Compiles window description sources into the program's resources, as the
// program's own module; the destructor takes every loaded module away.
class ProgramDescriptions {
 public:
  explicit ProgramDescriptions(const char* source) {
    rescomp::CompiledModule module;
    rescomp::SourceError error;
    EXPECT_TRUE(rescomp::CompileSource(source, &module, &error))
        << "line " << error.line << ": " << error.message;
    auto resources = std::make_shared<ResourceModule>("vaultrix");
    resources->Add("DABDUMP", "VLTRX001_RSC", module.bytes);
    SetProgramResources(resources);
  }
  ~ProgramDescriptions() {
    for (const auto& module : LoadedResourceModules()) RemoveResourceModule(module.get());
  }
  ProgramDescriptions(const ProgramDescriptions&) = delete;
  ProgramDescriptions& operator=(const ProgramDescriptions&) = delete;
};

inline bool Has(WindowThread& thread, const std::function<bool(const Message&)>& match) {
  for (const Message& m : thread.Taken()) {
    if (match(m)) return true;
  }
  return false;
}

inline WindowCreateParams Window(WindowKind kind, std::string class_name, std::string text,
                                 Rect rect, std::uint32_t style, WindowHandle parent = kNoWindow,
                                 int id = 0) {
  WindowCreateParams params;
  params.kind = kind;
  params.class_name = std::move(class_name);
  params.text = std::move(text);
  params.rect = rect;
  params.style = style;
  params.parent = parent;
  params.control_id = id;
  return params;
}

inline WindowCreateParams Control(std::string class_name, std::string text, Rect rect,
                                  WindowHandle parent, int id = 0,
                                  std::uint32_t extra_style = 0) {
  return Window(WindowKind::kControl, std::move(class_name), std::move(text), rect,
                kWsChild | kWsVisible | extra_style, parent, id);
}

inline constexpr std::uint32_t kDialogStyle = kWsCaption | kWsSysMenu | kWsVisible;
inline constexpr std::uint32_t kFrameStyle =
    kWsCaption | kWsSysMenu | kWsThickFrame | kWsMinimizeBox | kWsMaximizeBox | kWsVisible;

}  // namespace vaultrix::platform::qt::testing
