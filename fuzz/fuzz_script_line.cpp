// Arbitrary bytes as an automation script: every line is split into words,
// and every word read as a control reference, a key and a scroll action, as
// the runner reads them. Splitting must round-trip: the words written back,
// each quoted with escapes, split into the same words again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drivers/headless/automation.h"
#include "platform/drivers/headless/script.h"

namespace headless = vaultrix::platform::headless;

namespace {

std::string QuotedWord(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 0x20 || byte >= 0x7F) {
      char escape[5];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

void CheckLine(std::string_view line) {
  std::vector<headless::ScriptWord> words;
  std::string error;
  if (!headless::SplitScriptLine(line, &words, &error)) {
    if (error.empty()) std::abort();  // a refusal always says why
    return;
  }
  std::string written;
  for (const headless::ScriptWord& word : words) {
    if (!word.quoted && (word.text.empty() || word.text.find_first_of(" \t\r") != std::string::npos)) {
      std::abort();
    }
    const headless::ControlRef ref = headless::ControlRef::Parse(word.text);
    if (!ref.number && ref.text != word.text) std::abort();
    (void)ref.Describe();
    (void)headless::ParseKey(word.text);
    (void)headless::ParseScrollAction(word.text);
    written += QuotedWord(word.text);
    written += ' ';
  }
  written += "# a comment";
  std::vector<headless::ScriptWord> again;
  if (!headless::SplitScriptLine(written, &again, &error)) std::abort();
  if (again.size() != words.size()) std::abort();
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (!again[i].quoted || again[i].text != words[i].text) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= script.size()) {
    std::size_t end = script.find('\n', start);
    if (end == std::string_view::npos) end = script.size();
    CheckLine(script.substr(start, end - start));
    start = end + 1;
  }
  return 0;
}
