// OEM and ANSI conversion keeps plain ASCII, maps the accented letters both
// code pages share onto each other, and never changes a text's length.
#include "platform/oem_charset.h"

#include <gtest/gtest.h>

#include <string>

namespace vaultrix::platform {
namespace {

TEST(OemCharset, SharedLettersMapBothWays) {
  EXPECT_EQ(OemToAnsiChar(0x81), 0xFC);  // u umlaut
  EXPECT_EQ(OemToAnsiChar(0x9C), 0xA3);  // pound sign
  EXPECT_EQ(OemToAnsiChar(0xE1), 0xDF);  // sharp s
  EXPECT_EQ(OemToAnsiChar(0x9F), 0x83);  // florin, in the 0x80 row of ANSI
  EXPECT_EQ(AnsiToOemChar(0xE9), 0x82);  // e acute
  EXPECT_EQ(AnsiToOemChar(0xC7), 0x80);  // C cedilla
  for (int c = 0; c < 0x80; ++c) {
    EXPECT_EQ(OemToAnsiChar(static_cast<unsigned char>(c)), c);
    EXPECT_EQ(AnsiToOemChar(static_cast<unsigned char>(c)), c);
  }
}

TEST(OemCharset, EveryOemCharacterWithAnAnsiEqualRoundTrips) {
  int round_trips = 0;
  for (int c = 0x80; c < 0x100; ++c) {
    auto ansi = OemToAnsiChar(static_cast<unsigned char>(c));
    if (ansi >= 0x80) {
      EXPECT_EQ(AnsiToOemChar(ansi), c) << c;
      ++round_trips;
    }
  }
  EXPECT_GT(round_trips, 50);
}

TEST(OemCharset, CharactersWithoutAnEqualBecomeTheNearestPlainOne) {
  EXPECT_EQ(OemToAnsiChar(0xC9), '+');  // box corner
  EXPECT_EQ(OemToAnsiChar(0xC4), '-');  // horizontal line
  EXPECT_EQ(OemToAnsiChar(0xB3), '|');
  EXPECT_EQ(OemToAnsiChar(0xE0), 'a');  // alpha
  EXPECT_EQ(AnsiToOemChar(0x80), 'E');  // euro sign
  EXPECT_EQ(AnsiToOemChar(0xC3), 'A');  // A tilde
  std::string text = "Gr\xFC\xDF \x80 5";
  AnsiToOem(text.data(), text.size());
  EXPECT_EQ(text, "Gr\x81\xE1 E 5");
  OemToAnsi(text.data(), text.size());
  EXPECT_EQ(text, "Gr\xFC\xDF E 5");
}

}  // namespace
}  // namespace vaultrix::platform
