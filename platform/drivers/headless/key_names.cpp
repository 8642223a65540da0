// Key and scroll-action names as scripts write them.
#include <array>
#include <cctype>
#include <charconv>
#include <string>

#include "platform/drivers/headless/automation.h"

namespace vaultrix::platform::headless {
namespace {

struct Named {
  std::string_view name;
  int value;
};

constexpr std::array<Named, 19> kKeys = {{
    {"enter", kVkReturn},   {"return", kVkReturn}, {"tab", kVkTab},       {"escape", kVkEscape},
    {"esc", kVkEscape},     {"space", kVkSpace},   {"backspace", kVkBack}, {"pageup", kVkPrior},
    {"pagedown", kVkNext},  {"end", kVkEnd},       {"home", kVkHome},     {"left", kVkLeft},
    {"up", kVkUp},          {"right", kVkRight},   {"down", kVkDown},     {"insert", kVkInsert},
    {"delete", kVkDelete},  {"del", kVkDelete},    {"capslock", kVkCapital},
}};

constexpr std::array<Named, 6> kScrollActions = {{
    {"lineup", kSbLineUp},
    {"linedown", kSbLineDown},
    {"pageup", kSbPageUp},
    {"pagedown", kSbPageDown},
    {"top", kSbTop},
    {"bottom", kSbBottom},
}};

std::string Lower(std::string_view text) {
  std::string out;
  for (char c : text) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  return out;
}

template <std::size_t N>
std::optional<int> Lookup(const std::array<Named, N>& table, std::string_view name) {
  const std::string wanted = Lower(name);
  for (const Named& entry : table) {
    if (entry.name == wanted) return entry.value;
  }
  return std::nullopt;
}

std::optional<KeyPress> NamedKey(std::string_view name) {
  KeyPress key;
  if (name.size() == 1) {
    const auto c = static_cast<unsigned char>(name[0]);
    key.character = name[0];
    if (std::isalpha(c)) {
      key.virtual_key = std::toupper(c);
      if (std::isupper(c)) key.modifiers |= kShift;
    } else if (std::isdigit(c)) {
      key.virtual_key = c;
    } else if (c == ' ') {
      key.virtual_key = kVkSpace;
    } else if (c > 0x20 && c < 0x7F) {
      key.virtual_key = kVkPacket;
    } else {
      return std::nullopt;
    }
    return key;
  }
  const std::string lower = Lower(name);
  if (lower.size() >= 2 && lower[0] == 'f') {
    int number = 0;
    auto [end, error] = std::from_chars(lower.data() + 1, lower.data() + lower.size(), number);
    if (error == std::errc() && end == lower.data() + lower.size() && number >= 1 &&
        number <= 24) {
      key.virtual_key = kVkF1 + number - 1;
      return key;
    }
  }
  const std::optional<int> vk = Lookup(kKeys, name);
  if (!vk) return std::nullopt;
  key.virtual_key = *vk;
  if (*vk == kVkReturn) key.character = '\r';
  if (*vk == kVkSpace) key.character = ' ';
  if (*vk == kVkTab) key.character = '\t';
  if (*vk == kVkEscape) key.character = 0x1B;
  if (*vk == kVkBack) key.character = 0x08;
  return key;
}

}  // namespace

std::optional<KeyPress> ParseKey(std::string_view text) {
  int modifiers = 0;
  // "+" alone, or a name ending in "+" ("Ctrl++"), names the plus key.
  for (;;) {
    const std::size_t plus = text.find('+');
    if (plus == std::string_view::npos || plus + 1 == text.size() || plus == 0) break;
    const std::string modifier = Lower(text.substr(0, plus));
    if (modifier == "shift") {
      modifiers |= kShift;
    } else if (modifier == "ctrl" || modifier == "control") {
      modifiers |= kCtrl;
    } else if (modifier == "alt") {
      modifiers |= kAlt;
    } else {
      return std::nullopt;
    }
    text.remove_prefix(plus + 1);
  }
  std::optional<KeyPress> key = NamedKey(text);
  if (!key) return std::nullopt;
  key->modifiers |= modifiers;
  // Keys with Ctrl or Alt held type no character.
  if ((key->modifiers & (kCtrl | kAlt)) != 0) key->character = 0;
  return key;
}

std::optional<int> ParseScrollAction(std::string_view name) { return Lookup(kScrollActions, name); }

}  // namespace vaultrix::platform::headless
