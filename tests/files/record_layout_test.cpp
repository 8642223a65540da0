// The record layout descriptor: exact bytes of the writer, and a reader that
// refuses damaged streams without reading past their end.
#include "runtime/files/record_layout.h"

#include <cstring>
#include <memory>

#include <gtest/gtest.h>

#include "runtime/support/error_codes.h"

namespace vaultrix::files {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::int32_t Parse(const Bytes& bytes, RecordLayout* layout) {
  // An exact-size heap copy, so a read past the end is caught by the sanitizer.
  auto copy = std::make_unique<std::uint8_t[]>(bytes.size());
  if (!bytes.empty()) std::memcpy(copy.get(), bytes.data(), bytes.size());
  return ParseRecordLayout(copy.get(), copy.get() + bytes.size(), layout);
}

FieldDeclaration Text(std::string label, std::uint32_t size) {
  FieldDeclaration field;
  field.type = kTypeString;
  field.label = std::move(label);
  field.size = size;
  return field;
}

FieldDeclaration Group(std::vector<FieldDeclaration> fields) {
  FieldDeclaration field;
  field.type = kTypeGroup;
  field.fields = std::move(fields);
  return field;
}

TEST(CompactInteger, ReadsTheDocumentedForms) {
  const std::uint8_t one[] = {0x1E};
  const std::uint8_t two[] = {0x20, 0x5A};
  const std::uint8_t four[] = {0x7F, 0x01, 0x02, 0x03};
  const std::uint8_t* p = one;
  std::uint32_t value = 0;
  ASSERT_TRUE(ReadCompactInteger(p, one + 1, &value));
  EXPECT_EQ(value, 30u);
  p = two;
  ASSERT_TRUE(ReadCompactInteger(p, two + 2, &value));
  EXPECT_EQ(value, 90u);
  EXPECT_EQ(p, two + 2);
  p = four;
  ASSERT_TRUE(ReadCompactInteger(p, four + 4, &value));
  EXPECT_EQ(value, 0x1F010203u);
  p = four;
  EXPECT_FALSE(ReadCompactInteger(p, four + 3, &value));
  EXPECT_EQ(p, four);
}

TEST(CompactInteger, WritesTheFewestBytesAndRoundTrips) {
  Bytes out;
  AppendCompactInteger(out, 30);
  EXPECT_EQ(out, (Bytes{0x1E}));
  out.clear();
  AppendCompactInteger(out, 90);
  EXPECT_EQ(out, (Bytes{0x20, 0x5A}));
  for (std::uint32_t value :
       {0u, 31u, 32u, 8191u, 8192u, 0x1FFFFFu, 0x200000u, kMaxCompactInteger}) {
    out.clear();
    AppendCompactInteger(out, value);
    const std::uint8_t* p = out.data();
    std::uint32_t read = 0;
    ASSERT_TRUE(ReadCompactInteger(p, out.data() + out.size(), &read));
    EXPECT_EQ(read, value);
    EXPECT_EQ(p, out.data() + out.size());
  }
}

TEST(RecordLayoutWriter, EntriesAreByteExact) {
  FieldDeclaration decimal;
  decimal.type = kTypeDecimal;
  decimal.label = "TIP:TIPID";
  decimal.size = 6;
  Bytes bytes = WriteRecordLayout({Text("P_:URL", 90), decimal});
  const Bytes expected_url = {0x12, 0x02, 0x20, 0x5A, 'P', '_', ':', 'U', 'R', 'L', 0};
  const Bytes expected_decimal = {0x0A, 0x02, 0x06, 0x00, 'T', 'I', 'P',
                                  ':',  'T',  'I',  'P',  'I', 'D', 0};
  ASSERT_EQ(bytes.size(), kLayoutHeaderSize + expected_url.size() + expected_decimal.size());
  const Bytes header = {
      0x16, 0x00, 96, 0, 0, 0, 2, 0, 0, 0, static_cast<std::uint8_t>(bytes.size()), 0, 0, 0};
  EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 14), header);
  EXPECT_EQ(Bytes(bytes.begin() + 14, bytes.begin() + 25), expected_url);
  EXPECT_EQ(Bytes(bytes.begin() + 25, bytes.end()), expected_decimal);
}

