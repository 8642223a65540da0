// Page files: the placeable header's arithmetic for real printer shapes, what
// the image control accepts, and recorded text surviving the round trip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/metafile_page.h"
#include "platform/metafile_player.h"
#include "platform/metafile_recorder.h"

namespace vaultrix::platform {
namespace {

struct TextSeen {
  std::int16_t x, y;
  std::string text;
  MetafileFont font;
};

class CollectingCanvas : public MetafileCanvas {
 public:
  void Text(std::int16_t x, std::int16_t y, const std::string& text, const MetafileFont& font,
            const MetafileRect*) override {
    texts.push_back({x, y, text, font});
  }
  std::vector<TextSeen> texts;
};

std::vector<std::uint8_t> PageFileBytes(const PrinterCaps& printer,
                                        const std::vector<std::uint8_t>& metafile) {
  const auto header = EncodePlaceableHeader(PageHeaderFor(printer));
  std::vector<std::uint8_t> bytes(header.size() + metafile.size());
  std::copy(header.begin(), header.end(), bytes.begin());
  std::copy(metafile.begin(), metafile.end(), bytes.begin() + header.size());
  return bytes;
}

TEST(PageHeaderTest, PrinterShapes) {
  struct Case {
    PrinterCaps printer;
    std::int16_t right, bottom;
    std::uint16_t units;
  };
  const Case cases[] = {
      {{600, 600, 4800, 6600, 100, 100}, 5000, 6800, 600},
      // Twice as fine vertically: the wider axis is scaled up to 600 units per inch.
      {{300, 600, 2400, 6600, 50, 100}, 5000, 6800, 600},
      // The other way round, the height scaled with rounding: 3301 * 600 / 400 = 4951.5.
      {{600, 400, 4800, 3201, 100, 50}, 5000, 4952, 600},
  };
  for (const Case& c : cases) {
    const PlaceableHeader header = PageHeaderFor(c.printer);
    EXPECT_EQ(header.left, 0);
    EXPECT_EQ(header.top, 0);
    EXPECT_EQ(header.right, c.right);
    EXPECT_EQ(header.bottom, c.bottom);
    EXPECT_EQ(header.units_per_inch, c.units);
    EXPECT_EQ(header.checksum, 0x5711 ^ c.right ^ c.bottom ^ c.units);
    const auto bytes = EncodePlaceableHeader(header);
    const std::vector<std::uint8_t> fixed = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 10), fixed);
    EXPECT_EQ(bytes[16] | bytes[17] | bytes[18] | bytes[19], 0);
  }
}

TEST(PageFileTest, RecordedTextPlaysBackWithItsFontAndPlace) {
  MetafileRecorder recorder(4800, 6300);
  recorder.SelectFont({"Arial", 67, 700});
  recorder.Text(450, 300, "Passwords by Service", {450, 300, 4000, 400});
  recorder.SelectFont({"Arial", 67, 400});
  recorder.Text(30, 1200, "Caf\xC3\xA9 \xE2\x82\xAC", {0, 0, 100, 100});
  const auto bytes = PageFileBytes(kLetterAt600Dpi, recorder.Finish());

  PageFileView page;
  ASSERT_TRUE(ReadPageFile(bytes, &page));
  EXPECT_EQ(page.metafile.size(), bytes.size() - 22);
  CollectingCanvas canvas;
  const PlayResult played = PlayMetafile(page.metafile, canvas);
  EXPECT_TRUE(played.complete);
  ASSERT_EQ(canvas.texts.size(), 2u);
  EXPECT_EQ(canvas.texts[0].text, "Passwords by Service");
  EXPECT_EQ(canvas.texts[0].font.weight, 700);
  EXPECT_EQ(canvas.texts[0].font.height, 67);
  EXPECT_EQ(canvas.texts[0].font.face, "Arial");
  // A character beyond one byte is stored as "?"; accented Latin letters stay.
  EXPECT_EQ(canvas.texts[1].text, "Caf\xC3\xA9 ?");
  EXPECT_EQ(canvas.texts[1].font.weight, 400);
  EXPECT_EQ(canvas.texts[1].x, 30);
  EXPECT_EQ(canvas.texts[1].y, 1200);
}

TEST(PageFileTest, ImageControlAcceptsOnlyKeyedFilesLongerThanTheHeader) {
  MetafileRecorder recorder(100, 100);
  const auto good = PageFileBytes(kLetterAt600Dpi, recorder.Finish());
  PageFileView page;

  auto wrong_checksum = good;
  wrong_checksum[20] ^= 0xFF;
  EXPECT_TRUE(ReadPageFile(wrong_checksum, &page));

  EXPECT_FALSE(ReadPageFile(std::span(good).first(22), &page));
  auto no_key = good;
  no_key[0] = 0;
  EXPECT_FALSE(ReadPageFile(no_key, &page));
  // A metafile header claiming more words than the file holds is refused, not read past.
  EXPECT_FALSE(ReadPageFile(std::span(good).first(good.size() - 2), &page));
}

TEST(PageFileTest, NaturalSizeIsTheSheetAtScreenResolution) {
  const NaturalSize size = PageNaturalSize(PageHeaderFor({600, 600, 4800, 6600, 100, 100}), 96, 96);
  EXPECT_EQ(size.width, 800);
  EXPECT_EQ(size.height, 1088);
}

TEST(PageFileTest, RecordTooLargeForAPageIsRefused) {
  MetafileRecorder recorder(100, 100);
  recorder.Text(0, 0, std::string(40000, 'x'), {});
  EXPECT_FALSE(recorder.ok());
  CollectingCanvas canvas;
  EXPECT_TRUE(PlayMetafile(recorder.Finish(), canvas).complete);
  EXPECT_TRUE(canvas.texts.empty());
}

}  // namespace
}  // namespace vaultrix::platform
