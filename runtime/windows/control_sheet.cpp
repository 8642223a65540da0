// Sheets and their tabs. Only the chosen tab's window is visible (its
// controls are its children); the sheet's value is the chosen tab from 1,
// which its variable takes as a number (or as the tab's position in a
// string variable). A change that the user makes raises "EVENT:TabChanging"
// before and "EVENT:NewSelection" after it.
#include "runtime/windows/control_kinds.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {
namespace {

int TabCount(const ControlObject& sheet) {
  int count = 0;
  ForEachContained(sheet, [&](ControlObject&) { ++count; });
  return count;
}

void Show(EventEngine& engine, ControlObject& sheet, int index) {
  platform::WindowSystem& system = engine.System();
  (void)system.SetValue(sheet.handle, index);
  int at = 0;
  ForEachContained(sheet, [&](ControlObject& tab) {
    (void)system.ShowWindow(tab.handle, ++at == index ? platform::kSwShow : platform::kSwHide);
  });
}

// "EVENT:TabChanging": the body sees it while the old tab still shows; the
// change follows once the body is done with it.
class TabChangingRecord final : public EventRecord {
 public:
  TabChangingRecord(EventEngine& engine, int index) : engine_(engine), index_(index) {}
  void AfterDelivery() override {
    if (control == nullptr || index_ == ChosenTab(engine_, *control)) return;
    (void)StoreUseNumber(*control, index_);
    Show(engine_, *control, index_);
    RaiseControlEvent(engine_, *control, kEventNewSelection);
  }

 private:
  EventEngine& engine_;
  int index_;
};

}  // namespace

int TabIndex(const ControlObject& tab) {
  if (tab.container == nullptr) return 0;
  int index = 0;
  int found = 0;
  ForEachContained(*tab.container, [&](ControlObject& other) {
    ++index;
    if (&other == &tab) found = index;
  });
  return found;
}

int ChosenTab(EventEngine& engine, const ControlObject& sheet) {
  return static_cast<int>(engine.System().GetWindowInfo(sheet.handle)->value);
}

void ShowTab(EventEngine& engine, ControlObject& sheet, int index, bool raise) {
  if (index < 1 || index > TabCount(sheet)) return;
  if (!raise) {
    (void)StoreUseNumber(sheet, index);
    Show(engine, sheet, index);
    return;
  }
  if (index == ChosenTab(engine, sheet)) return;
  WindowObject& window = *sheet.window;
  auto changing = std::make_unique<TabChangingRecord>(engine, index);
  static_cast<EventRecord&>(*changing) =
      *MakeInputEventRecord(engine, window, kEventTabChanging, &sheet);
  window.events.Append(std::move(changing));
}

void RevealSelectedControl(EventEngine& engine, ControlObject& control) {
  // A field keeps its text: what the user typed may already be there.
  if (!TakesTypedText(control)) DisplayControl(engine, control);
  for (ControlObject* inner = &control; inner->container != nullptr; inner = inner->container) {
    ControlObject& holder = *inner->container;
    if (holder.type == rsc::kTab && holder.container != nullptr &&
        !engine.System().IsWindowVisible(holder.handle)) {
      ShowTab(engine, *holder.container, TabIndex(holder), false);
    }
  }
}

void SetUpSheet(EventEngine& engine, ControlObject& sheet) {
  const std::int64_t held = sheet.use_address != nullptr ? UseNumber(sheet) : 0;
  ShowTab(engine, sheet, held >= 1 && held <= TabCount(sheet) ? static_cast<int>(held) : 1, false);
}

void DisplaySheet(EventEngine& engine, ControlObject& sheet) {
  if (sheet.use_address == nullptr) return;
  ShowTab(engine, sheet, static_cast<int>(UseNumber(sheet)), false);
}

}  // namespace vaultrix::windows
