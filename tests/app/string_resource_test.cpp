// The program's "STRING" resource "STRINGTABLE": the build makes it from the
// same source as the runtime's string table, so the two hold the same ids and
// the same texts, trailing blanks included.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/resources.h"
#include "runtime/support/string_table.h"
#include "tools/rescomp/string_source.h"

namespace vaultrix::app {
namespace {

TEST(ProgramStringResource, HoldsEveryEntryOfTheRuntimeTableExactly) {
  platform::ResourceModulePtr program = platform::LoadedResourceModules().at(0);
  const std::vector<std::uint8_t>* bytes = program->Find("String", "stringtable");
  ASSERT_NE(bytes, nullptr);
  std::vector<rescomp::StringEntry> decoded;
  ASSERT_TRUE(rescomp::DecodeStringResource(*bytes, &decoded));

  std::span<const support::StringTableEntry> table = support::StringTableEntries();
  ASSERT_FALSE(table.empty());
  ASSERT_EQ(decoded.size(), table.size());
  for (std::size_t i = 0; i < table.size(); ++i) {
    EXPECT_EQ(decoded[i].id, table[i].id);
    EXPECT_EQ(decoded[i].text, table[i].text) << table[i].id;
    EXPECT_EQ(support::StringTableText(decoded[i].id), decoded[i].text) << decoded[i].id;
  }
  // Spot checks of the resource itself, independent of the table.
  auto text_of = [&](std::int32_t id) -> std::string {
    for (const rescomp::StringEntry& entry : decoded) {
      if (entry.id == id) return entry.text;
    }
    return "<none>";
  };
  EXPECT_EQ(text_of(78), "Invalid Number Of Parameters ");
  EXPECT_EQ(text_of(599), "Internal error : hvnbt line ");
  EXPECT_EQ(text_of(340), "System Error 40");
  EXPECT_EQ(text_of(802), "Mismatched PUSHSCOPE/POPSCOPE");
  EXPECT_EQ(text_of(540), "<none>");
}

}  // namespace
}  // namespace vaultrix::app
