// Shared set-up of the data-file tool's tests: running the tool in process,
// a keyed table made through the driver, and direct changes to the records
// of a file to damage it on purpose.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "runtime/files/file_api.h"
#include "runtime/files/file_declaration.h"
#include "runtime/files/hvn/driver.h"
#include "runtime/files/hvn/tree/btree.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "runtime/support/error_state.h"
#include "tests/files/hvn/test_support.h"
#include "tools/hvn_tool/tool.h"

namespace vaultrix::tools::testing {

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

inline ToolRun RunTool(std::vector<std::string> arguments) {
  std::ostringstream out, err;
  ToolRun run;
  run.code = RunHvnTool(std::move(arguments), out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// The table of hvn/test_support.h with two keys: T:BYNAME (unique, NOCASE,
// on T:NAME) and T:BYNUMBER (DUP, descending T:NUMBER).
inline std::unique_ptr<files::DeclaredFile> DeclareKeyedTable(const std::string& name) {
  using namespace files;
  return FileDeclaration(name)
      .Attributes(0x17)
      .Field(StringField("T:NAME", files::hvn::testing::kNameSize))
      .Field(FixedField(kTypeLong, "T:NUMBER"))
      .Key("T:BYNAME", kKeyNoCase, {"T:NAME"})
      .Key("T:BYNUMBER", kKeyDup, {"-T:NUMBER"})
      .Memo("T:NOTES", files::hvn::testing::kMemoSize)
      .Build(HalverinDriver());
}

struct Row {
  std::string name;
  std::int32_t number;
  std::string memo;
};

// Creates the keyed table `name` holding `rows`; answers the first error.
inline int MakeKeyedFile(const std::string& name, const std::vector<Row>& rows) {
  using namespace files;
  auto file = DeclareKeyedTable(name);
  Create(file->Block());
  if (int code = support::ErrorCode(); code != 0) return code;
  Open(file->Block(), kAccessReadWrite | kDenyNone);
  if (int code = support::ErrorCode(); code != 0) return code;
  for (const Row& row : rows) {
    hvn::testing::SetRecord(*file, row.name, row.number);
    hvn::testing::SetMemo(*file, row.memo);
    Add(file->Block());
    if (int code = support::ErrorCode(); code != 0) return code;
  }
  Close(file->Block());
  return support::ErrorCode();
}

// Runs `change(page_file, tree)` as one committed operation of the file.
template <class Change>
int ChangeRecords(const std::string& path, Change change) {
  files::hvn::PageFile file;
  if (int code = file.Open(path, false, false); code != 0) return code;
  if (int code = file.Begin(); code != 0) return code;
  files::hvn::Tree tree(file);
  const int code = change(file, tree);
  if (code != 0) {
    file.Abort();
    return code;
  }
  if (int end = file.End(); end != 0) return end;
  return file.Close();
}

}  // namespace vaultrix::tools::testing
