// The stored formats of HVN files, byte for byte: header, variable-length
// numbers, run-length packing and its rounding rule, records with prefix
// compression, record keys, table names, the definition stream and memo chunks.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/files/hvn/pages/table_definition.h"
#include "runtime/files/hvn/pages/header.h"
#include "runtime/files/hvn/pages/memo_chunks.h"
#include "runtime/files/hvn/pages/packing.h"
#include "runtime/files/hvn/pages/page.h"
#include "runtime/files/hvn/pages/record_kinds.h"
#include "runtime/files/record_layout.h"

namespace vaultrix::files::hvn {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

const std::uint8_t* U(const std::string& s) {
  return reinterpret_cast<const std::uint8_t*>(s.data());
}

TEST(HvnHeaderTest, FieldsSitAtTheirOffsets) {
  FileHeader header;
  header.committed_end = 0x1200;
  header.written_end = 0x1300;
  header.last_number = 0x01020304;
  header.change_counter = 7;
  header.root = 3;
  header.region_start[2] = 4;
  header.region_end[2] = 10;
  std::uint8_t out[kHeaderSize];
  EncodeHeader(header, out);
  EXPECT_EQ(Load32(out), 0u);
  EXPECT_EQ(Load16(out + 4), 0x200);
  EXPECT_EQ(Load32(out + 6), 0x1200u);
  EXPECT_EQ(Load32(out + 10), 0x1300u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out + 14), 4), "hAlV");
  EXPECT_EQ(Bytes({out[20], out[21], out[22], out[23]}), Bytes({1, 2, 3, 4}));  // big-endian
  EXPECT_EQ(Load32(out + 24), 7u);
  EXPECT_EQ(Load32(out + 28), 3u);
  EXPECT_EQ(Load32(out + 32 + 8), 4u);
  EXPECT_EQ(Load32(out + 272 + 8), 10u);
  FileHeader back;
  ASSERT_TRUE(DecodeHeader(out, out + kHeaderSize, &back));
  EXPECT_EQ(back, header);
  EXPECT_FALSE(DecodeHeader(out, out + 100, &back));  // short
  out[14] = 'x';
  EXPECT_FALSE(DecodeHeader(out, out + kHeaderSize, &back));  // wrong magic
}

TEST(HvnHeaderTest, RegionsGiveEachReferenceItsPageSize) {
  FileHeader header;
  header.region_start[1] = 0;
  header.region_end[1] = 3;
  header.region_start[3] = 4;  // a gap of one unit is allowed
  header.region_end[3] = 10;
  ASSERT_TRUE(CheckRegions(header));
  EXPECT_EQ(UnitsAt(header, 2), 1);
  EXPECT_EQ(UnitsAt(header, 3), 0);
  EXPECT_EQ(UnitsAt(header, 7), 3);
  EXPECT_EQ(UnitsAt(header, 8), 0);  // inside a page, not at its start
  EXPECT_EQ(DataEndReference(header), 10);
  EXPECT_EQ(PageOffset(3), 3u * 256 + 512);
  header.region_end[3] = 9;  // not a whole number of pages
  EXPECT_FALSE(CheckRegions(header));
  header.region_end[3] = 10;
  header.region_start[2] = 2;  // overlaps region 1
  header.region_end[2] = 4;
  EXPECT_FALSE(CheckRegions(header));
}

TEST(HvnPackingTest, VariableLengthNumbers) {
  std::string out;
  AppendVarNumber(out, 5);
  AppendVarNumber(out, 128);
  AppendVarNumber(out, 16383);
  AppendVarNumber(out, 0xFFFFFFFF);
  EXPECT_EQ(out.substr(0, 5), Bytes({0x05, 0x80, 0x01, 0xFF, 0x7F}));
  const std::uint8_t* p = U(out);
  std::uint32_t v = 0;
  ASSERT_TRUE(ReadVarNumber(p, U(out) + out.size(), &v));
  EXPECT_EQ(v, 5u);
  ASSERT_TRUE(ReadVarNumber(p, U(out) + out.size(), &v));
  EXPECT_EQ(v, 128u);
  ASSERT_TRUE(ReadVarNumber(p, U(out) + out.size(), &v));
  EXPECT_EQ(v, 16383u);
  ASSERT_TRUE(ReadVarNumber(p, U(out) + out.size(), &v));
  EXPECT_EQ(v, 0xFFFFFFFFu);
  const std::string truncated = Bytes({0x80});
  const std::uint8_t* q = U(truncated);
  EXPECT_FALSE(ReadVarNumber(q, q + 1, &v));
}

