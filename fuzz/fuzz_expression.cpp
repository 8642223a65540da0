// Compiles arbitrary texts as expressions and order lists over a few bound
// variables of different kinds, and evaluates whatever compiles in every
// result type, with FORMAT and DEFORMAT going through the display
// pictures. Nothing may crash, hang or leak.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "runtime/eval/expression.h"
#include "runtime/eval/symbol_table.h"
#include "runtime/files/file_descriptor.h"
#include "runtime/support/error_state.h"
#include "runtime/windows/evaluator_pictures.h"

namespace {

using namespace vaultrix;

struct Variables {
  support::FixedString<30> user{"Alice"};
  std::int32_t count = 42;
  double ratio = 0.5;
  std::int16_t table[6] = {1, 2, 3, 4, 5, 6};
  char cstring[8] = "abc";
  char notes_buffer[16] = "some notes     ";
  files::MemoBlock notes;
};

void BindAll(Variables& v) {
  eval::BIND("P_:User", eval::Ref(v.user));
  eval::BIND("Count", eval::Ref(v.count));
  eval::BIND("Ratio", eval::Ref(v.ratio));
  eval::VariableRef table{.kind = eval::VariableKind::kShort, .address = v.table,
                          .size = sizeof v.table, .element_size = 2, .dimension_count = 2,
                          .dimensions = {2, 3}};
  eval::BIND("Table", table);
  eval::BIND("Name", eval::CStringRef(v.cstring, sizeof v.cstring));
  v.notes.buffer = v.notes_buffer;
  v.notes.size = sizeof v.notes_buffer;
  eval::BIND("Notes", eval::Ref(v.notes));
}

void Exercise(eval::Expression& expression) {
  (void)expression.EvaluateLong();
  (void)expression.EvaluateReal();
  (void)expression.EvaluateText();
  (void)expression.EvaluateTruth();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Variables variables;
  static const bool installed = (windows::InstallEvaluatorPictures(), true);
  (void)installed;
  eval::ResetSymbolTables();
  BindAll(variables);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto expression = eval::Compile(text)) Exercise(*expression);
  if (auto list = eval::CompileList(text)) {
    for (auto& item : *list) Exercise(*item.expression);
  }
  support::ClearError();
  return 0;
}
