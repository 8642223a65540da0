// The entry control's typing mask: which places take digits, letters or anything, which are
// literals, and which key-in places may stay empty.
#include <gtest/gtest.h>

#include "runtime/windows/typing_mask.h"
#include "tests/windows/picture_test_support.h"

namespace vaultrix::windows {
namespace {

using testing::Compiled;

std::string Classes(const TypingMask& mask) {
  std::string out;
  for (std::size_t i = 0; i < mask.size; ++i) {
    const TypingMaskPlace& place = mask.places[i];
    switch (place.place) {
      case MaskPlace::kLiteral:
        out += place.shown;
        break;
      case MaskPlace::kDigit:
        out += '9';
        break;
      case MaskPlace::kDigitOrBlank:
        out += 'b';
        break;
      case MaskPlace::kLetter:
        out += 'L';
        break;
      case MaskPlace::kUpperLetter:
        out += 'U';
        break;
      case MaskPlace::kLowerLetter:
        out += 'l';
        break;
      case MaskPlace::kAnyCharacter:
        out += '?';
        break;
    }
  }
  return out;
}

TEST(TypingMask, DateAndTimeMasksFollowTheLayout) {
  EXPECT_EQ(Classes(BuildTypingMask(Compiled("@D1"))), "b9/99/99");
  EXPECT_EQ(Classes(BuildTypingMask(Compiled("@D6-"))), "b9-99-9999");
  EXPECT_EQ(Classes(BuildTypingMask(Compiled("@D3"))), "LLL b9, 9999");
  EXPECT_EQ(Classes(BuildTypingMask(Compiled("@T3"))), "b9:99LL");
  EXPECT_EQ(Classes(BuildTypingMask(Compiled("@T5"))), "999999");
}

TEST(TypingMask, KeyInMaskAndItsMarker) {
  TypingMask mask = BuildTypingMask(Compiled("@k(###) ^_@|<?\\|k"));
  EXPECT_EQ(Classes(mask), "(999) UlLb?|");
  for (std::size_t i = 0; i < mask.size; ++i) {
    EXPECT_EQ(mask.places[i].required, i < 9) << "place " << i;
  }
  EXPECT_EQ(NextInputPlace(mask, 0), 1u);
  EXPECT_EQ(NextInputPlace(mask, 4), 6u);
  EXPECT_EQ(NextInputPlace(mask, 11), mask.size);
  EXPECT_EQ(AcceptTyped(mask.places[1], '7'), '7');
  EXPECT_EQ(AcceptTyped(mask.places[1], 'x'), std::nullopt);
  EXPECT_EQ(AcceptTyped(mask.places[6], 'q'), 'Q');
  EXPECT_EQ(AcceptTyped(mask.places[7], 'Q'), 'q');
  EXPECT_EQ(AcceptTyped(mask.places[8], '1'), std::nullopt);
  EXPECT_EQ(AcceptTyped(mask.places[9], ' '), ' ');
  EXPECT_EQ(AcceptTyped(mask.places[10], '%'), '%');
  EXPECT_EQ(AcceptTyped(mask.places[0], '('), std::nullopt);
}

TEST(TypingMask, FreeTextPicturesHaveNoMask) {
  EXPECT_TRUE(BuildTypingMask(Compiled("@s30")).empty());
  EXPECT_TRUE(BuildTypingMask(Compiled("@n9.2")).empty());
  EXPECT_TRUE(BuildTypingMask(Compiled("pPage <<<#p")).empty());
  EXPECT_TRUE(BuildTypingMask(Picture{}).empty());
}

}  // namespace
}  // namespace vaultrix::windows
