// A list window run on the browse engine: the procedure window, the engine
// over its list, the list's column layout kept in "VAULTRIX.INI", and the
// window events every list window answers alike (the first open refreshes
// the page and selects the list; gaining the focus and a new size refresh
// it from the file, so that changes made elsewhere show).
//
// Locks: REQUIRES the runtime lock.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/browse/engine.h"
#include "app/browse/window.h"
#include "app/services/procedure_window.h"

namespace vaultrix::app {

class ListWindow {
 public:
  // `section` is the procedure's name, for the placement and the list format.
  ListWindow(std::string_view module, std::string_view structure, std::string section);
  ~ListWindow();
  ListWindow(const ListWindow&) = delete;
  ListWindow& operator=(const ListWindow&) = delete;

  // Opens the window, restores the list's format and starts the engine.
  void Open(BrowseDescription description);
  // Runs the loop: each event goes to the engine first, then to the window
  // events above, then to `body` (with its control, 0 for window events).
  void Accept(const std::function<void(int event, int control)>& body);
  // Saves the list's format and the placement and closes the window.
  void Close();

  [[nodiscard]] BrowseEngine& Engine() { return *engine_; }
  [[nodiscard]] ProcedureWindow& Window() { return window_; }

 private:
  void WindowEvent(int event);

  ProcedureWindow window_;
  std::string section_;
  std::optional<BrowseWindowSurface> surface_;
  std::unique_ptr<BrowseEngine> engine_;
  int list_ = 1;
  bool first_open_ = true;
};

}  // namespace vaultrix::app
