// Entry fields between their use variable and their text.
#include "runtime/windows/ctlentry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "runtime/windows/picture.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
namespace {

// The picture of an entry; an entry without one shows its value as it is.
bool PictureOf(const ControlObject& entry, Picture& picture) {
  return !entry.picture.empty() && CompilePicture(entry.picture, picture);
}

PictureValue ValueOf(const ControlObject& entry, std::string& text_room) {
  if (entry.use_address == nullptr) return PictureValue::Long(0);
  switch (entry.use_type) {
    case rsc::kUseByte:
      return PictureValue::Long(*static_cast<const std::uint8_t*>(entry.use_address));
    case rsc::kUseLong:
      return PictureValue::Long(*static_cast<const std::int32_t*>(entry.use_address));
    default: {
      const char* chars = static_cast<const char*>(entry.use_address);
      text_room.assign(chars, entry.use_size);
      while (!text_room.empty() && text_room.back() == ' ') text_room.pop_back();
      return PictureValue::Text(text_room);
    }
  }
}

std::string Plain(const PictureValue& value) {
  return value.type == ValueType::kText ? std::string(value.text)
                                        : std::to_string(value.long_value);
}

// Stores a read value; false (nothing stored) when a number does not fit
// the variable, which must not wrap round to another value.
bool Store(ControlObject& entry, const DeformattedValue& value) {
  if (entry.use_address == nullptr) return true;
  std::optional<std::int64_t> number = value.long_value;
  if (value.type == ValueType::kDecimal) number = value.decimal_value.ToLong();
  if (value.type == ValueType::kReal) {
    number = value.real_value >= -2147483648.0 && value.real_value <= 2147483647.0
                 ? std::optional<std::int64_t>(static_cast<std::int64_t>(value.real_value))
                 : std::nullopt;
  }
  switch (entry.use_type) {
    case rsc::kUseByte:
      if (!number || *number < 0 || *number > 255) return false;
      *static_cast<std::uint8_t*>(entry.use_address) = static_cast<std::uint8_t>(*number);
      return true;
    case rsc::kUseLong:
      if (!number || *number < INT32_MIN || *number > INT32_MAX) return false;
      *static_cast<std::int32_t*>(entry.use_address) = static_cast<std::int32_t>(*number);
      return true;
    default: {
      // A string variable: blank-padded to its size.
      char* chars = static_cast<char*>(entry.use_address);
      std::string text;
      switch (value.type) {
        case ValueType::kText: text = value.text.str(); break;
        case ValueType::kDecimal: text = value.decimal_value.ToString(); break;
        case ValueType::kReal: text = std::to_string(value.real_value); break;
        case ValueType::kLong: text = std::to_string(value.long_value); break;
      }
      std::memset(chars, ' ', entry.use_size);
      std::memcpy(chars, text.data(), std::min<std::size_t>(text.size(), entry.use_size));
      return true;
    }
  }
}

// Reads a text as the entry's picture (or, without one, as its variable's
// type) would.
bool Read(const ControlObject& entry, std::string_view text, DeformattedValue& value) {
  Picture picture;
  if (PictureOf(entry, picture)) return DeformatValue(text, picture, value);
  if (entry.use_type == rsc::kUseByte || entry.use_type == rsc::kUseLong) {
    return CompilePicture("@n-11", picture) && DeformatValue(text, picture, value);
  }
  return CompilePicture("@s255", picture) && DeformatValue(text, picture, value);
}

}  // namespace

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
  return text == entry.shown_text || Read(entry, text, value);
}

void AcceptEntry(EventEngine& engine, ControlObject& entry) {
  platform::WindowSystem& system = engine.System();
  WindowObject& window = *entry.window;
  const std::string text = system.GetText(entry.handle);
  if (text != entry.shown_text) {
    DeformattedValue value;
    if (!Read(entry, text, value) || !Store(entry, value)) {
      auto rejected = std::make_unique<RejectedEventRecord>();
      std::unique_ptr<EventRecord> base = MakeEventRecord(engine, window, kEventRejected, &entry);
      static_cast<EventRecord&>(*rejected) = *base;
      rejected->reason = kRejectedUnreadable;
      window.events.Append(std::move(rejected));
      return;
    }
    DisplayEntry(system, entry);
  }
  window.events.Append(MakeEventRecord(engine, window, kEventAccepted, &entry));
}

}  // namespace vaultrix::windows
