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
#include "tools/rescomp/block_writer.h"

namespace vaultrix::rescomp {
namespace rsc = windows::rsc;
namespace {

class Compiler : public BlockWriter {
 public:
  explicit Compiler(SourceError* error) : BlockWriter(error) {}

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
  // --- structures -------------------------------------------------------------

  bool EmitStructure(const Statement& s, const std::string& name, std::uint32_t* record) {
    bool report = s.word == "report";
    std::vector<const Statement*> settings, elements;
    if (report) {
      if (!Split(s, {"title", "at", "font", "attributes", "events"}, &settings, &elements)) {
        return false;
      }
    } else if (!Split(s,
                      {"title", "at", "events", "attributes", "font", "colours", "icon", "help",
                       "status-text", "palette", "timer", "status-bar", "drop"},
                      &settings, &elements)) {
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
    if (!Split(s, {"at", "font", "name"}, &settings, &elements)) return false;
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

  // The control line: [number] [text].
  bool ElementLine(const Statement& s, const rsc::KindLayout& layout, std::int64_t* number,
                   const std::string** text) {
    bool takes_text = layout.text && s.word != "separator";
    std::size_t i = 0;
    if (i < s.values.size() && s.values[i].kind == Kind::kNumber && rsc::HasControlNumber(layout)) {
      *number = s.values[i++].number;
    }
    if (i < s.values.size() && s.values[i].kind == Kind::kText && takes_text) {
      *text = &s.values[i++].text;
    }
    if (i != s.values.size()) {
      return Fail(s.line, "'" + s.word + "' takes " +
                              (rsc::HasControlNumber(layout) ? "a control number" : "nothing") +
                              (takes_text ? " and a text" : ""));
    }
    if (*number != 0 && !numbers_.insert(*number).second) {
      return Fail(s.line, "control number " + std::to_string(*number) + " is used twice");
    }
    return true;
  }

  static std::vector<std::string_view> ControlSettingWords(const rsc::KindLayout& layout,
                                                           bool text_on_line) {
    std::vector<std::string_view> words = {"name", "flags", "drop"};
    if (layout.use) words.push_back("use");
    if (layout.position) words.push_back("at");
    if (layout.text && !text_on_line) words.push_back("text");
    if (layout.status) words.push_back("status");
    if (layout.tip) words.push_back("tip");
    if (layout.picture) words.push_back("picture");
    if (layout.image) words.push_back("file");
    if (layout.format) words.push_back("format");
    if (layout.type == rsc::kMenu || layout.type == rsc::kItem) {
      words.insert(words.end(), {"key", "action"});
    }
    if (layout.type == rsc::kSpin) words.push_back("range");
    if (layout.type == rsc::kProgress) words.push_back("bounds");
    if (layout.type == rsc::kRadio) words.push_back("value");
    if (layout.type == rsc::kPanel) words.insert(words.end(), {"fill", "border"});
    return words;
  }

  // Offsets of a control's texts and blocks, written before its record.
  struct ControlParts {
    std::uint32_t name = 0, text = 0, status = 0, tip = 0, picture = 0, image = 0, format = 0,
                  value = 0, use = 0, drop = 0;
  };

  bool WriteControlParts(const std::vector<const Statement*>& settings,
                         const std::string* line_text, ControlParts* p) {
    if (!TextOf(settings, "name", &p->name)) return false;
    if (line_text) {
      p->text = body_.Text(*line_text);
    } else if (!TextOf(settings, "text", &p->text)) {
      return false;
    }
    if (!TextOf(settings, "status", &p->status) || !TextOf(settings, "tip", &p->tip) ||
        !TextOf(settings, "picture", &p->picture) || !TextOf(settings, "file", &p->image) ||
        !TextOf(settings, "format", &p->format) || !TextOf(settings, "value", &p->value)) {
      return false;
    }
    if (const Statement* u = Find(settings, "use"); u && !UseDescriptor(*u, &p->use)) return false;
    return DropList(settings, &p->drop);
  }

  bool EmitRecord(const Statement& s, std::string_view container, std::uint32_t* record) {
    const rsc::KindLayout* layout = ControlLayout(s.word);
    if (!layout || !Allowed(container, s.word)) {
      return Fail(s.line, "'" + s.word + "' cannot stand inside " + std::string(container));
    }
    std::int64_t number = 0;
    const std::string* line_text = nullptr;
    if (!ElementLine(s, *layout, &number, &line_text)) return false;
    std::vector<const Statement*> settings, elements;
    std::vector<std::string_view> words = ControlSettingWords(*layout, line_text != nullptr);
    if (s.word == "separator") std::erase(words, std::string_view("text"));
    if (!Split(s, words, &settings, &elements)) return false;
    if (!layout->first_child && !elements.empty()) {
      return Fail(elements[0]->line, "nothing can be indented below '" + s.word + "'");
    }
    if (!rsc::HasControlNumber(*layout) && Find(settings, "name")) {
      return Fail(s.line, "'" + s.word + "' has no name");
    }
    ControlParts parts;
    std::int64_t position[4];
    std::uint32_t flags = s.word == "separator" ? rsc::kItemSeparatorFlag : 0;
    if (const Statement* f = Find(settings, "flags")) {
      std::vector<std::int64_t> value;
      if (!Numbers(*f, 1, 1, &value)) return false;
      flags |= static_cast<std::uint32_t>(value[0]);
    }
    if (!WriteControlParts(settings, line_text, &parts) || !Position(settings, position)) {
      return false;
    }

    std::uint32_t r = body_.Reserve(layout->size);
    *record = r;
    body_.U8(r, layout->type);
    body_.U32(r + rsc::kFlagsAt, flags);
    body_.U32(r + rsc::kDropAt, parts.drop);
    if (rsc::HasControlNumber(*layout)) {
      body_.I32(r + rsc::kNumberAt, number);
      body_.U32(r + rsc::kNameAt, parts.name);
    }
    for (auto [at, value] : {std::pair{layout->use, parts.use},
                             {layout->text, parts.text},
                             {layout->status, parts.status},
                             {layout->tip, parts.tip},
                             {layout->picture, parts.picture},
                             {layout->image, parts.image},
                             {layout->format, parts.format}}) {
      if (at) body_.U32(r + at, value);
    }
    if (layout->position) PutPosition(r + layout->position, position);
    if (layout->type == rsc::kRadio) body_.U32(r + rsc::kRadioValueAt, parts.value);
    if (!KindNumbers(*layout, settings, r)) return false;
    if (layout->first_child) {
      std::uint32_t first = 0;
      if (!EmitChain(elements, s.word, &first)) return false;
      body_.U32(r + layout->first_child, first);
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
