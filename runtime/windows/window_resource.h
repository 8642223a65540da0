// The window object as the loading operations create it: which kind of window
// the procedure asked for, the module and structure names of its description,
// and the addresses of the procedure's use variables. Nothing is read from the
// resources until the window is opened (Load), which finds the description,
// reads it and binds the use variables in control order.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/windows/description_finder.h"
#include "runtime/windows/description_view.h"

namespace vaultrix::windows {

enum class WindowKind {
  kApplication,  // the application frame
  kMdiWindow,    // a window that can be an MDI child
  kPlainWindow,
  kReport,
};

class WindowResource {
 public:
  WindowResource(WindowKind kind, std::string_view module_name, std::string_view structure_name,
                 std::vector<void*> use_addresses);
  WindowResource(const WindowResource&) = delete;
  WindowResource& operator=(const WindowResource&) = delete;

  WindowKind kind() const { return kind_; }
  const std::string& module_name() const { return module_name_; }
  const std::string& structure_name() const { return structure_name_; }
  const std::vector<void*>& use_addresses() const { return use_addresses_; }

  // Finds and reads the description. On anything but kOk the window has no
  // description and cannot open; kUnknownKind is the runtime error
  // kUnknownKindError with the detail kUnknownKindDetail.
  [[nodiscard]] ResourceStatus Load();

  bool loaded() const { return loaded_; }
  const LoadedDescription& description() const { return description_; }
  const WindowView& view() const { return view_; }

 private:
  WindowKind kind_;
  std::string module_name_;
  std::string structure_name_;
  std::vector<void*> use_addresses_;
  bool loaded_ = false;
  LoadedDescription description_;
  WindowView view_;  // its texts point into description_.buffer
};

// Creates the window object and stores it in `*window`. The use addresses end
// at the first null address (or with the list).
void OpenWindowResource(std::unique_ptr<WindowResource>* window, WindowKind kind,
                        std::string_view module_name, std::string_view structure_name,
                        std::initializer_list<void*> use_addresses = {});

}  // namespace vaultrix::windows
