// The printer set-up dialog: the system's printers and printing into a PDF
// file. The dialog keeps its own printer; `done` gets the choice when it
// closes (cancelled when it is rejected).
#pragma once

#include <QtWidgets/QDialog>

#include <functional>

#include "platform/display_driver.h"

namespace vaultrix::platform::qt {

// Null when this build has no print support; the caller answers cancelled.
[[nodiscard]] QDialog* MakePrintSetupDialog(QWidget* parent,
                                            std::function<void(const PrintSetupResult&)> done);

}  // namespace vaultrix::platform::qt
