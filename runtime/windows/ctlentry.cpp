// Entry fields between their use variable and their text.
#include "runtime/windows/ctlentry.h"

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/windows/picture.h"
#include "runtime/windows/controls.h"
#include "runtime/windows/resource_format.h"
#include "runtime/windows/use_variable.h"

namespace vaultrix::windows {
namespace {

// The picture of an entry; an entry without one shows its value as it is.
bool PictureOf(const ControlObject& entry, Picture& picture) {
  return !entry.picture.empty() && CompilePicture(entry.picture, picture);
}

PictureValue ValueOf(const ControlObject& entry, std::string& text_room) {
  // Without a variable there is nothing to show, not a zero.
  if (entry.use_address == nullptr) return PictureValue::Text(text_room);
  if (IsNumericUse(entry)) return PictureValue::Long(UseNumber(entry));
  text_room = UseText(entry);
  return PictureValue::Text(text_room);
}

std::string Plain(const PictureValue& value) {
  return value.type == ValueType::kText ? std::string(value.text)
                                        : std::to_string(value.long_value);
}

// Stores a read value; false (nothing stored) when a number does not fit
// the variable, which must not wrap round to another value, or lies outside
// the control's range.
// The whole number a read value holds; nullopt for a text or a real out of reach.
std::optional<std::int64_t> NumberOf(const DeformattedValue& value) {
  switch (value.type) {
    case ValueType::kText: return std::nullopt;
    case ValueType::kDecimal: return value.decimal_value.ToLong();
    case ValueType::kReal:
      if (value.real_value >= -2147483648.0 && value.real_value <= 2147483647.0) {
        return static_cast<std::int64_t>(value.real_value);
      }
      return std::nullopt;
    case ValueType::kLong: return value.long_value;
  }
  return std::nullopt;
}

bool InRange(const ControlObject& entry, const DeformattedValue& value) {
  const std::optional<std::int64_t> number = NumberOf(value);
  return !number || WithinRange(entry, *number);
}

bool Store(ControlObject& entry, const DeformattedValue& value) {
  if (!InRange(entry, value)) return false;
  if (entry.use_address == nullptr) return true;
  const std::optional<std::int64_t> number = NumberOf(value);
  if (IsNumericUse(entry)) {
    return number && StoreUseNumber(entry, *number);
  }
  std::string text;
  switch (value.type) {
    case ValueType::kText: text = value.text.str(); break;
    case ValueType::kDecimal: text = value.decimal_value.ToString(); break;
    case ValueType::kReal: text = std::to_string(value.real_value); break;
    case ValueType::kLong: text = std::to_string(value.long_value); break;
  }
  return StoreUseText(entry, text, /*cut=*/true);
}

// Reads a text as the entry's picture (or, without one, as its variable's
// type) would.
bool Read(const ControlObject& entry, std::string_view text, DeformattedValue& value) {
  Picture picture;
  if (PictureOf(entry, picture)) return DeformatValue(text, picture, value);
  if (IsNumericUse(entry)) {
    return CompilePicture("@n-11", picture) && DeformatValue(text, picture, value);
  }
  return CompilePicture("@s255", picture) && DeformatValue(text, picture, value);
}

}  // namespace

void LimitEntry(platform::WindowSystem& system, const ControlObject& entry) {
  Picture picture;
  if (!PictureOf(entry, picture) || picture.kind() != PictureKind::kString) return;
  (void)system.SetTextLimit(entry.handle, picture.width);
}

void DisplayEntry(platform::WindowSystem& system, ControlObject& entry) {
  std::string room;
  const PictureValue value = ValueOf(entry, room);
  Picture picture;
  entry.shown_text = PictureOf(entry, picture) ? FormatValue(value, picture).str() : Plain(value);
  (void)system.SetText(entry.handle, entry.shown_text);
}

bool EntryAcceptable(platform::WindowSystem& system, const ControlObject& entry) {
  const std::string text = system.GetText(entry.handle);
  DeformattedValue value;
  return text == entry.shown_text || (Read(entry, text, value) && InRange(entry, value));
}

void AcceptEntry(EventEngine& engine, ControlObject& entry) {
  platform::WindowSystem& system = engine.System();
  WindowObject& window = *entry.window;
  const std::string text = system.GetText(entry.handle);
  if (text != entry.shown_text) {
    DeformattedValue value;
    if (!Read(entry, text, value)) {
      RaiseRejected(engine, entry, kRejectedUnreadable);
      return;
    }
    if (!Store(entry, value)) {
      RaiseRejected(engine, entry,
                    entry.type == rsc::kSpin ? kRejectedOutOfRange : kRejectedUnreadable);
      return;
    }
    DisplayEntry(system, entry);
  }
  window.events.Append(MakeInputEventRecord(engine, window, kEventAccepted, &entry));
}

}  // namespace vaultrix::windows