TEST(RecordLayoutReader, ReadsBackEveryPartOfAnEntry) {
  FieldDeclaration picture = Text("A:PIC", 10);
  picture.picture = "@s10";
  picture.external_name = "PIC";
  FieldDeclaration numbers;
  numbers.type = kTypeLong;
  numbers.label = "A:NUMBERS";
  numbers.dimensions = {3, 2};
  FieldDeclaration decimal;
  decimal.type = kTypeDecimal;
  decimal.label = "A:AMOUNT";
  decimal.size = 4;
  decimal.decimal_places = 2;
  decimal.dimensions = {5};
  FieldDeclaration over = Text("A:OVER", 4);
  over.has_offset = true;
  over.offset = 2;
  Bytes bytes = WriteRecordLayout(
      {picture, Group({Text("A:INNER1", 3), Text("A:INNER2", 5)}), numbers, decimal, over});

  RecordLayout layout;
  ASSERT_EQ(Parse(bytes, &layout), 0);
  EXPECT_EQ(layout.record_size, 10u + 8u + 24u + 20u);
  EXPECT_EQ(layout.descriptor_length, bytes.size());
  ASSERT_EQ(layout.fields.size(), 7u);
  const FieldInfo& pic = layout.fields[0];
  EXPECT_EQ(pic.picture, "@s10");
  EXPECT_EQ(pic.external_name, "PIC");
  EXPECT_EQ(pic.offset, 0u);
  const FieldInfo& group = layout.fields[1];
  EXPECT_EQ(group.type, kTypeGroup);
  EXPECT_EQ(group.offset, 10u);
  EXPECT_EQ(group.size, 8u);
  EXPECT_EQ(group.entry_count, 2u);
  EXPECT_EQ(layout.fields[3].offset, 13u);
  EXPECT_EQ(layout.fields[3].depth, 2);
  EXPECT_EQ(layout.fields[3].parent, 1);
  const FieldInfo& longs = layout.fields[4];
  EXPECT_EQ(longs.offset, 18u);
  EXPECT_EQ(longs.element_count, 6u);
  EXPECT_EQ(longs.size, 24u);
  const FieldInfo& amount = layout.fields[5];
  EXPECT_EQ(amount.element_count, 5u);
  EXPECT_EQ(amount.element_size, 4u);
  EXPECT_EQ(amount.digits, 7);
  EXPECT_EQ(amount.decimal_places, 2);
  EXPECT_FALSE(amount.overlay);
  EXPECT_EQ(layout.fields[6].offset, 2u);
  EXPECT_TRUE(layout.fields[6].overlay);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_FALSE(layout.fields[i].overlay) << i;
}

TEST(RecordLayoutReader, EveryTruncationIsRefusedWithoutOverread) {
  FieldDeclaration picture = Text("A:PIC", 10);
  picture.picture = "@s10";
  FieldDeclaration dims = Text("A:DIMS", 4);
  dims.dimensions = {2, 2};
  Bytes bytes = WriteRecordLayout({picture, Group({Text("A:X", 1), dims}), Text("A:Y", 2)});
  RecordLayout layout;
  ASSERT_EQ(Parse(bytes, &layout), 0);
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    EXPECT_EQ(Parse(cut, &layout), support::kInvalidFieldTypeDescriptor) << size;
    // The same cut with a header that claims just those bytes makes the
    // reader walk the entries up to the cut.
    if (size >= kLayoutHeaderSize) {
      cut[10] = static_cast<std::uint8_t>(size);
      EXPECT_EQ(Parse(cut, &layout), support::kInvalidFieldTypeDescriptor) << size;
    }
  }
  // The header's length names exactly the bytes that are there; a shorter
  // stored length cuts the last entry.
  bytes[10] = static_cast<std::uint8_t>(bytes[10] - 1);
  EXPECT_EQ(Parse(bytes, &layout), support::kInvalidFieldTypeDescriptor);
}

TEST(RecordLayoutReader, RefusesInconsistentStreams) {
  RecordLayout layout;
  Bytes good = WriteRecordLayout({Text("A:X", 4), Group({Text("A:Y", 2)})});
  ASSERT_EQ(Parse(good, &layout), 0);

  Bytes not_group = good;
  not_group[0] = kTypeString;
  EXPECT_EQ(Parse(not_group, &layout), 75);

  Bytes too_many = good;
  too_many[6] = 4;  // four entries announced, three present
  EXPECT_EQ(Parse(too_many, &layout), 75);

  Bytes small_record = good;
  small_record[2] = 5;  // record of 5 bytes cannot hold 4 + 2
  EXPECT_EQ(Parse(small_record, &layout), 75);

  Bytes bad_flags = good;
  bad_flags[15] = 0x22;
  EXPECT_EQ(Parse(bad_flags, &layout), 75);

  FieldDeclaration long_with_picture;
  long_with_picture.type = kTypeLong;
  Bytes picture_on_number = WriteRecordLayout({long_with_picture});
  picture_on_number[15] |= kFieldPicture;
  EXPECT_EQ(Parse(picture_on_number, &layout), 75);
}

Bytes Nested(int depth) {
  FieldDeclaration field = Text("A:LEAF", 1);
  for (int i = 0; i < depth; ++i) field = Group({field});
  return WriteRecordLayout({field});
}

TEST(RecordLayoutReader, GroupsNestAHundredDeep) {
  RecordLayout layout;
  ASSERT_EQ(Parse(Nested(100), &layout), 0);
  EXPECT_EQ(layout.fields.back().depth, 101);
  EXPECT_EQ(layout.fields.back().offset, 0u);
  EXPECT_FALSE(layout.fields.back().overlay);
  EXPECT_EQ(Parse(Nested(101), &layout), support::kInvalidFieldTypeDescriptor);
}

TEST(RecordLayoutReader, FieldsInsideAnOverlayingGroupAreOverlays) {
  FieldDeclaration over = Group({Text("A:HI", 2), Text("A:LO", 2)});
  over.has_offset = true;
  over.offset = 0;
  RecordLayout layout;
  ASSERT_EQ(Parse(WriteRecordLayout({Text("A:ALL", 4), over, Text("A:NEXT", 1)}), &layout), 0);
  ASSERT_EQ(layout.fields.size(), 5u);
  EXPECT_FALSE(layout.fields[0].overlay);
  EXPECT_TRUE(layout.fields[1].overlay);
  EXPECT_TRUE(layout.fields[2].overlay);
  EXPECT_TRUE(layout.fields[3].overlay);
  EXPECT_EQ(layout.fields[3].offset, 2u);
  EXPECT_FALSE(layout.fields[4].overlay);
  EXPECT_EQ(layout.fields[4].offset, 4u);
}

}  // namespace
}  // namespace vaultrix::files
