// Pages, headers and records as other writers of the format lay them out:
// every form the format allows is read, and only damage is refused.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/files/hvn/pages/header.h"
#include "runtime/files/hvn/pages/packing.h"
#include "runtime/files/hvn/pages/page.h"
#include "runtime/files/hvn/pages/record_kinds.h"

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

struct PackedCase {
  const char* what;
  std::string packed;
  std::size_t length;
  bool accepted;
  std::string text;  // when accepted
};

TEST(HvnOtherWritersTest, PackedTextForms) {
  const std::string abx = "ab" + std::string(6, 'x');
  const std::vector<PackedCase> cases = {
      {"closing run, nothing after", Bytes({3, 'a', 'b', 'x', 5}), 8, true, abx},
      {"closing run, one zero count", Bytes({3, 'a', 'b', 'x', 5, 0}), 8, true, abx},
      {"closing run, zero count in two bytes", Bytes({3, 'a', 'b', 'x', 5, 0x80, 0}), 8, true,
       abx},
      {"literal count in more bytes than needed", Bytes({0x83, 0x80, 0, 'a', 'b', 'x', 5}), 8,
       true, abx},
      {"zero repeat between literals", Bytes({1, 'a', 0, 2, 'b', 'c'}), 3, true, "abc"},
      {"zero literal and zero repeat first", Bytes({0, 0, 2, 'a', 'b'}), 2, true, "ab"},
      {"closing run, two zero counts", Bytes({3, 'a', 'b', 'x', 5, 0, 0}), 8, false, ""},
      {"closing run, a literal past the end", Bytes({3, 'a', 'b', 'x', 5, 1, 'y'}), 8, false, ""},
      {"closing run, a truncated count", Bytes({3, 'a', 'b', 'x', 5, 0x80}), 8, false, ""},
      {"closing literal, a count after it", Bytes({2, 'a', 'b', 0}), 2, false, ""},
      {"repeat before any byte", Bytes({0, 5, 1, 'a'}), 6, false, ""},
      {"repeat past the length", Bytes({1, 'a', 9}), 5, false, ""},
      {"count beyond 32 bits", Bytes({0x80, 0x80, 0x80, 0x80, 0x80, 0x01, 'a'}), 1, false, ""},
  };
  for (const PackedCase& c : cases) {
    std::string out;
    const bool ok = UnpackBytes(U(c.packed), U(c.packed) + c.packed.size(), c.length, &out);
    EXPECT_EQ(ok, c.accepted) << c.what;
    if (ok && c.accepted) {
      EXPECT_EQ(out, c.text) << c.what;
    }
  }
}

// A leaf page laid out by hand: header, then `body` packed by the caller.
std::string HandMadePage(std::uint32_t own_offset, std::size_t unpacked, std::uint16_t count,
                         const std::string& body) {
  std::string image(kUnit, '\0');
  auto* out = reinterpret_cast<std::uint8_t*>(image.data());
  Store32(out, own_offset);
  Store16(out + 4, static_cast<std::uint16_t>(kPageHeaderSize + body.size()));
  Store16(out + 6, static_cast<std::uint16_t>(kPageHeaderSize + unpacked));
  Store16(out + 8, static_cast<std::uint16_t>(kPageHeaderSize + unpacked + 40));
  Store16(out + 10, count);
  image.replace(kPageHeaderSize, body.size(), body);
  return image;
}

TEST(HvnOtherWritersTest, PagesEndingWithARunReadInBothFormsAndAreWrittenWithoutTheZero) {
  const std::vector<Record> records = {{"k1", "value"}, {"k2", std::string(600, '\0')}};
  const std::string plain = EncodeRecords(records);
  const std::string ours = PackBytes(U(plain), plain.size());
  ASSERT_FALSE(ours.empty());
  for (const std::string& body : {ours, ours + Bytes({0})}) {
    const std::string image = HandMadePage(kHeaderSize, plain.size(), 2, body);
    PageContent page;
    EXPECT_EQ(DecodePage(U(image), U(image) + image.size(), kHeaderSize, &page), 0)
        << body.size();
    EXPECT_EQ(page.records, records);
  }
  PageContent page;
  page.records = records;
  const std::string written = EncodePage(page, kHeaderSize);
  EXPECT_EQ(Load16(U(written) + 4), kPageHeaderSize + ours.size());
  EXPECT_EQ(written.substr(kPageHeaderSize, ours.size()), ours);
}

TEST(HvnOtherWritersTest, UnusedRegionEntriesHoldAnyValue) {
  FileHeader header;
  header.region_start[0] = 7;  // entry 0 describes no page size
  header.region_end[0] = -3;
  header.region_start[1] = header.region_end[1] = -1;  // empty, marked as no page
  header.region_start[2] = 0;
  header.region_end[2] = 4;
  header.region_start[3] = header.region_end[3] = 2;  // empty, left behind region 2's start
  ASSERT_TRUE(CheckRegions(header));
  EXPECT_EQ(UnitsAt(header, 2), 2);
  EXPECT_EQ(DataEndReference(header), 4);
  header.region_start[1] = -1;  // a region holding pages must lie in the file
  header.region_end[1] = 0;
  EXPECT_FALSE(CheckRegions(header));
}

TEST(HvnOtherWritersTest, TransactionNameEndsAtItsFirstZero) {
  TransactionRecord record;
  const std::string padded = Bytes({9, 0, 0, 0}) + "ctl.tcf" + Bytes({0, 0, 'z'});
  ASSERT_TRUE(DecodeTransaction(padded, &record));
  EXPECT_EQ(record.number, 9u);
  EXPECT_EQ(record.control_file, "ctl.tcf");
  EXPECT_FALSE(DecodeTransaction(Bytes({9, 0, 0, 0}) + "ctl", &record));  // no terminator
  EXPECT_FALSE(DecodeTransaction(Bytes({9, 0, 0}), &record));
}

}  // namespace
}  // namespace vaultrix::files::hvn