TEST(HvnPackingTest, RunsOfFourOrMoreArePackedWithTheFirstByteInTheLiteral) {
  const std::string text = "ab" + std::string(6, 'x') + "cd";
  const std::string packed = PackBytes(U(text), text.size());
  // literal "abx" (3), repeat 5, literal "cd" (2)
  EXPECT_EQ(packed, Bytes({3, 'a', 'b', 'x', 5, 2, 'c', 'd'}));
  std::string back;
  ASSERT_TRUE(UnpackBytes(U(packed), U(packed) + packed.size(), text.size(), &back));
  EXPECT_EQ(back, text);
  // Three equal bytes are no run; a text without runs is not packed at all.
  EXPECT_EQ(PackBytes(U(std::string("aaabbbccc")), 9), "");
  // A run at the very end needs no final literal.
  const std::string tail = "q" + std::string(300, '\0');
  const std::string tail_packed = PackBytes(U(tail), tail.size());
  EXPECT_EQ(tail_packed, Bytes({2, 'q', 0, 0xAB, 0x02}));
  back.clear();
  ASSERT_TRUE(UnpackBytes(U(tail_packed), U(tail_packed) + tail_packed.size(), tail.size(), &back));
  EXPECT_EQ(back, tail);
}

TEST(HvnPackingTest, DamagedPackedTextIsRefused) {
  std::string out;
  const std::string overlong = Bytes({3, 'a', 'b', 'x', 100});
  EXPECT_FALSE(UnpackBytes(U(overlong), U(overlong) + overlong.size(), 10, &out));
  const std::string short_literal = Bytes({9, 'a'});
  EXPECT_FALSE(UnpackBytes(U(short_literal), U(short_literal) + 2, 9, &out));
  const std::string repeat_first = Bytes({0, 5});
  EXPECT_FALSE(UnpackBytes(U(repeat_first), U(repeat_first) + 2, 5, &out));
  const std::string trailing = Bytes({2, 'a', 'b', 7});
  EXPECT_FALSE(UnpackBytes(U(trailing), U(trailing) + 4, 2, &out));
}

PageContent LeafOf(std::vector<Record> records) {
  PageContent page;
  page.records = std::move(records);
  return page;
}

TEST(HvnPageTest, PrefixCompressionTakesUpToSixtyThreeBytesAndSkipsRepeatedLengths) {
  const std::string common(70, 'k');
  std::vector<Record> records = {{common + "1", "d"}, {common + "2", "d"}};
  const std::string area = EncodeRecords(records);
  // First record: flag 0xC0, lengths, all 72 bytes.
  EXPECT_EQ(static_cast<std::uint8_t>(area[0]), 0xC0);
  EXPECT_EQ(Load16(U(area) + 1), 72);
  EXPECT_EQ(Load16(U(area) + 3), 71);
  // Second record: same lengths, 63 bytes from the previous one.
  const std::size_t second = 5 + 72;
  EXPECT_EQ(static_cast<std::uint8_t>(area[second]), 0x3F);
  EXPECT_EQ(area.size(), second + 1 + (72 - 63));
  std::vector<Record> back;
  ASSERT_EQ(DecodeRecords(U(area), U(area) + area.size(), 2, &back), 0);
  EXPECT_EQ(back, records);
  // A walk that does not end exactly at the end is damage.
  EXPECT_NE(DecodeRecords(U(area), U(area) + area.size() - 1, 2, &back), 0);
  EXPECT_NE(DecodeRecords(U(area), U(area) + area.size(), 1, &back), 0);

  // A prefix that runs from the key into the data, with keys of other lengths.
  records = {{"ab", "cdef"}, {"abc", "defg"}, {"abc", "dx"}, {"", "abcd"}, {"abcd", ""}};
  const std::string crossing = EncodeRecords(records);
  // The second record after 5 bytes of flag and lengths and 6 of the first:
  // "abcdef" shared, other lengths.
  EXPECT_EQ(static_cast<std::uint8_t>(crossing[11]), 0xC0 | 6);
  ASSERT_EQ(DecodeRecords(U(crossing), U(crossing) + crossing.size(), 5, &back), 0);
  EXPECT_EQ(back, records);
}

