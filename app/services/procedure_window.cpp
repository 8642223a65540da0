// Opening, looping and closing a procedure's window.
#include "app/services/procedure_window.h"

#include <cstdlib>

#include "app/services/note_activity.h"
#include "app/program/run.h"
#include "app/services/window_placement.h"
#include "runtime/windows/ctlentry.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

using windows::GetProperty;
using windows::SetProperty;

std::int32_t Number(const std::string& text) {
  return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

// The placement memory's view of an open window.
class OpenWindowTarget final : public PlacementTarget {
 public:
  explicit OpenWindowTarget(windows::WindowObject& window) : window_(window) {}

  bool IsMaximized() const override { return Flag(windows::kPropMaximized); }
  bool IsIconized() const override { return Flag(windows::kPropMinimized); }
  bool IsResizable() const override { return Flag(windows::kPropResizeFrame); }
  WindowRect Placement() const override {
    return {Value(windows::kPropX), Value(windows::kPropY), Value(windows::kPropWidth),
            Value(windows::kPropHeight)};
  }
  void SetPlacement(const WindowRect& placement) override {
    Write(windows::kPropX, placement.x);
    Write(windows::kPropY, placement.y);
    Write(windows::kPropWidth, placement.width);
    Write(windows::kPropHeight, placement.height);
  }
  void SetMaximized(bool maximized) override {
    SetProperty(AppEngine(), &window_, 0, windows::kPropMaximized, 0, maximized ? "1" : "");
  }

 private:
  std::int32_t Value(std::int32_t property) const {
    return Number(GetProperty(AppEngine(), &window_, 0, property));
  }
  bool Flag(std::int32_t property) const { return Value(property) != 0; }
  void Write(std::int32_t property, std::int32_t value) {
    SetProperty(AppEngine(), &window_, 0, property, 0, std::to_string(value));
  }

  windows::WindowObject& window_;
};

}  // namespace

ProcedureWindow::ProcedureWindow(windows::WindowKind kind, std::string_view module,
                                 std::string_view structure, std::string section,
                                 std::initializer_list<void*> uses)
    : section_(std::move(section)) {
  windows::OpenWindowResource(&resource_, kind, module, structure, uses);
}

ProcedureWindow::~ProcedureWindow() {
  Close();
}

void ProcedureWindow::Open() {
  windows::WindowOpen(AppEngine(), *resource_);
  opened_ = true;
  if (section_.empty()) return;
  OpenWindowTarget target(Object());
  RestoreWindowPlacement(target, section_);
}

void ProcedureWindow::Accept(const std::function<int(int event)>& body, bool note_activity) {
  windows::Accept(AppEngine(), [this, &body, note_activity] {
    const int event = Object().current_event->Event();
    if (note_activity) NoteActivity(event);
    return body(event);
  });
}

bool ProcedureWindow::IsOpen() const {
  return opened_ && resource_->object().handle != platform::kNoWindow;
}

void ProcedureWindow::Close() {
  if (!IsOpen()) return;
  if (!section_.empty()) {
    OpenWindowTarget target(Object());
    SaveWindowPlacement(target, section_);
  }
  windows::WindowClose(AppEngine(), Object());
  opened_ = false;
}

void ProcedureWindow::PostClose() {
  if (IsOpen()) {
    windows::PostEventToWindow(AppEngine(), Object(), windows::kEventCloseWindow, nullptr);
  }
}

int ProcedureWindow::EventControl() const {
  const windows::EventRecord* record = resource_->object().current_event.get();
  return record == nullptr || record->control == nullptr ? 0 : record->control->number;
}

std::string ProcedureWindow::Get(int control, std::int32_t property, std::int32_t index) {
  return GetProperty(AppEngine(), &Object(), control, property, index);
}

void ProcedureWindow::Set(int control, std::int32_t property, std::string_view value,
                          std::int32_t index) {
  SetProperty(AppEngine(), &Object(), control, property, index, value);
}

void ProcedureWindow::Display(int control) {
  for (const auto& c : Object().controls) {
    if ((control == 0 || c->number == control) && c->type == windows::rsc::kEntry) {
      windows::DisplayEntry(AppEngine().System(), *c);
    }
  }
}

}  // namespace vaultrix::app
