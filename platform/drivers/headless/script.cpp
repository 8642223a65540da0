// Script lines: splitting them into words and carrying out their commands.
#include "platform/drivers/headless/script.h"

#include <charconv>
#include <cstdio>

#include "platform/drivers/headless/window_dump.h"

namespace vaultrix::platform::headless {
namespace {

bool ReadEscape(std::string_view line, std::size_t& i, std::string& out, std::string* error) {
  if (i + 1 >= line.size()) {
    *error = "a '\\' ends the line";
    return false;
  }
  const char c = line[++i];
  switch (c) {
    case '"': out.push_back('"'); return true;
    case '\\': out.push_back('\\'); return true;
    case 't': out.push_back('\t'); return true;
    case 'n': out.push_back('\n'); return true;
    case 'x': {
      unsigned value = 0;
      if (i + 2 < line.size()) {
        auto [end, code] = std::from_chars(line.data() + i + 1, line.data() + i + 3, value, 16);
        if (code == std::errc() && end == line.data() + i + 3) {
          out.push_back(static_cast<char>(value));
          i += 2;
          return true;
        }
      }
      *error = "\\x needs two hexadecimal digits";
      return false;
    }
    default:
      *error = std::string("unknown escape \\") + c;
      return false;
  }
}

std::optional<std::int64_t> Number(const ScriptWord& word) {
  std::int64_t value = 0;
  const char* end = word.text.data() + word.text.size();
  auto [stop, error] = std::from_chars(word.text.data(), end, value);
  if (word.quoted || error != std::errc() || stop != end || word.text.empty()) return std::nullopt;
  return value;
}

// "2026-12-07" and "08:30" or "08:30:15".
std::optional<LocalDateTime> DateTime(std::string_view date, std::string_view time) {
  LocalDateTime at;
  int second = 0;
  char tail = 0;
  const std::string text = std::string(date) + " " + std::string(time);
  const int read = std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &at.year, &at.month,
                               &at.day, &at.hour, &at.minute, &second, &tail);
  if (read == 5 && time.size() == 5) {
    second = 0;
  } else if (read != 6) {
    return std::nullopt;
  }
  at.second = second;
  if (at.month < 1 || at.month > 12 || at.day < 1 || at.day > 31 || at.hour > 23 ||
      at.minute > 59 || at.second > 59) {
    return std::nullopt;
  }
  return at;
}

bool DumpHas(const std::string& dump, const std::string& text) {
  return dump.find(text) != std::string::npos;
}

}  // namespace

bool SplitScriptLine(std::string_view line, std::vector<ScriptWord>* words, std::string* error) {
  words->clear();
  std::size_t i = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    // "#12" and "#-10" name controls; any other '#' starts a comment.
    const char next = i + 1 < line.size() ? line[i + 1] : ' ';
    if (c == '#' && next != '-' && (next < '0' || next > '9')) break;
    ScriptWord word;
    if (c == '"') {
      word.quoted = true;
      bool closed = false;
      for (++i; i < line.size(); ++i) {
        if (line[i] == '"') {
          closed = true;
          ++i;
          break;
        }
        if (line[i] == '\\') {
          if (!ReadEscape(line, i, word.text, error)) return false;
        } else {
          word.text.push_back(line[i]);
        }
      }
      if (!closed) {
        *error = "a quoted text is not closed";
        return false;
      }
    } else {
      while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') {
        word.text.push_back(line[i++]);
      }
    }
    words->push_back(std::move(word));
  }
  return true;
}

bool ScriptRunner::RunLine(std::string_view line, std::string* error) {
  std::vector<ScriptWord> words;
  if (!SplitScriptLine(line, &words, error)) return false;
  if (words.empty()) return true;
  return Command(words, error);
}