TEST(HvnPageTest, PageHeaderAndPackingOnlyWhenAUnitIsSaved) {
  // Records that pack well: the page stores fewer units than it unpacks to.
  std::vector<Record> records;
  for (int i = 0; i < 3; ++i)
    records.push_back({std::string("key") + char('a' + i), std::string(400, ' ')});
  PageContent page = LeafOf(records);
  const std::string image = EncodePage(page, 512 + 256 * 7);
  ASSERT_FALSE(image.empty());
  const std::uint8_t* p = U(image);
  EXPECT_EQ(Load32(p), 512u + 256 * 7);
  const std::uint32_t stored = Load16(p + 4), unpacked = Load16(p + 6);
  EXPECT_LT(stored, unpacked);
  EXPECT_EQ(Load16(p + 8), SizeBound(page));
  EXPECT_EQ(SizeBound(page), 13u + 3 * (404 + 5));
  EXPECT_EQ(Load16(p + 10), 3);
  EXPECT_EQ(p[12], 0);
  EXPECT_EQ(image.size(), RoundUnits(stored) * 256);
  PageContent back;
  ASSERT_EQ(DecodePage(p, p + image.size(), 512 + 256 * 7, &back), 0);
  EXPECT_EQ(back.records, records);
  EXPECT_NE(DecodePage(p, p + image.size(), 512, &back), 0);  // read at the wrong place

  // A run that saves bytes but no whole unit leaves the page unpacked.
  PageContent small = LeafOf({{"k", "abcd" + std::string(5, 'z') + "efg"}});
  const std::string small_image = EncodePage(small, 512);
  EXPECT_EQ(Load16(U(small_image) + 4), Load16(U(small_image) + 6));
  EXPECT_EQ(small_image.size(), 256u);
}

TEST(HvnPageTest, PackedExactlyWhenItsUnitsAreFewerAtEveryBoundary) {
  // Literal text of every length around the unit boundaries, behind a run
  // that saves about 250 bytes.
  for (std::size_t literal = 200; literal < 800; ++literal) {
    std::string data(literal, ' ');
    for (std::size_t i = 0; i < literal; ++i) data[i] = static_cast<char>('a' + i % 3);
    data += std::string(254, '-');
    const PageContent page = LeafOf({{"k", data}});
    const std::string area = EncodeRecords(page.records);
    const std::string packed = PackBytes(U(area), area.size());
    const bool fewer = !packed.empty() &&
                       RoundUnits(static_cast<std::uint32_t>(kPageHeaderSize + packed.size())) <
                           RoundUnits(static_cast<std::uint32_t>(kPageHeaderSize + area.size()));
    const std::string image = EncodePage(page, 512);
    ASSERT_FALSE(image.empty());
    EXPECT_EQ(Load16(U(image) + 4) < Load16(U(image) + 6), fewer) << literal;
    PageContent back;
    ASSERT_EQ(DecodePage(U(image), U(image) + image.size(), 512, &back), 0);
    EXPECT_EQ(back.records, page.records);
  }
}

TEST(HvnPageTest, IndexPagesCarryChildReferencesOutsideThePackedArea) {
  PageContent index;
  index.level = 1;
  index.records = {{"a", ""}, {"m", ""}};
  index.children = {4, 9};
  const std::string image = EncodePage(index, 512);
  const std::uint8_t* p = U(image);
  EXPECT_EQ(p[12], 1);
  EXPECT_EQ(Load32(p + 13), 4u);
  EXPECT_EQ(Load32(p + 17), 9u);
  EXPECT_EQ(Load16(p + 8), 13 + 2 * (1 + 5 + 4));
  PageContent back;
  ASSERT_EQ(DecodePage(p, p + image.size(), 512, &back), 0);
  EXPECT_EQ(back.children, index.children);
  EXPECT_EQ(back.records, index.records);
}

