// The browse engine's surface over a procedure window.
#include "app/browse/window.h"

#include <charconv>

#include "app/program/run.h"
#include "app/services/window_placement.h"
#include "runtime/support/profile.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/ctllist_window.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/popup.h"
#include "runtime/windows/window_open.h"
#include "runtime/windows/window_properties.h"

namespace vaultrix::app {
namespace {

namespace keys = windows::list_keys;

int Number(const std::string& text) {
  int value = 0;
  (void)std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

constexpr std::int32_t kBrowseAlertKeys[] = {keys::kLeftDoubleClick, 0x2D /* Insert */,
                                             0x2E /* Delete */, keys::kCtrl | keys::kEnter};

}  // namespace

int BrowseWindowSurface::VisibleItems() {
  return Number(window_.Get(list_, windows::kPropItems));
}

void BrowseWindowSurface::QueueChanged() {
  (void)windows::ListQueueChanged(AppEngine(), window_.Object(), list_);
}

int BrowseWindowSurface::Selection() {
  return Number(window_.Get(list_, windows::kPropSelected));
}

void BrowseWindowSurface::SetSelection(int row) {
  window_.Set(list_, windows::kPropSelected, std::to_string(row));
}

bool BrowseWindowSurface::ScrollBarShown() {
  return !window_.Get(list_, windows::kPropVScrollShown).empty();
}

void BrowseWindowSurface::ShowScrollBar(bool shown) {
  window_.Set(list_, windows::kPropVScrollShown, shown ? "1" : "0");
}

int BrowseWindowSurface::Thumb() {
  return Number(window_.Get(list_, windows::kPropVScrollPos));
}

void BrowseWindowSurface::SetThumb(int position) {
  window_.Set(list_, windows::kPropVScrollPos, std::to_string(position));
}

void BrowseWindowSurface::EnableButton(int control, bool enabled) {
  if (control == 0) return;
  if (enabled) {
    windows::EnableControls(AppEngine(), control, 0);
  } else {
    windows::DisableControls(AppEngine(), control, 0);
  }
}

void BrowseWindowSurface::Post(int event, int control) {
  windows::ControlObject* object = window_.Object().FindControl(control);
  if (object == nullptr) return;
  windows::PostEventToWindow(AppEngine(), window_.Object(), event, object);
}

void BrowseWindowSurface::PostToList(int event) {
  Post(event, list_);
}

void BrowseWindowSurface::PressButton(int control) {
  Post(windows::kEventAccepted, control);
}

int BrowseWindowSurface::Popup(std::string_view menu) {
  return windows::Popup(AppEngine(), menu);
}

bool BrowseWindowSurface::AcceptingAll() {
  return window_.Object().accept_all;
}

void BrowseWindowSurface::SelectList() {
  windows::SelectControl(AppEngine(), list_);
}

void AttachBrowseList(ProcedureWindow& window, BrowseEngine& engine,
                      const BrowseDescription& description) {
  (void)windows::BindListQueue(AppEngine(), window.Object(), description.list, &engine.Queue());
  if (description.insert_button == 0) return;
  std::int32_t index = 1;
  for (std::int32_t key : kBrowseAlertKeys) {
    window.Set(description.list, windows::kPropAlertKeys, std::to_string(key), index++);
  }
}

BrowseInput CurrentBrowseInput(int event) {
  windows::EventEngine& engine = AppEngine();
  BrowseInput input;
  input.event = event;
  input.control = windows::EventControl(engine);
  input.key_code = windows::KeyCode(engine);
  const windows::RuntimeThread* thread = engine.Thread(engine.CurrentThread());
  if (thread != nullptr && thread->current_window != nullptr &&
      thread->current_window->current_event != nullptr) {
    input.key_character = static_cast<char>(thread->current_window->current_event->key_character);
  }
  return input;
}

void RestoreListFormat(ProcedureWindow& window, int list, std::string_view section) {
  const std::string current = window.Get(list, windows::kPropFormat);
  window.Set(list, windows::kPropFormat,
             support::GetIni(section, kListFormatKey, current, kProgramIniFile));
}

void SaveListFormat(ProcedureWindow& window, int list, std::string_view section) {
  (void)support::PutIni(section, kListFormatKey, window.Get(list, windows::kPropFormat),
                        kProgramIniFile);
}

}  // namespace vaultrix::app
