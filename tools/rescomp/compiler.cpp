// Emits the body of a compiled description. Each record's texts and small
// blocks are written just before the record; a record's links to records
// written after it (next, first child, menu bar, toolbar) are patched in once
// those records exist.
#include "tools/rescomp/compiler.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "runtime/windows/resource_format.h"

namespace vaultrix::rescomp {
namespace rsc = windows::rsc;
namespace {

using Kind = Value::Kind;

char Upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

class Body {
 public:
  // The buffer offset of the next byte written.
  std::uint32_t Here() const {
    return static_cast<std::uint32_t>(bytes_.size()) + rsc::kBodyOrigin;
  }

  std::uint32_t Reserve(std::uint32_t size) {
    std::uint32_t at = Here();
    bytes_.resize(bytes_.size() + size, 0);
    return at;
  }
  std::uint32_t Text(const std::string& text) {
    std::uint32_t at = Reserve(static_cast<std::uint32_t>(text.size()) + 1);
    std::memcpy(&bytes_[at - rsc::kBodyOrigin], text.data(), text.size());
    return at;
  }
  void U8(std::uint32_t at, std::uint8_t value) { bytes_[at - rsc::kBodyOrigin] = value; }
  void U32(std::uint32_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes_[at - rsc::kBodyOrigin + i] = (value >> (8 * i)) & 0xFF;
  }
  void I32(std::uint32_t at, std::int64_t value) { U32(at, static_cast<std::uint32_t>(value)); }
  void F64(std::uint32_t at, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(at, static_cast<std::uint32_t>(bits));
    U32(at + 4, static_cast<std::uint32_t>(bits >> 32));
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

bool IsOneOf(std::string_view word, std::initializer_list<std::string_view> words) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

const rsc::KindLayout* ControlLayout(std::string_view word) {
  if (word == "separator") return rsc::FindKindLayout(rsc::kItem);
  for (const rsc::KindLayout& layout : rsc::kKindLayouts) {
    if (layout.word == word) return &layout;
  }
  return nullptr;
}

class Compiler {
 public:
  explicit Compiler(SourceError* error) : error_(error) {}

  bool Compile(const std::vector<Statement>& statements, CompiledModule* module) {
    if (statements.empty() || statements[0].word != "module") {
      return Fail(statements.empty() ? 1 : statements[0].line,
                  "a source starts with: module \"NAME\"");
    }
    const Statement& head = statements[0];
    if (!OneText(head, &module->module_name) || !NoChildren(head)) return false;
    if (module->module_name.empty()) return Fail(head.line, "the module name is empty");
    std::uint32_t first_link = body_.Reserve(4);
    std::uint32_t link = first_link;
    std::set<std::string> names;
    for (std::size_t i = 1; i < statements.size(); ++i) {
      const Statement& structure = statements[i];
      if (!IsOneOf(structure.word, {"window", "report"})) {
        return Fail(structure.line, "'" + structure.word +
                                        "' cannot stand here: a module holds "
                                        "windows and reports");
      }
      std::string name;
      if (!OneText(structure, &name)) return false;
      std::string folded;
      for (char c : name) folded += Upper(c);
      if (name.empty() || !names.insert(folded).second) {
        return Fail(structure.line, "structure name \"" + name + "\" is empty or used twice");
      }
      std::uint32_t record = 0;
      if (!EmitStructure(structure, name, &record)) return false;
      body_.U32(link, record);
      link = record + rsc::kNextAt;
    }
    if (statements.size() == 1) return Fail(head.line, "the module holds no window or report");
    module->resource_name = ResourceNameOfModule(module->module_name);
    module->bytes.assign(module->module_name.begin(), module->module_name.end());
    module->bytes.push_back(0);
    module->bytes.insert(module->bytes.end(), body_.bytes().begin(), body_.bytes().end());
    return true;
  }

 private:
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

  // The settings among `element`'s children, each allowed and given once.
  bool Settings(const Statement& element, std::initializer_list<std::string_view> allowed,
                std::vector<const Statement*>* settings, std::vector<const Statement*>* elements,
                std::string_view what) {
    std::set<std::string> seen;
    for (const Statement& child : element.children) {
      if (ControlLayout(child.word) || IsOneOf(child.word, {"band", "window", "report"})) {
        elements->push_back(&child);
        continue;
      }
      if (!IsOneOf(child.word, allowed)) {
        return Fail(child.line, "'" + child.word + "' is not a setting of " + std::string(what));
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

  // --- structures -------------------------------------------------------------

  bool EmitStructure(const Statement& s, const std::string& name, std::uint32_t* record) {
    bool report = s.word == "report";
    std::vector<const Statement*> settings, elements;
    if (report) {
      if (!Settings(s, {"title", "at", "font", "attributes", "events"}, &settings, &elements,
                    "a report")) {
        return false;
      }
    } else if (!Settings(s,
                         {"title", "at", "events", "attributes", "font", "colours", "icon", "help",
                          "status-text", "palette", "timer", "status-bar", "drop"},
                         &settings, &elements, "a window")) {
      return false;
    }
    numbers_.clear();
    std::uint32_t title, font, icon, help, status_text, widths, colours, drop;
    if (!TextOf(settings, "title", &title)) return false;
    std::uint32_t name_at = body_.Text(name);
    if (!Font(settings, &font) || !TextOf(settings, "icon", &icon) ||
        !TextOf(settings, "help", &help) || !TextOf(settings, "status-text", &status_text) ||
        !StatusBar(settings, &widths) || !Colours(settings, &colours) ||
        !DropList(settings, &drop)) {
      return false;
    }
    std::int64_t position[4];
    if (!Position(settings, position)) return false;
    std::uint32_t numbers[4] = {0, 0, 0, 0};  // events, attributes, palette, timer
    const char* number_words[4] = {"events", "attributes", "palette", "timer"};
    for (int i = 0; i < 4; ++i) {
      if (const Statement* n = Find(settings, number_words[i])) {
        std::vector<std::int64_t> value;
        if (!Numbers(*n, 1, 1, &value)) return false;
        numbers[i] = static_cast<std::uint32_t>(value[0]);
      }
    }
    *record = body_.Reserve(rsc::kWindowSize);
    std::uint32_t r = *record;
    body_.U8(r, report ? rsc::kReport : rsc::kWindow);
    body_.U32(r + rsc::kFlagsAt, numbers[0]);
    body_.U32(r + rsc::kDropAt, drop);
    PutPosition(r + rsc::kWindowPositionAt, position);
    body_.U32(r + rsc::kWindowStructureNameAt, name_at);
    body_.U32(r + rsc::kWindowFontAt, font);
    body_.U32(r + rsc::kWindowTitleAt, title);
    body_.U32(r + rsc::kWindowColoursAt, colours);
    body_.U32(r + rsc::kWindowIconAt, icon);
    body_.U32(r + rsc::kWindowHelpAt, help);
    body_.U32(r + rsc::kWindowStatusTextAt, status_text);
    body_.U32(r + rsc::kWindowAttributesAt, numbers[1]);
    body_.U32(r + rsc::kWindowPaletteAt, numbers[2]);
    body_.U32(r + rsc::kWindowTimerAt, numbers[3]);
    body_.U32(r + rsc::kWindowStatusBarAt, widths);
    return report ? EmitBands(elements, r) : EmitWindowContents(elements, r);
  }

  bool EmitWindowContents(const std::vector<const Statement*>& elements, std::uint32_t r) {
    std::vector<const Statement*> controls;
    const Statement* menubar = nullptr;
    const Statement* toolbar = nullptr;
    for (const Statement* e : elements) {
      const Statement** slot = e->word == "menubar"   ? &menubar
                               : e->word == "toolbar" ? &toolbar
                                                      : nullptr;
      if (slot) {
        if (*slot) return Fail(e->line, "a window has one '" + e->word + "'");
        *slot = e;
      } else {
        controls.push_back(e);
      }
    }
    std::uint32_t at = 0;
    if (menubar) {
      if (!EmitRecord(*menubar, "window", &at)) return false;
      body_.U32(r + rsc::kWindowMenuBarAt, at);
    }
    if (toolbar) {
      if (!EmitRecord(*toolbar, "window", &at)) return false;
      body_.U32(r + rsc::kWindowToolbarAt, at);
    }
    if (!EmitChain(controls, "window", &at)) return false;
    body_.U32(r + rsc::kWindowFirstControlAt, at);
    return true;
  }

  bool EmitBands(const std::vector<const Statement*>& elements, std::uint32_t r) {
    std::uint32_t link = r + rsc::kWindowFirstControlAt;
    for (const Statement* band : elements) {
      if (band->word != "band") {
        return Fail(band->line, "a report holds bands, not '" + band->word + "'");
      }
      std::uint32_t at = 0;
      if (!EmitBand(*band, &at)) return false;
      body_.U32(link, at);
      link = at + rsc::kNextAt;
    }
    return true;
  }

  bool EmitBand(const Statement& s, std::uint32_t* record) {
    std::uint8_t type = 0;
    if (s.values.size() == 1 && s.values[0].kind == Kind::kWord) {
      const std::string& w = s.values[0].text;
      type = w == "header"   ? rsc::kHeaderBand
             : w == "detail" ? rsc::kDetailBand
             : w == "footer" ? rsc::kFooterBand
                             : 0;
    }
    if (type == 0) return Fail(s.line, "'band' takes header, detail or footer");
    std::vector<const Statement*> settings, elements;
    if (!Settings(s, {"at", "font", "name"}, &settings, &elements, "a band")) return false;
    std::uint32_t name, font;
    std::int64_t position[4];
    if (!TextOf(settings, "name", &name) || !Font(settings, &font) ||
        !Position(settings, position)) {
      return false;
    }
    *record = body_.Reserve(rsc::kBandSize);
    body_.U8(*record, type);
    PutPosition(*record + rsc::kBandPositionAt, position);
    body_.U32(*record + rsc::kBandNameAt, name);
    body_.U32(*record + rsc::kBandFontAt, font);
    std::uint32_t first = 0;
    if (!EmitChain(elements, "band", &first)) return false;
    body_.U32(*record + rsc::kBandFirstControlAt, first);
    return true;
  }

  // --- controls -------------------------------------------------------------

  bool EmitChain(const std::vector<const Statement*>& elements, std::string_view container,
                 std::uint32_t* first) {
    *first = 0;
    std::uint32_t link = 0;
    for (const Statement* e : elements) {
      std::uint32_t at = 0;
      if (!EmitRecord(*e, container, &at)) return false;
      if (link) {
        body_.U32(link, at);
      } else {
        *first = at;
      }
      link = at + rsc::kNextAt;
    }
    return true;
  }

  // Which kinds may stand inside which container.
  bool Allowed(std::string_view container, std::string_view word) {
    if (container == "menubar") return word == "menu";
    if (container == "menu") return IsOneOf(word, {"menu", "item", "separator"});
    if (container == "options") return word == "radio";
    if (container == "sheet") return word == "tab";
    return !IsOneOf(word,
                    {"menu", "item", "separator", "radio", "tab", "band", "window", "report"}) &&
           (container == "window" || !IsOneOf(word, {"menubar", "toolbar"}));
  }

  bool EmitRecord(const Statement& s, std::string_view container, std::uint32_t* record) {
    const rsc::KindLayout* layout = ControlLayout(s.word);
    if (!layout || !Allowed(container, s.word)) {
      return Fail(s.line, "'" + s.word + "' cannot stand inside " + std::string(container));
    }
    // The element line: [number] [text].
    std::int64_t number = 0;
    std::string inline_text;
    bool has_inline_text = false;
    std::size_t i = 0;
    if (i < s.values.size() && s.values[i].kind == Kind::kNumber &&
        rsc::HasControlNumber(*layout)) {
      number = s.values[i++].number;
    }
    if (i < s.values.size() && s.values[i].kind == Kind::kText && layout->text &&
        s.word != "separator") {
      inline_text = s.values[i++].text;
      has_inline_text = true;
    }
    if (i != s.values.size()) {
      return Fail(s.line, "'" + s.word + "' takes " +
                              (rsc::HasControlNumber(*layout) ? "a control number" : "nothing") +
                              (layout->text && s.word != "separator" ? " and a text" : ""));
    }
    if (number != 0 && !numbers_.insert(number).second) {
      return Fail(s.line, "control number " + std::to_string(number) + " is used twice");
    }
    std::vector<std::string_view> allowed = {"name", "flags", "drop"};
    if (layout->use) allowed.push_back("use");
    if (layout->position) allowed.push_back("at");
    if (layout->text && !has_inline_text && s.word != "separator") allowed.push_back("text");
    if (layout->status) allowed.push_back("status");
    if (layout->tip) allowed.push_back("tip");
    if (layout->picture) allowed.push_back("picture");
    if (layout->image) allowed.push_back("file");
    if (layout->format) allowed.push_back("format");
    if (layout->type == rsc::kMenu || layout->type == rsc::kItem) {
      allowed.insert(allowed.end(), {"key", "action"});
    }
    if (layout->type == rsc::kSpin) allowed.push_back("range");
    if (layout->type == rsc::kProgress) allowed.push_back("bounds");
    if (layout->type == rsc::kRadio) allowed.push_back("value");
    if (layout->type == rsc::kPanel) allowed.insert(allowed.end(), {"fill", "border"});
    std::vector<const Statement*> settings, elements;
    if (!CheckSettings(s, allowed, &settings, &elements)) return false;
    if (!layout->first_child && !elements.empty()) {
      return Fail(elements[0]->line, "nothing can be indented below '" + s.word + "'");
    }

    // Texts and blocks, then the record.
    std::uint32_t name, text = 0, status, tip, picture, image, format, value, use = 0, drop;
    if (!TextOf(settings, "name", &name)) return false;
    if (has_inline_text) {
      text = body_.Text(inline_text);
    } else if (!TextOf(settings, "text", &text)) {
      return false;
    }
    if (!TextOf(settings, "status", &status) || !TextOf(settings, "tip", &tip) ||
        !TextOf(settings, "picture", &picture) || !TextOf(settings, "file", &image) ||
        !TextOf(settings, "format", &format) || !TextOf(settings, "value", &value)) {
      return false;
    }
    if (const Statement* u = Find(settings, "use"); u && !UseDescriptor(*u, &use)) return false;
    if (!DropList(settings, &drop)) return false;
    std::int64_t position[4];
    if (!Position(settings, position)) return false;

    std::uint32_t r = body_.Reserve(layout->size);
    *record = r;
    body_.U8(r, layout->type);
    body_.U32(r + rsc::kFlagsAt, s.word == "separator" ? rsc::kItemSeparatorFlag : 0);
    if (const Statement* f = Find(settings, "flags")) {
      std::vector<std::int64_t> flags;
      if (!Numbers(*f, 1, 1, &flags)) return false;
      body_.U32(r + rsc::kFlagsAt, static_cast<std::uint32_t>(flags[0]) |
                                       (s.word == "separator" ? rsc::kItemSeparatorFlag : 0));
    }
    body_.U32(r + rsc::kDropAt, drop);
    if (rsc::HasControlNumber(*layout)) {
      body_.I32(r + rsc::kNumberAt, number);
      body_.U32(r + rsc::kNameAt, name);
    } else if (name) {
      return Fail(s.line, "'" + s.word + "' has no name");
    }
    if (layout->use) body_.U32(r + layout->use, use);
    if (layout->position) PutPosition(r + layout->position, position);
    if (layout->text) body_.U32(r + layout->text, text);
    if (layout->status) body_.U32(r + layout->status, status);
    if (layout->tip) body_.U32(r + layout->tip, tip);
    if (layout->picture) body_.U32(r + layout->picture, picture);
    if (layout->image) body_.U32(r + layout->image, image);
    if (layout->format) body_.U32(r + layout->format, format);
    if (layout->type == rsc::kRadio) body_.U32(r + rsc::kRadioValueAt, value);
    if (!KindNumbers(*layout, settings, r)) return false;
    if (layout->first_child) {
      std::uint32_t first = 0;
      if (!EmitChain(elements, s.word, &first)) return false;
      body_.U32(r + layout->first_child, first);
    }
    return true;
  }

  bool CheckSettings(const Statement& s, const std::vector<std::string_view>& allowed,
                     std::vector<const Statement*>* settings,
                     std::vector<const Statement*>* elements) {
    std::set<std::string> seen;
    for (const Statement& child : s.children) {
      if (ControlLayout(child.word)) {
        elements->push_back(&child);
        continue;
      }
      if (std::find(allowed.begin(), allowed.end(), child.word) == allowed.end()) {
        return Fail(child.line, "'" + child.word + "' is not a setting of '" + s.word + "'");
      }
      if (!seen.insert(child.word).second) {
        return Fail(child.line, "'" + child.word + "' is given twice");
      }
      if (!NoChildren(child)) return false;
      settings->push_back(&child);
    }
    return true;
  }

  bool KindNumbers(const rsc::KindLayout& layout, const std::vector<const Statement*>& settings,
                   std::uint32_t r) {
    if (layout.type == rsc::kMenu || layout.type == rsc::kItem) {
      for (auto [word, at] : {std::pair{"key", rsc::kMenuKeyAt}, {"action", rsc::kMenuActionAt}}) {
        std::vector<std::int64_t> value;
        if (const Statement* n = Find(settings, word)) {
          if (!Numbers(*n, 1, 1, &value)) return false;
          body_.I32(r + at, value[0]);
        }
      }
    }
    if (layout.type == rsc::kSpin) {
      std::vector<double> range = {0, 0, 1};
      if (const Statement* n = Find(settings, "range")) {
        range.clear();
        if (!Reals(*n, 2, 3, &range)) return false;
        range.resize(3, 1);
      }
      body_.F64(r + rsc::kSpinLowAt, range[0]);
      body_.F64(r + rsc::kSpinHighAt, range[1]);
      body_.F64(r + rsc::kSpinStepAt, range[2]);
    }
    if (layout.type == rsc::kProgress) {
      std::vector<double> bounds = {0, 100};
      if (const Statement* n = Find(settings, "bounds")) {
        bounds.clear();
        if (!Reals(*n, 2, 2, &bounds)) return false;
      }
      body_.F64(r + rsc::kProgressLowAt, bounds[0]);
      body_.F64(r + rsc::kProgressHighAt, bounds[1]);
    }
    if (layout.type == rsc::kPanel) {
      for (auto [word, at] :
           {std::pair{"fill", rsc::kPanelFillAt}, {"border", rsc::kPanelBorderAt}}) {
        std::vector<std::int64_t> value = {-1};
        if (const Statement* n = Find(settings, word)) {
          value.clear();
          if (!Numbers(*n, 1, 1, &value)) return false;
        }
        body_.I32(r + at, value[0]);
      }
    }
    return true;
  }

  SourceError* error_;
  Body body_;
  std::set<std::int64_t> numbers_;  // control numbers of the current structure
};

}  // namespace

bool CompileSource(std::string_view source, CompiledModule* module, SourceError* error) {
  std::vector<Statement> statements;
  if (!ReadSource(source, &statements, error)) return false;
  *module = CompiledModule();
  return Compiler(error).Compile(statements, module);
}

std::string ResourceNameOfModule(std::string_view module_name) {
  std::size_t dollar = module_name.find('$');
  std::string_view stem =
      dollar == std::string_view::npos ? module_name : module_name.substr(dollar + 1);
  std::string name;
  for (char c : stem) name += Upper(c);
  name += rsc::kResourceNameSuffix;
  return name;
}

std::string ResourceNameOfFile(std::string_view file_name) {
  if (!file_name.empty() && file_name[0] == '~') file_name.remove_prefix(1);
  std::string name;
  for (char c : file_name) name += c == '.' ? '_' : Upper(c);
  return name;
}

}  // namespace vaultrix::rescomp
