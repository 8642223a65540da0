// Check boxes and option groups with their radio buttons. A check box holds
// 1 (TRUE) or 0 (FALSE) in its variable; an option group holds the value
// text of its chosen radio (the radio's position from 1 when it has none),
// as a number when its variable is numeric. Either stores the new value
// before it raises "EVENT:Accepted".
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "runtime/windows/control_kinds.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {
namespace {

std::vector<ControlObject*> RadiosOf(const ControlObject& option) {
  std::vector<ControlObject*> radios;
  ForEachContained(option, [&](ControlObject& radio) { radios.push_back(&radio); });
  return radios;
}

// What the option group's variable takes for its `index`-th radio (from 1).
std::string RadioValue(const ControlObject& radio, int index) {
  return radio.value_text.empty() ? std::to_string(index) : radio.value_text;
}

bool SameValue(std::string_view a, std::string_view b) {
  auto trim = [](std::string_view s) {
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  a = trim(a);
  b = trim(b);
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// Marks the `index`-th radio (0: none) as chosen in the window system.
void ShowChoice(EventEngine& engine, ControlObject& option, int index) {
  platform::WindowSystem& system = engine.System();
  (void)system.SetValue(option.handle, index);
  int at = 0;
  for (ControlObject* radio : RadiosOf(option)) {
    (void)system.SetCheck(radio->handle, ++at == index ? 1 : 0);
  }
}

}  // namespace

void ToggleCheck(EventEngine& engine, ControlObject& check) {
  platform::WindowSystem& system = engine.System();
  const int now = system.GetWindowInfo(check.handle)->check != 0 ? 0 : 1;
  (void)StoreUseNumber(check, now);
  (void)system.SetCheck(check.handle, now);
  RaiseControlEvent(engine, check, kEventAccepted);
}

void DisplayCheck(EventEngine& engine, ControlObject& check) {
  if (check.use_address == nullptr) return;
  (void)engine.System().SetCheck(check.handle, UseTruth(check) ? 1 : 0);
}

int ChosenRadio(EventEngine& engine, const ControlObject& option) {
  return static_cast<int>(engine.System().GetWindowInfo(option.handle)->value);
}

void ChooseRadio(EventEngine& engine, ControlObject& radio) {
  ControlObject* option = radio.container;
  if (option == nullptr) return;
  const std::vector<ControlObject*> radios = RadiosOf(*option);
  const auto at = std::find(radios.begin(), radios.end(), &radio);
  const int index = static_cast<int>(at - radios.begin()) + 1;
  if (index == ChosenRadio(engine, *option)) return;  // already the choice
  const std::string value = RadioValue(radio, index);
  if (!StoreUseText(*option, value, /*cut=*/true)) (void)StoreUseNumber(*option, index);
  ShowChoice(engine, *option, index);
  // The group is the field; a group without a number names the radio.
  RaiseControlEvent(engine, option->number != 0 ? *option : radio, kEventAccepted);
}

void MoveRadioChoice(EventEngine& engine, ControlObject& radio, int delta) {
  if (radio.container == nullptr) return;
  const std::vector<ControlObject*> radios = RadiosOf(*radio.container);
  const auto at = std::find(radios.begin(), radios.end(), &radio);
  const long next = (at - radios.begin()) + delta;
  if (next < 0 || next >= static_cast<long>(radios.size())) return;
  ControlObject& chosen = *radios[static_cast<std::size_t>(next)];
  (void)engine.System().SetFocus(chosen.handle);
  ChooseRadio(engine, chosen);
}

void DisplayOption(EventEngine& engine, ControlObject& option) {
  if (option.use_address == nullptr) return;
  const std::string held = UseText(option);
  int index = 0;
  int chosen = 0;
  for (ControlObject* radio : RadiosOf(option)) {
    ++index;
    const std::string value = RadioValue(*radio, index);
    // A numeric variable holds the position of a radio whose value is no number.
    const bool by_position = IsNumericUse(option) && !ParseWholeNumber(value);
    if (chosen == 0 && (by_position ? UseNumber(option) == index : SameValue(held, value))) {
      chosen = index;
    }
  }
  ShowChoice(engine, option, chosen);
}

}  // namespace vaultrix::windows
