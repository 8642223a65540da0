// The string table source: how lines read (texts kept exactly, escapes,
// comments), what it refuses and on which line, the "STRINGTABLE" resource's
// bytes field by field, and the generated C++ table.
#include "tools/rescomp/string_source.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/support/string_table.h"

namespace vaultrix::rescomp {
namespace {

using Entries = std::vector<StringEntry>;

Entries Read(std::string_view source) {
  Entries entries;
  SourceError error;
  EXPECT_TRUE(ReadStringSource(source, &entries, &error)) << error.line << ": " << error.message;
  return entries;
}

SourceError Refused(std::string_view source) {
  Entries entries;
  SourceError error;
  EXPECT_FALSE(ReadStringSource(source, &entries, &error)) << source;
  EXPECT_FALSE(error.message.empty());
  return error;
}

TEST(StringSource, TextsAreKeptExactlyWithEscapesAndTrailingBlanks) {
  Entries entries = Read(
      "# a comment\n"
      "\n"
      "   # an indented comment\n"
      "2 \"File Not Found\"\n"
      "78\t\t\"Invalid Number Of Parameters \"   \n"
      "  90 \"  say \\\"hi\\\" \\\\ there  \"\r\n"
      "91 \"\"\n"
      "92 \"# not a comment\"");
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[0], (StringEntry{2, "File Not Found"}));
  EXPECT_EQ(entries[1], (StringEntry{78, "Invalid Number Of Parameters "}));
  EXPECT_EQ(entries[2], (StringEntry{90, "  say \"hi\" \\ there  "}));
  EXPECT_EQ(entries[3], (StringEntry{91, ""}));
  EXPECT_EQ(entries[4], (StringEntry{92, "# not a comment"}));
}

TEST(StringSource, IdsCoverTheSignedRange) {
  Entries entries = Read("-2147483648 \"low\"\n-1 \"minus one\"\n0 \"zero\"\n2147483647 \"high\"\n");
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].id, INT32_MIN);
  EXPECT_EQ(entries[1].id, -1);
  EXPECT_EQ(entries[2].id, 0);
  EXPECT_EQ(entries[3].id, INT32_MAX);
  EXPECT_TRUE(Read("").empty());
  EXPECT_TRUE(Read("# only comments\n\n").empty());
}

TEST(StringSource, BadLinesAreRefusedWithTheirLineNumber) {
  EXPECT_EQ(Refused("1 \"a\"\n\n3 \"unterminated\n").line, 3);
  EXPECT_EQ(Refused("1 \"a\"\n1 \"again\"\n").line, 2);
  EXPECT_EQ(Refused("5 \"a\"\n4 \"down\"\n").line, 2);
  EXPECT_EQ(Refused("1 \"bad \\n escape\"\n").line, 1);
  EXPECT_EQ(Refused("1 \"trailing backslash\\\"\n").line, 1);
  EXPECT_EQ(Refused("1 \"text\" junk\n").line, 1);
  EXPECT_EQ(Refused("1 \"a\" \"b\"\n").line, 1);
  EXPECT_EQ(Refused("1\"no blank\"\n").line, 1);
  EXPECT_EQ(Refused("1 unquoted\n").line, 1);
  EXPECT_EQ(Refused("1\n").line, 1);
  EXPECT_EQ(Refused("\"no id\"\n").line, 1);
  EXPECT_EQ(Refused("- \"sign only\"\n").line, 1);
  EXPECT_EQ(Refused("x1 \"letters\"\n").line, 1);
  EXPECT_EQ(Refused("2147483648 \"too big\"\n").line, 1);
  EXPECT_EQ(Refused("-2147483649 \"too small\"\n").line, 1);
  EXPECT_EQ(Refused("99999999999999999999 \"far too big\"\n").line, 1);
  EXPECT_EQ(Refused(std::string_view("1 \"tab\tinside\"\n")).line, 1);
  EXPECT_EQ(Refused("1 \"" + std::string(kMaxStringTextLength + 1, 'x') + "\"\n").line, 1);
  EXPECT_EQ(Read("1 \"" + std::string(kMaxStringTextLength, 'x') + "\"\n").at(0).text.size(),
            kMaxStringTextLength);
}

