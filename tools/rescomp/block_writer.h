// Setting values, texts and small blocks of a description source: the part
// of the compiler that reads one setting's values and writes what it names
// (a text, a font or colour block, a status-bar list, a drop-target list, a
// use descriptor) into the body, before the record that refers to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "runtime/windows/resource_format.h"
#include "tools/rescomp/body_writer.h"
#include "tools/rescomp/source_reader.h"

namespace vaultrix::rescomp {
namespace rsc = windows::rsc;

using Kind = Value::Kind;

inline char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

inline const rsc::KindLayout* ControlLayout(std::string_view word) {
  if (word == "separator") return rsc::FindKindLayout(rsc::kItem);
  for (const rsc::KindLayout& layout : rsc::kKindLayouts) {
    if (layout.word == word) return &layout;
  }
  return nullptr;
}

class BlockWriter {
 public:
  explicit BlockWriter(SourceError* error) : error_(error) {}

 protected:
  bool Fail(int line, std::string message) {
    error_->line = line;
    error_->message = std::move(message);
    return false;
  }

  // --- values -------------------------------------------------------------

  bool OneText(const Statement& s, std::string* text) {
    if (s.values.size() != 1 || s.values[0].kind != Kind::kText) {
      return Fail(s.line, "'" + s.word + "' takes one text");
    }
    *text = s.values[0].text;
    return true;
  }
  bool NoChildren(const Statement& s) {
    if (s.children.empty()) return true;
    return Fail(s.children[0].line, "nothing can be indented below '" + s.word + "'");
  }
  bool Numbers(const Statement& s, std::size_t least, std::size_t most,
               std::vector<std::int64_t>* numbers, bool allow_default = false) {
    if (s.values.size() < least || s.values.size() > most) {
      return Fail(s.line, "'" + s.word + "' takes " + std::to_string(least) +
                              (least == most ? "" : " to " + std::to_string(most)) + " numbers");
    }
    for (const Value& v : s.values) {
      if (v.kind == Kind::kNumber) {
        numbers->push_back(v.number);
      } else if (v.kind == Kind::kDefault && allow_default) {
        numbers->push_back(rsc::kDefaultPosition);
      } else {
        return Fail(s.line, "'" + s.word + "' takes whole numbers");
      }
    }
    return true;
  }
  bool Reals(const Statement& s, std::size_t least, std::size_t most, std::vector<double>* reals) {
    if (s.values.size() < least || s.values.size() > most) {
      return Fail(s.line, "'" + s.word + "' takes " + std::to_string(least) + " to " +
                              std::to_string(most) + " numbers");
    }
    for (const Value& v : s.values) {
      if (v.kind == Kind::kNumber) {
        reals->push_back(static_cast<double>(v.number));
      } else if (v.kind == Kind::kReal) {
        reals->push_back(v.real);
      } else {
        return Fail(s.line, "'" + s.word + "' takes numbers");
      }
    }
    return true;
  }

  // Splits `element`'s children into its settings, each allowed and given
  // once, and the elements it holds.
  bool Split(const Statement& element, const std::vector<std::string_view>& allowed,
             std::vector<const Statement*>* settings, std::vector<const Statement*>* elements) {
    std::set<std::string> seen;
    for (const Statement& child : element.children) {
      if (ControlLayout(child.word) || IsOneOf(child.word, {"band", "window", "report"})) {
        elements->push_back(&child);
        continue;
      }
      if (std::find(allowed.begin(), allowed.end(), child.word) == allowed.end()) {
        return Fail(child.line, "'" + child.word + "' is not a setting of '" + element.word + "'");
      }
      if (!seen.insert(child.word).second) {
        return Fail(child.line, "'" + child.word + "' is given twice");
      }
      if (!NoChildren(child)) return false;
      settings->push_back(&child);
    }
    return true;
  }
  static const Statement* Find(const std::vector<const Statement*>& settings,
                               std::string_view word) {
    for (const Statement* s : settings) {
      if (s->word == word) return s;
    }
    return nullptr;
  }

  // Writes the text of setting `word` (when given) and answers its offset.
  bool TextOf(const std::vector<const Statement*>& settings, std::string_view word,
              std::uint32_t* at) {
    *at = 0;
    const Statement* s = Find(settings, word);
    if (!s) return true;
    std::string text;
    if (!OneText(*s, &text)) return false;
    *at = body_.Text(text);
    return true;
  }

  // --- blocks ---------------------------------------------------------------

  bool Position(const std::vector<const Statement*>& settings, std::int64_t position[4]) {
    std::fill(position, position + 4, rsc::kDefaultPosition);
    const Statement* s = Find(settings, "at");
    if (!s) return true;
    std::vector<std::int64_t> numbers;
    if (!Numbers(*s, 4, 4, &numbers, true)) return false;
    std::copy(numbers.begin(), numbers.end(), position);
    return true;
  }
  void PutPosition(std::uint32_t at, const std::int64_t position[4]) {
    for (int i = 0; i < 4; ++i) body_.I32(at + 4 * i, position[i]);
  }

