// Message boxes through the window engine, or the platform's handler.
#include "app/services/message.h"

#include "app/program/run.h"
#include "runtime/windows/message_box.h"

namespace vaultrix::app {

platform::MessageBoxAnswer Message(const platform::MessageBoxRequest& request) {
  if (OnRuntimeThread()) return windows::Message(AppEngine(), request);
  return platform::ShowMessageBox(request);
}

}  // namespace vaultrix::app
