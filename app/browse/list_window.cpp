// Running a list window on the browse engine.
#include "app/browse/list_window.h"

#include "runtime/windows/event_codes.h"
#include "runtime/windows/window_open.h"
#include "app/program/run.h"

namespace vaultrix::app {

ListWindow::ListWindow(std::string_view module, std::string_view structure, std::string section)
    : window_(windows::WindowKind::kPlainWindow, module, structure, section),
      section_(std::move(section)) {}

ListWindow::~ListWindow() { Close(); }

void ListWindow::Open(BrowseDescription description) {
  list_ = description.list;
  window_.Open();
  RestoreListFormat(window_, list_, section_);
  surface_.emplace(window_, list_);
  engine_ = std::make_unique<BrowseEngine>(std::move(description), *surface_);
  AttachBrowseList(window_, *engine_, engine_->Description());
}

void ListWindow::WindowEvent(int event) {
  switch (event) {
    case windows::kEventOpenWindow:
      if (first_open_) engine_->RefreshWindow();
      first_open_ = false;
      windows::SelectControl(AppEngine(), list_);
      return;
    case windows::kEventGainFocus:
    case windows::kEventSized:
      engine_->ForceRefresh();
      engine_->RefreshWindow();
      return;
    default:
      return;
  }
}

void ListWindow::Accept(const std::function<void(int event, int control)>& body) {
  window_.Accept([&](int event) {
    const BrowseInput input = CurrentBrowseInput(event);
    if (!engine_->TakeEvent(input)) {
      WindowEvent(event);
      body(event, input.control);
    }
    return windows::kBodyDefault;
  });
}

void ListWindow::Close() {
  if (!window_.IsOpen()) return;
  SaveListFormat(window_, list_, section_);
  engine_.reset();
  window_.Close();
}

}  // namespace vaultrix::app