TEST(HvnPageTest, APageThatCannotFitIsNotEncoded) {
  std::string noise;
  for (int i = 0; i < 15100; ++i) noise.push_back(static_cast<char>(i * 7 + i / 3));
  EXPECT_TRUE(EncodePage(LeafOf({{"k", noise}}), 512).empty());
}

TEST(HvnRecordsTest, KeysOfEveryKind) {
  EXPECT_EQ(DataKey(0x01020304, 0x0A0B0C0D), Bytes({1, 2, 3, 4, 0xF3, 0x0A, 0x0B, 0x0C, 0x0D}));
  EXPECT_EQ(CounterKey(5, kKindData), Bytes({0, 0, 0, 5, 0xF6, 0xF3}));
  EXPECT_EQ(DefinitionKey(5, 0x0102), Bytes({0, 0, 0, 5, 0xFA, 0x02, 0x01}));
  EXPECT_EQ(MemoKey(5, 9, 1, 0x0203), Bytes({0, 0, 0, 5, 0xFC, 0, 0, 0, 9, 1, 2, 3}));
  EXPECT_EQ(TableNameKey("UNNAMED"), "\xFEUNNAMED");
  EXPECT_EQ(TransactionKey(), "\xFF");
  EXPECT_EQ(DataKeyNumber(DataKey(5, 77), 5), 77u);
  EXPECT_EQ(DataKeyNumber(DataKey(5, 77), 6), std::nullopt);
  EXPECT_EQ(EncodeCounter({3, 1}), Bytes({3, 0, 0, 0, 1, 0, 0, 0}));
  TransactionRecord transaction{42, "halverin.tcf"};
  TransactionRecord back;
  ASSERT_TRUE(DecodeTransaction(EncodeTransaction(transaction), &back));
  EXPECT_EQ(back.number, 42u);
  EXPECT_EQ(back.control_file, "halverin.tcf");
}

TEST(HvnRecordsTest, LastIssuedNumberStopsBelowFE000000) {
  EXPECT_EQ(NextNumber(0), 1u);
  EXPECT_EQ(NextNumber(0xFDFFFFFE), 0xFDFFFFFFu);
  EXPECT_EQ(NextNumber(0xFDFFFFFF), std::nullopt);
}

TEST(HvnRecordsTest, TableNamesAndDefaultExtension) {
  TableName plain = SplitTableName("Vtrix_P");
  EXPECT_EQ(plain.path, "Vtrix_P.HVN");
  EXPECT_EQ(plain.table, "UNNAMED");
  TableName named = SplitTableName("data/all.dat\\!users");
  EXPECT_EQ(named.path, "data/all.dat");
  EXPECT_EQ(named.table, "users");
  EXPECT_TRUE(named.named);
  EXPECT_EQ(SplitTableName("dir.d/file").path, "dir.d/file.HVN");
}