  bool Font(const std::vector<const Statement*>& settings, std::uint32_t* at) {
    *at = 0;
    const Statement* s = Find(settings, "font");
    if (!s) return true;
    if (s->values.size() < 2 || s->values.size() > 4 || s->values[0].kind != Kind::kText) {
      return Fail(s->line, "'font' takes a face, points, and optionally colour and weight");
    }
    std::int64_t numbers[3] = {0, -1, -1};
    for (std::size_t i = 1; i < s->values.size(); ++i) {
      if (s->values[i].kind != Kind::kNumber) return Fail(s->line, "'font' takes whole numbers");
      numbers[i - 1] = s->values[i].number;
    }
    std::uint32_t face = body_.Text(s->values[0].text);
    *at = body_.Reserve(rsc::kFontBlockSize);
    body_.U32(*at, face);
    for (int i = 0; i < 3; ++i) body_.I32(*at + 4 + 4 * i, numbers[i]);
    return true;
  }

  bool Colours(const std::vector<const Statement*>& settings, std::uint32_t* at) {
    *at = 0;
    const Statement* s = Find(settings, "colours");
    if (!s) return true;
    std::vector<std::int64_t> numbers;
    if (!Numbers(*s, 1, 3, &numbers)) return false;
    numbers.resize(3, -1);
    *at = body_.Reserve(rsc::kColourBlockSize);
    for (int i = 0; i < 3; ++i) body_.I32(*at + 4 * i, numbers[i]);
    return true;
  }

  bool StatusBar(const std::vector<const Statement*>& settings, std::uint32_t* at) {
    *at = 0;
    const Statement* s = Find(settings, "status-bar");
    if (!s) return true;
    std::vector<std::int64_t> widths;
    if (!Numbers(*s, 1, 32, &widths)) return false;
    if (std::find(widths.begin(), widths.end(), 0) != widths.end()) {
      return Fail(s->line, "a status-bar zone cannot be 0 wide (0 ends the list)");
    }
    *at = body_.Reserve(static_cast<std::uint32_t>(4 * (widths.size() + 1)));
    for (std::size_t i = 0; i < widths.size(); ++i) body_.I32(*at + 4 * i, widths[i]);
    return true;
  }

  // Nodes are written last first, so every link points back at a node
  // already written.
  bool DropList(const std::vector<const Statement*>& settings, std::uint32_t* at) {
    *at = 0;
    const Statement* s = Find(settings, "drop");
    if (!s) return true;
    if (s->values.empty()) return Fail(s->line, "'drop' takes one or more texts");
    std::vector<std::uint32_t> ids;
    for (const Value& v : s->values) {
      if (v.kind != Kind::kText) return Fail(s->line, "'drop' takes texts");
      ids.push_back(body_.Text(v.text));
    }
    std::uint32_t next = 0;
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
      std::uint32_t node = body_.Reserve(rsc::kDropNodeSize);
      body_.U32(node, *id);
      body_.U32(node + 4, next);
      next = node;
    }
    *at = next;
    return true;
  }

  bool UseDescriptor(const Statement& s, std::uint32_t* at) {
    std::uint8_t type = 0;
    std::int64_t size = 0;
    const std::vector<Value>& v = s.values;
    std::string word = v.empty() || v[0].kind != Kind::kWord ? "" : v[0].text;
    if (word == "byte" && v.size() == 1) {
      type = rsc::kUseByte, size = 1;
    } else if (word == "long" && v.size() == 1) {
      type = rsc::kUseLong, size = 4;
    } else if ((word == "string" || word == "memo") && v.size() == 2 &&
               v[1].kind == Kind::kNumber && v[1].number > 0) {
      type = word == "string" ? rsc::kUseString : rsc::kUseMemo, size = v[1].number;
    } else if (word == "raw" && v.size() == 3 && v[1].kind == Kind::kNumber &&
               v[2].kind == Kind::kNumber && v[1].number >= 0 && v[1].number <= 0xFF &&
               v[2].number >= 0) {
      type = static_cast<std::uint8_t>(v[1].number), size = v[2].number;
    } else {
      return Fail(s.line, "'use' takes byte, long, string LENGTH, memo LENGTH or raw TYPE SIZE");
    }
    *at = body_.Reserve(rsc::kUseDescriptorSize);
    body_.U8(*at, type);
    body_.I32(*at + 1, size);
    return true;
  }

  SourceError* error_;
  Body body_;
};

}  // namespace vaultrix::rescomp