TEST(StringResource, BytesAreCountThenIdLengthAndTextLittleEndian) {
  std::vector<std::uint8_t> bytes =
      EncodeStringResource({{-2, "ab"}, {0x01020304, ""}, {300, std::string(258, 'z')}});
  ASSERT_EQ(bytes.size(), 4u + (6 + 2) + 6 + (6 + 258));
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 22),
            (std::vector<std::uint8_t>{3, 0, 0, 0,                    // count
                                       0xFE, 0xFF, 0xFF, 0xFF, 2, 0,  // id -2, length 2
                                       'a', 'b',                      //
                                       4, 3, 2, 1, 0, 0,              // id, empty text
                                       0x2C, 0x01, 0, 0}));           // id 300
  EXPECT_EQ(bytes[22], 2);  // length 258 = 0x0102
  EXPECT_EQ(bytes[23], 1);
  EXPECT_EQ(bytes[24], 'z');
  EXPECT_EQ(bytes.back(), 'z');
  EXPECT_EQ(EncodeStringResource({}), (std::vector<std::uint8_t>{0, 0, 0, 0}));
}

TEST(StringResource, DecodingReadsBackAndRefusesBrokenBytes) {
  Entries entries = {{-5, "minus"}, {78, "Invalid Number Of Parameters "}, {79, "a\"b\\c\xC3\xA9"}};
  std::vector<std::uint8_t> bytes = EncodeStringResource(entries);
  Entries decoded;
  ASSERT_TRUE(DecodeStringResource(bytes, &decoded));
  EXPECT_EQ(decoded, entries);

  ASSERT_TRUE(DecodeStringResource(std::vector<std::uint8_t>{0, 0, 0, 0}, &decoded));
  EXPECT_TRUE(decoded.empty());
  EXPECT_FALSE(DecodeStringResource({}, &decoded));
  EXPECT_FALSE(DecodeStringResource(std::vector<std::uint8_t>{1, 0, 0}, &decoded));
  for (std::size_t size = 4; size < bytes.size(); ++size) {
    EXPECT_FALSE(DecodeStringResource(std::span(bytes.data(), size), &decoded)) << size;
  }
  std::vector<std::uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_FALSE(DecodeStringResource(longer, &decoded));
  // A count far beyond the bytes stops at the end instead of reading on.
  std::vector<std::uint8_t> huge = bytes;
  huge[0] = huge[1] = huge[2] = huge[3] = 0xFF;
  EXPECT_FALSE(DecodeStringResource(huge, &decoded));
  EXPECT_FALSE(DecodeStringResource(EncodeStringResource({{2, "a"}, {2, "b"}}), &decoded));
  EXPECT_FALSE(DecodeStringResource(EncodeStringResource({{3, "a"}, {2, "b"}}), &decoded));
}

TEST(StringTableSource, GeneratedEntriesEscapeWhatALiteralCannotHoldAsItIs) {
  std::string source = WriteStringTableSource(
      {{-1, "Invalid Number Of Parameters "}, {7, "q\"b\\?\xC3\xA9" "7"}});
  EXPECT_NE(source.find("{-1, std::string_view(\"Invalid Number Of Parameters \", 29)}"),
            std::string::npos)
      << source;
  // Octal escapes always take three digits, so a digit after one stays a digit.
  EXPECT_NE(source.find("{7, std::string_view(\"q\\\"b\\\\\\?\\303\\2517\", 8)}"),
            std::string::npos)
      << source;
  EXPECT_NE(source.find("StringTableEntries() { return kEntries; }"), std::string::npos);
  std::string empty = WriteStringTableSource({});
  EXPECT_EQ(empty.find("kEntries"), std::string::npos);
  EXPECT_NE(empty.find("StringTableEntries() { return {}; }"), std::string::npos);
}

// The table compiled into the runtime is the one strings.txt gives.
TEST(StringTableSource, RuntimeTableMatchesTheSourceFile) {
  std::ifstream in(std::filesystem::path(VAULTRIX_SOURCE_DIR) / "resources" / "strings.txt",
                   std::ios::binary);
  ASSERT_TRUE(in);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  Entries entries = Read(text);
  std::span<const support::StringTableEntry> table = support::StringTableEntries();
  ASSERT_EQ(table.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    EXPECT_EQ(table[i].id, entries[i].id);
    EXPECT_EQ(table[i].text, entries[i].text) << entries[i].id;
  }
}

}  // namespace
}  // namespace vaultrix::rescomp