TEST(HvnDefinitionTest, StreamLayoutAndTolerances) {
  TableDefinition definition;
  definition.record_size = 34;
  DefinedField text;
  text.type = kTypeString;
  text.offset = 0;
  text.label = "P_:USER";
  text.element_count = 1;
  text.size = 30;
  text.element_length = 30;
  text.picture = "@s30";
  DefinedField number;
  number.type = kTypeLong;
  number.offset = 30;
  number.element_count = 1;
  number.size = 4;
  number.ordinal = 1;
  definition.fields = {text, number};
  DefinedMemo memo;
  memo.label = "P_:NOTES";
  memo.size = 1000;
  memo.flags = 1;
  definition.memos = {memo};
  DefinedKey key;
  key.label = "P_:KEYUSER";
  key.attributes = 0x04;
  key.components = {{0, 0}};
  definition.keys = {key};

  const std::string stream = EncodeDefinition(definition);
  const std::string expected =
      Bytes({1, 0, 34, 0, 2, 0, 1, 0, 1, 0}) +  // counts
      Bytes({0x12, 0, 0}) + "P_:USER" + Bytes({0, 1, 0, 30, 0, 0, 0, 0, 0, 30, 0}) + "@s30" +
      Bytes({0}) +                                                     // STRING
      Bytes({0x06, 30, 0, 0, 1, 1, 0, 4, 0, 0, 0, 1, 0}) +             // LONG, no label
      Bytes({0, 1}) + "P_:NOTES" + Bytes({0, 0xE8, 3, 1, 0}) +         // memo
      Bytes({0, 1}) + "P_:KEYUSER" + Bytes({0, 4, 1, 0, 0, 0, 0, 0});  // key
  EXPECT_EQ(stream, expected);
  TableDefinition back;
  ASSERT_TRUE(DecodeDefinition(U(stream), U(stream) + stream.size(), &back));
  EXPECT_TRUE(DefinitionsMatch(back, definition));
  EXPECT_FALSE(DecodeDefinition(U(stream), U(stream) + stream.size() - 1, &back));

  TableDefinition relabelled = definition;
  relabelled.fields[0].label = "OTHER";
  relabelled.fields[0].picture = "@s10";
  relabelled.keys[0].attributes |= 0x10;
  EXPECT_TRUE(DefinitionsMatch(relabelled, definition));
  TableDefinition bigger_memo = definition;
  bigger_memo.memos[0].size = 2000;
  EXPECT_FALSE(DefinitionsMatch(bigger_memo, definition));
  TableDefinition other_type = definition;
  other_type.fields[1].type = kTypeULong;
  EXPECT_FALSE(DefinitionsMatch(other_type, definition));
  TableDefinition dup = definition;
  dup.keys[0].attributes |= 0x01;
  EXPECT_FALSE(DefinitionsMatch(dup, definition));
}

TEST(HvnMemoTest, ChunksOf256WithoutTrailingBlanks) {
  std::string memo(300, 'n');
  memo += std::string(200, ' ');
  const auto chunks = SplitMemo(memo.data(), memo.size(), false);
  ASSERT_EQ(chunks.size(), 2u);
  EXPECT_EQ(chunks[0].size(), 256u);
  EXPECT_EQ(chunks[1].size(), 44u);
  const std::string blanks(10000, ' ');
  EXPECT_TRUE(SplitMemo(blanks.data(), blanks.size(), false).empty());

  char buffer[300];
  std::size_t done = 0;
  ASSERT_TRUE(AppendMemoChunk(chunks[0], buffer, sizeof buffer, &done, false));
  ASSERT_TRUE(AppendMemoChunk(chunks[1], buffer, sizeof buffer, &done, false));
  EXPECT_EQ(done, 300u);
  EXPECT_FALSE(AppendMemoChunk("x", buffer, sizeof buffer, &done, false));  // done+len > limit
}

TEST(HvnMemoTest, TrailingBlanksEndAtTheLastOtherByteWhereverItFalls) {
  // Around the blocks and words the scan compares at once.
  for (std::size_t size : {0u, 1u, 7u, 255u, 256u, 257u, 512u, 10000u}) {
    for (std::size_t last : {0u, 1u, 8u, 255u, 256u, 257u, 9999u}) {
      if (last > size) continue;
      std::string buffer(size, ' ');
      if (last > 0) buffer[last - 1] = 'x';
      EXPECT_EQ(LengthWithoutTrailingBlanks(buffer.data(), size), last) << size << " " << last;
    }
  }
}

TEST(HvnMemoTest, OemChunksAreConvertedBothWays) {
  std::string memo = "caf\xE9";  // e acute in the program's set
  const auto chunks = SplitMemo(memo.data(), memo.size(), true);
  ASSERT_EQ(chunks.size(), 1u);
  EXPECT_EQ(static_cast<std::uint8_t>(chunks[0][3]), 0x82);  // its OEM code
  char buffer[4];
  std::size_t done = 0;
  ASSERT_TRUE(AppendMemoChunk(chunks[0], buffer, 4, &done, true));
  EXPECT_EQ(std::string(buffer, 4), memo);
}

}  // namespace
}  // namespace vaultrix::files::hvn
