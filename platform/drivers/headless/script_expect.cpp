// The checks of script lines: the dump, the clipboard and files, each with
// a message that says what was there instead.
#include "platform/drivers/headless/script.h"
#include "platform/drivers/headless/script_checks.h"
#include "platform/drivers/headless/window_dump.h"

namespace vaultrix::platform::headless {
namespace {

std::string Held(const std::optional<std::string>& clipboard) {
  return clipboard ? Quoted(*clipboard) : std::string("nothing");
}

}  // namespace

std::optional<bool> ScriptRunner::Check(const std::vector<ScriptWord>& w, std::string* error) {
  const std::string& name = w[0].text;
  const std::size_t args = w.size() - 1;
  auto usage = [&](const char* form) {
    *error = std::string("usage: ") + form;
    return false;
  };
  if (name == "expect" || name == "expect-not") {
    if (args != 1) return usage("expect TEXT");
    const std::string dump = automation_.Dump();
    const bool want = name == "expect";
    if ((dump.find(w[1].text) != std::string::npos) == want) return true;
    *error = std::string(want ? "the dump shows no " : "the dump shows ") + Quoted(w[1].text) +
             "\n" + dump;
    return false;
  }
  if (name == "expect-match") {
    if (args != 1) return usage("expect-match REGEX");
    const std::string dump = automation_.Dump();
    if (SomeLineMatches(dump, w[1].text, error)) return true;
    if (error->empty()) *error = "no line of the dump matches " + Quoted(w[1].text) + "\n" + dump;
    return false;
  }
  if (name == "expect-clipboard" || name == "expect-clipboard-not") {
    const bool want = name == "expect-clipboard";
    if (args != 1) return usage(want ? "expect-clipboard TEXT" : "expect-clipboard-not TEXT");
    const std::optional<std::string> held = automation_.Clipboard();
    if ((held && *held == w[1].text) == want) return true;
    *error = want ? "the clipboard holds " + Held(held) + ", not " + Quoted(w[1].text)
                  : "the clipboard holds " + Quoted(w[1].text);
    return false;
  }
  if (name == "expect-empty-clipboard") {
    if (args != 0) return usage("expect-empty-clipboard");
    const std::optional<std::string> held = automation_.Clipboard();
    if (!held || held->empty()) return true;
    *error = "the clipboard holds " + Quoted(*held);
    return false;
  }
  if (name == "expect-clipboard-match") {
    if (args != 1) return usage("expect-clipboard-match REGEX");
    const std::optional<std::string> held = automation_.Clipboard();
    if (SomeLineMatches(held.value_or(""), w[1].text, error)) return true;
    if (error->empty()) {
      *error = "the clipboard holds " + Held(held) + ", which does not match " + Quoted(w[1].text);
    }
    return false;
  }
  if (name == "expect-file" || name == "expect-no-file") {
    const bool want = name == "expect-file";
    if (want ? args != 1 && args != 2 : args != 1) {
      return usage(want ? "expect-file PATH [TEXT]" : "expect-no-file PATH");
    }
    const std::optional<std::string> path = ScriptPath(w[1].text, base_directory_, error);
    if (!path) return false;
    if (!want) return FileIsMissing(*path, error);
    return FileHolds(*path, args == 2 ? std::optional<std::string>(w[2].text) : std::nullopt,
                     error);
  }
  return std::nullopt;
}

}  // namespace vaultrix::platform::headless
