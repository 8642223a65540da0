// The generator's draws: uniform over each set, never biased toward the low
// values of a range, sizes kept within the password field, the word draw's
// limit, and the supply of the words file to the data directory.
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/passwords/generator.h"
#include "app/passwords/secure_random.h"
#include "app/passwords/words_file.h"
#include "tests/app/test_support.h"

namespace vaultrix::app {
namespace {

// Chi-square statistic of `counts` against equal expectation over `cells`.
double ChiSquare(const std::map<char, int>& counts, int cells, int draws) {
  const double expected = static_cast<double>(draws) / cells;
  double sum = 0;
  for (const auto& [c, n] : counts) sum += (n - expected) * (n - expected) / expected;
  sum += (cells - static_cast<int>(counts.size())) * expected;  // characters never drawn
  return sum;
}

// The chi-square value that a uniform draw exceeds with probability 1e-4
// (Wilson-Hilferty approximation, z = 3.719): a uniform draw fails the test
// once in 10,000 runs; 25 degrees of freedom give 60.4, 61 give 111.0,
// 69 give 121.6.
double Threshold(int degrees) {
  const double d = degrees;
  const double a = 2.0 / (9.0 * d);
  return d * std::pow(1.0 - a + 3.719 * std::sqrt(a), 3.0);
}

std::map<char, int> Count(std::string_view set, int draws, const RandomDraw& draw) {
  std::map<char, int> counts;
  for (int done = 0; done < draws; done += kLargestPassword) {
    for (char c : CharacterPassword(set, kLargestPassword, draw)) ++counts[c];
  }
  return counts;
}

TEST(PasswordGenerator, EachSetIsDrawnUniformly) {
  constexpr int kDraws = 100'020;  // a multiple of 30, just over 100,000
  for (std::string_view set : {kAlphabetOnlySet, kAlphanumericSet, kAllCharactersSet}) {
    const int cells = static_cast<int>(set.size());
    const std::map<char, int> counts = Count(set, kDraws, SecureRandom);
    EXPECT_LT(ChiSquare(counts, cells, kDraws), Threshold(cells - 1)) << set;
    for (const auto& [c, n] : counts) EXPECT_NE(set.find(c), std::string_view::npos) << c;
  }
  // The same test rejects a draw with the bias of a byte reduced modulo 62
  // (eight characters one draw in 256 likelier than the rest).
  std::uint32_t state = 12345;
  const RandomDraw biased = [&state](std::int32_t low, std::int32_t high) {
    state = state * 1103515245u + 12345u;
    return low + static_cast<std::int32_t>(((state >> 16) & 0xFF) % (high - low + 1));
  };
  EXPECT_GT(ChiSquare(Count(kAlphanumericSet, kDraws, biased), 62, kDraws), Threshold(61));
}

TEST(PasswordGenerator, DrawsAboveTheLastWholeRangeAreDrawnAgain) {
  struct Case {
    std::int32_t low, high;
    std::vector<std::uint32_t> draws;
    std::int32_t expected;
    std::size_t used;
  };
  const std::vector<Case> cases = {
      {1, 62, {0xFFFFFFFFu, 5}, 6, 2},                 // 2^32 mod 62 = 4: the top 4 rejected
      {1, 62, {0xFFFFFFFBu, 7}, 1 + 0xFFFFFFFBu % 62, 1},  // the last accepted draw
      {1, 70, {0xFFFFFFFDu, 0xFFFFFFFCu, 69}, 70, 3},   // 2^32 mod 70 = 46
      {6, 8, {4}, 7, 1},
      {5, 5, {}, 5, 0},
      {8, 6, {0}, 6, 1},  // reversed bounds
  };
  for (const Case& c : cases) {
    std::size_t used = 0;
    const std::int32_t result = UniformInRange(c.low, c.high, [&] { return c.draws.at(used++); });
    EXPECT_EQ(result, c.expected) << c.low << ".." << c.high;
    EXPECT_EQ(used, c.used) << c.low << ".." << c.high;
  }
}

TEST(PasswordGenerator, SetsAndSizes) {
  // A draw that walks through every position of the set in turn.
  std::int32_t next = 0;
  const RandomDraw walk = [&next](std::int32_t low, std::int32_t high) {
    return low + (next++ % (high - low + 1));
  };
  EXPECT_EQ(CharacterSet("Alphabet Only       "), kAlphabetOnlySet);
  EXPECT_EQ(CharacterSet("Alphanumeric"), kAlphanumericSet);
  EXPECT_EQ(CharacterSet("All Characters"), kAllCharactersSet);
  EXPECT_EQ(CharacterSet("anything"), kAllCharactersSet);
  ASSERT_EQ(kAllCharactersSet.size(), 70u);
  next = 0;
  std::string every;
  for (int i = 0; i < 3; ++i) every += CharacterPassword(kAllCharactersSet, 30, walk);
  EXPECT_EQ(every.substr(0, 70), kAllCharactersSet);
  EXPECT_EQ(every.find_first_of(")+=_-"), std::string::npos);
  // Sizes 31 and 32 never overflow the 30-character field.
  for (std::int32_t size : {0, 3, 30, 31, 32}) {
    EXPECT_EQ(CharacterPassword(kAlphabetOnlySet, size, walk).size(),
              static_cast<std::size_t>(std::min(size, kLargestPassword)));
  }
}

class ListedWords final : public WordSource {
 public:
  explicit ListedWords(std::vector<std::string> words) : words_(std::move(words)) {}
  std::int64_t Count() override { return static_cast<std::int64_t>(words_.size()); }
  std::string Word(std::int64_t number) override {
    ++reads;
    return words_.at(static_cast<std::size_t>(number - 1));
  }
  int reads = 0;

