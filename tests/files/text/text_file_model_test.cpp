// Reading random files through the engine's windows and buffers gives the
// same records as a plain reading of the whole text, whatever the record
// size, end-of-record sequence, tab setting and buffering, and whatever the
// caller leaves in the record between reads; writing random records gives
// the lines a plain clipping of each says.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "runtime/files/file_descriptor.h"
#include "runtime/files/text/text_file.h"
#include "runtime/support/error_codes.h"
#include "tests/platform/scratch_dir.h"

namespace vaultrix::files {
namespace {

struct Line {
  std::string record;
  std::int64_t pointer;
};

// The reading rules applied to the text as one string.
std::vector<Line> ModelLines(const std::string& text, std::size_t size, const std::string& eor,
                             int tab) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size() && text[start] != 26) {
    std::string record(size, ' ');
    std::size_t p = start;
    std::size_t column = 0;
    bool ended = false;
    while (column < size && p < text.size()) {
      if (!eor.empty() && text.compare(p, eor.size(), eor) == 0) {
        p += eor.size();
        ended = true;
        break;
      }
      char c = text[p];
      if (c == 26) break;
      ++p;
      if (c == '\t' && tab != kTabKeep) {
        std::size_t blanks = tab > 0 ? tab - column % tab : (tab == 0 ? 0 : -tab);
        column = std::min(size, column + blanks);
        continue;
      }
      record[column++] = c;
    }
    if (!ended && column >= size && !eor.empty() && text.compare(p, eor.size(), eor) == 0) {
      p += eor.size();
    }
    lines.push_back({record, static_cast<std::int64_t>(start) + 1});
    start = p;
  }
  return lines;
}

// A random file: mostly stop bytes (short runs), or mostly letters with
// stops now and then, so that long runs, stops at every place of a
// sixteen-byte block and lines across window edges all occur.
std::string RandomText(std::mt19937& random) {
  const char alphabet[] = "abc \t\r\n\r\n|\x1A";
  const bool long_runs = random() % 2;
  std::string text;
  std::size_t length = random() % (long_runs ? 6000 : 3000);
  for (std::size_t i = 0; i < length; ++i) {
    char c = alphabet[random() % (sizeof(alphabet) - 1)];
    if (long_runs && random() % 12 != 0) c = static_cast<char>('d' + random() % 20);
    // Byte 26 is rare, so that most files are read to their end.
    if (c == 26 && random() % 20 != 0) c = 'z';
    text += c;
  }
  return text;
}

TEST(TextFileModel, RandomFilesReadAsThePlainRulesSay) {
  testing::ScratchDir dir;
  std::mt19937 random(20261207);
  const std::string eors[] = {"\r\n", "\n", "|", "||\r", ""};
  const int tabs[] = {8, 3, 0, -100, -2};
  for (int round = 0; round < 600; ++round) {
    std::string text = RandomText(random);
    std::uint32_t size = 1 + random() % (random() % 2 ? 8 : 300);
    const std::string& eor = eors[random() % std::size(eors)];
    int tab = tabs[random() % std::size(tabs)];
    bool quick_scan = random() % 2;
    // The caller may write into the record between reads; a read clears
    // it all the same.
    bool scribble = random() % 2;
    std::string options = "/TAB=" + std::to_string(tab) +
                          "/QUICKSCAN=" + (quick_scan ? "ON" : "OFF") +
                          "/FILEBUFFERS=" + std::to_string(1 + random() % 3) +
                          "/ENDOFRECORD=" + std::to_string(eor.size());
    for (char c : eor) options += "," + std::to_string(static_cast<unsigned char>(c));
    dir.Put("r.txt", text);

    std::string record(size, '?');
    TextFile file(dir.Path("r.txt"), record.data(), size, false);
    ASSERT_EQ(file.Open(kAccessReadWrite | kDenyNone, options), 0);
    std::vector<Line> expected = ModelLines(text, size, eor, tab);
    std::size_t index = 0;
    std::int32_t result;
    while ((result = file.Next()) == 0) {
      ASSERT_LT(index, expected.size()) << "round " << round;
      EXPECT_EQ(record, expected[index].record) << "round " << round << " line " << index;
      EXPECT_EQ(file.Pointer(), expected[index].pointer) << "round " << round;
      ++index;
      if (scribble) record[random() % size] = '#';
    }
    EXPECT_EQ(result, support::kRecordNotAvailable);
    EXPECT_EQ(index, expected.size()) << "round " << round << " options " << options;
    EXPECT_TRUE(file.Eof());
  }
}

// Lines added through the gathering buffer (QUICKSCAN) or one by one land
// in the file as the record says: clipped or not, OEM or not.
TEST(TextFileModel, RandomRecordsAreWrittenAsThePlainRulesSay) {
  testing::ScratchDir dir;
  std::mt19937 random(7122026);
  for (int round = 0; round < 60; ++round) {
    const std::uint32_t size = 1 + random() % (random() % 2 ? 70 : 9000);
    const bool clip = random() % 2;
    const bool quick_scan = random() % 2;
    const std::string options = std::string("/CLIP=") + (clip ? "ON" : "OFF") +
                                "/QUICKSCAN=" + (quick_scan ? "ON" : "OFF") + "/FILEBUFFERS=1";
    dir.Put("w.txt", "");
    std::string record(size, ' ');
    TextFile file(dir.Path("w.txt"), record.data(), size, false);
    ASSERT_EQ(file.Open(kAccessReadWrite | kDenyNone, options), 0);
    std::string expected;
    for (int line = 0; line < 40; ++line) {
      record.assign(size, ' ');
      // Text up to a random place, often near the block sizes the clipping
      // compares, with blanks inside it.
      std::size_t used =
          random() % 3 ? random() % (size + 1) : std::min<std::size_t>(size, 4095 + random() % 3);
      for (std::size_t i = 0; i < used; ++i) {
        record[i] = random() % 4 ? static_cast<char>('a' + random() % 26) : ' ';
      }
      ASSERT_EQ(file.Add(), 0);
      std::string text = record;
      if (clip) text.erase(text.find_last_not_of(' ') + 1);
      expected += text + "\r\n";
    }
    ASSERT_EQ(file.Close(), 0);
    EXPECT_EQ(dir.Get("w.txt"), expected) << "round " << round << " options " << options;
  }
}

}  // namespace
}  // namespace vaultrix::files