bool ScriptRunner::Command(const std::vector<ScriptWord>& w, std::string* error) {
  const std::string& name = w[0].text;
  const std::size_t args = w.size() - 1;
  auto usage = [&](const char* form) {
    *error = std::string("usage: ") + form;
    return false;
  };
  auto ref = [&](std::size_t i) { return ControlRef::Parse(w[i].text); };

  if (name == "limit") {
    const auto ms = args == 1 ? Number(w[1]) : std::nullopt;
    if (!ms || *ms <= 0) return usage("limit MILLISECONDS");
    automation_.SetWaitLimit(std::chrono::milliseconds(*ms));
    return true;
  }
  if (closed_) {
    *error = "the program has been closed";
    return false;
  }
  if (!automation_.Settle(error)) return false;

  if (name == "wait") return args == 0 || usage("wait");
  if (name == "echo") {
    for (std::size_t i = 1; i < w.size(); ++i) out_ << (i > 1 ? " " : "") << w[i].text;
    out_ << "\n";
    return true;
  }
  if (name == "dump") {
    if (args != 0) return usage("dump");
    out_ << automation_.Dump() << std::flush;
    return true;
  }
  if (name == "expect" || name == "expect-not") {
    if (args != 1) return usage("expect TEXT");
    const std::string dump = automation_.Dump();
    const bool want = name == "expect";
    if (DumpHas(dump, w[1].text) == want) return true;
    *error = std::string(want ? "the dump shows no " : "the dump shows ") + Quoted(w[1].text) +
             "\n" + dump;
    return false;
  }
  if (name == "choose") {
    if (args == 0) return usage("choose MENU... ITEM");
    std::vector<std::string> path;
    for (std::size_t i = 1; i < w.size(); ++i) path.push_back(w[i].text);
    return automation_.Choose(path, error);
  }
  if (name == "press") return args == 1 ? automation_.Press(ref(1), error) : usage("press BUTTON");
  if (name == "type") {
    return args == 2 ? automation_.Type(ref(1), w[2].text, error) : usage("type FIELD TEXT");
  }
  if (name == "focus") return args == 1 ? automation_.Focus(ref(1), error) : usage("focus CONTROL");
  if (name == "click" || name == "double-click" || name == "right-click") {
    if (args != 1) return usage("click CONTROL");
    return automation_.Click(ref(1), name == "right-click" ? MouseButton::kRight : MouseButton::kLeft,
                             name == "double-click", error);
  }
  if (name == "key") {
    if (args == 0) return usage("key KEY...");
    for (std::size_t i = 1; i < w.size(); ++i) {
      const std::optional<KeyPress> key = ParseKey(w[i].text);
      if (!key) {
        *error = "unknown key " + Quoted(w[i].text);
        return false;
      }
      if (!automation_.PressKey(*key, error) || !automation_.Settle(error)) return false;
    }
    return true;
  }
  if (name == "chars") {
    return args == 1 ? automation_.TypeCharacters(w[1].text, error) : usage("chars TEXT");
  }
  if (name == "pick") {
    if (args != 2 && args != 3) return usage("pick LIST ROW [double|right]");
    RowClick click = RowClick::kClick;
    if (args == 3) {
      if (w[3].text == "double") {
        click = RowClick::kDoubleClick;
      } else if (w[3].text == "right") {
        click = RowClick::kRightClick;
      } else {
        return usage("pick LIST ROW [double|right]");
      }
    }
    if (const auto row = Number(w[2])) {
      return automation_.PickRow(ref(1), static_cast<int>(*row), click, error);
    }
    return automation_.PickRow(ref(1), w[2].text, click, error);
  }
  if (name == "scroll") {
    const auto action = args == 2 ? ParseScrollAction(w[2].text) : std::nullopt;
    if (!action) return usage("scroll LIST LineUp|LineDown|PageUp|PageDown|Top|Bottom");
    return automation_.ScrollList(ref(1), *action, error);
  }
  if (name == "thumb") {
    const auto position = args == 2 ? Number(w[2]) : std::nullopt;
    if (!position || *position < 0 || *position > 0x7FFF) return usage("thumb LIST POSITION");
    return automation_.DragThumb(ref(1), static_cast<int>(*position), error);
  }
  if (name == "answer") {
    return args == 1 ? automation_.AnswerMessageBox(w[1].text, error) : usage("answer BUTTON");
  }
  if (name == "file") {
    return args == 1 ? automation_.AnswerFileDialog(w[1].text, error) : usage("file PATH");
  }
  if (name == "file-cancel") {
    return args == 0 ? automation_.AnswerFileDialog(std::nullopt, error) : usage("file-cancel");
  }
  if (name == "popup") {
    return args == 1 ? automation_.ChoosePopupItem(ref(1), error) : usage("popup ITEM");
  }
  if (name == "popup-cancel") {
    return args == 0 ? automation_.DismissPopup(error) : usage("popup-cancel");
  }
  if (name == "clipboard") {
    if (args != 1) return usage("clipboard TEXT");
    automation_.SetClipboard(w[1].text);
    return true;
  }
  if (name == "expect-clipboard") {
    if (args != 1) return usage("expect-clipboard TEXT");
    const std::optional<std::string> held = automation_.Clipboard();
    if (held && *held == w[1].text) return true;
    *error = "the clipboard holds " + (held ? Quoted(*held) : std::string("nothing")) +
             ", not " + Quoted(w[1].text);
    return false;
  }
  if (name == "expect-empty-clipboard") {
    if (args != 0) return usage("expect-empty-clipboard");
    const std::optional<std::string> held = automation_.Clipboard();
    if (!held || held->empty()) return true;
    *error = "the clipboard holds " + Quoted(*held);
    return false;
  }
  if (name == "advance") {
    const auto ms = args == 1 ? Number(w[1]) : std::nullopt;
    if (!ms) return usage("advance MILLISECONDS");
    return automation_.AdvanceClock(*ms, error);
  }
  if (name == "clock") {
    const auto at = args == 2 ? DateTime(w[1].text, w[2].text) : std::nullopt;
    if (!at) return usage("clock YYYY-MM-DD HH:MM[:SS]");
    return automation_.SetClock(*at, error);
  }
  if (name == "close") {
    if (args != 0) return usage("close");
    closed_ = true;
    return automation_.CloseAll(error);
  }
  *error = "unknown command " + Quoted(name);
  return false;
}

int ScriptRunner::Run(std::istream& script, std::ostream& err) {
  std::string line;
  int number = 0;
  while (std::getline(script, line)) {
    ++number;
    std::string error;
    if (!RunLine(line, &error)) {
      err << "line " << number << ": " << error << "\n";
      if (!closed_) {
        std::string ignored;
        (void)automation_.CloseAll(&ignored);
      }
      return 1;
    }
  }
  if (closed_) return 0;
  std::string error;
  if (!automation_.CloseAll(&error)) {
    err << "at the end of the script: " << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace vaultrix::platform::headless
