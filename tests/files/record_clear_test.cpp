// Clearing a record before a read fills it.
#include "runtime/files/record_clear.h"

#include <string>

#include <gtest/gtest.h>

#include "runtime/files/file_declaration.h"

namespace vaultrix::files {
namespace {

TEST(ClearRecord, TextsBlankNumbersZeroOverlaysUntouched) {
  FieldDeclaration over = StringField("R:OVER", 4);
  over.has_offset = true;
  over.offset = 5;
  std::vector<std::uint8_t> descriptor = WriteRecordLayout(
      {StringField("R:NAME", 5), FixedField(kTypeLong, "R:COUNT"), over,
       GroupField("R:PAIR", {StringField("R:A", 2), DecimalField("R:AMOUNT", 3, 0)}),
       CStringField("R:C", 3)});
  RecordLayout layout;
  ASSERT_EQ(ParseRecordLayout(descriptor.data(), descriptor.data() + descriptor.size(), &layout), 0);
  ASSERT_EQ(layout.record_size, 5u + 4u + 2u + 2u + 3u);

  std::vector<std::uint8_t> record(layout.record_size, 0xAB);
  ClearRecord(layout, record.data(), layout.record_size);
  const std::string expected = std::string("     ") + std::string(4, '\0') + "  " +
                               std::string(2, '\0') + std::string(3, '\0');
  EXPECT_EQ(std::string(record.begin(), record.end()), expected);
}

}  // namespace
}  // namespace vaultrix::files