 private:
  std::vector<std::string> words_;
};

TEST(PasswordGenerator, WordDraws) {
  std::int32_t next = 0;
  const RandomDraw walk = [&next](std::int32_t low, std::int32_t high) {
    return low + (next++ % (high - low + 1));
  };
  ListedWords words({"cat", "horse", "giraffe"});
  WordDrawResult drawn = WordPassword(5, words, walk);
  EXPECT_TRUE(drawn.fits);
  EXPECT_EQ(drawn.word, "horse");
  EXPECT_EQ(drawn.draws, 2);

  next = 0;
  words.reads = 0;
  drawn = WordPassword(25, words, walk);
  EXPECT_FALSE(drawn.fits);
  EXPECT_EQ(drawn.draws, kWordDraws);
  EXPECT_EQ(words.reads, 250);
  EXPECT_EQ(drawn.word, "cat") << "the 250th draw is record 1 again";

  ListedWords none({});
  drawn = WordPassword(6, none, walk);
  EXPECT_FALSE(drawn.fits);
  EXPECT_EQ(drawn.word, "");
  EXPECT_EQ(none.reads, 0);
}

class WordsFileSupply : public testing::AppServicesTest {
 protected:
  std::string Folder(const std::string& name) {
    const std::string folder = scratch_ + "/" + name;
    ::mkdir(folder.c_str(), 0700);
    return folder;
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
};

TEST_F(WordsFileSupply, AMissingFileIsCopiedOnceFromTheFirstSource) {
  const std::string data = Folder("data");
  const std::string share = Folder("share");
  const std::string build = Folder("build");
  Write(build + "/vtrix_w.hvn", "from the build");
  const std::vector<std::string> sources = {share + "/vtrix_w.hvn", build + "/vtrix_w.hvn"};

  ASSERT_TRUE(ProvideWordsFile(data, sources));
  EXPECT_EQ(Read(data + "/vtrix_w.hvn"), "from the build");
  struct stat info {};
  ASSERT_EQ(::stat((data + "/vtrix_w.hvn").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  Write(share + "/vtrix_w.hvn", "installed");
  ASSERT_TRUE(ProvideWordsFile(data, sources));
  EXPECT_EQ(Read(data + "/vtrix_w.hvn"), "from the build") << "a file in place is kept";

  EXPECT_FALSE(ProvideWordsFile(Folder("other"), {scratch_ + "/nowhere/vtrix_w.hvn"}));
}

}  // namespace
}  // namespace vaultrix::app
