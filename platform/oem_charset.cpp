// The tables of platform/oem_charset.h, built once from the two code pages'
// Unicode values.
#include "platform/oem_charset.h"

#include <array>
#include <cstdint>

namespace vaultrix::platform {
namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kOemHigh = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF,
    0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA,
    0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557,
    0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559,
    0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4,
    0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// The nearest plain character for each of those bytes, used when code page
// 1252 has no equal.
constexpr char kOemNear[] =
    "CueaaaaceeeiiiAAEaAooouuyOUcLYPfaiounN"
    "ao?-~24!<>"
    "###|++++++|+++++"
    "++++-++++++++-++"
    "+++++++++++#####"
    "aBGpSsmtFTOd8fen"
    "=+><()/~o..vn2# ";

// Code page 1252, bytes 0x80 to 0x9F (0 where the byte is unassigned);
// 0xA0 to 0xFF equal their Unicode values.
constexpr std::array<char16_t, 32> kAnsiControlRange = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The nearest plain character for ANSI bytes 0x80 to 0xFF without an OEM equal.
constexpr char kAnsiNear[] =
    "E?,f\".++^%S<O?Z?"
    "?''\"\"*--~TS>o?zY"
    " !cLoY|S\"ca<--R-o+23'uP.,1o>423?"
    "AAAAAAACEEEEIIII"
    "DNOOOOOxOUUUUYPs"
    "aaaaaaaceeeeiiii"
    "dnooooo/ouuuuypy";

char16_t AnsiUnicode(unsigned char c) {
  if (c < 0x80) return c;
  if (c < 0xA0) return kAnsiControlRange[c - 0x80];
  return c;
}

struct Tables {
  std::array<unsigned char, 256> oem_to_ansi{};
  std::array<unsigned char, 256> ansi_to_oem{};

  Tables() {
    for (int c = 0; c < 256; ++c) {
      oem_to_ansi[c] = static_cast<unsigned char>(c);
      ansi_to_oem[c] = static_cast<unsigned char>(c);
    }
    for (int a = 0x80; a < 0x100; ++a)
      ansi_to_oem[a] = static_cast<unsigned char>(kAnsiNear[a - 0x80]);
    for (int o = 0x80; o < 0x100; ++o) {
      oem_to_ansi[o] = static_cast<unsigned char>(kOemNear[o - 0x80]);
      for (int a = 0x80; a < 0x100; ++a) {
        if (AnsiUnicode(static_cast<unsigned char>(a)) == kOemHigh[o - 0x80]) {
          oem_to_ansi[o] = static_cast<unsigned char>(a);
          ansi_to_oem[a] = static_cast<unsigned char>(o);
          break;
        }
      }
    }
  }
};

const Tables& GetTables() {
  static const Tables tables;
  return tables;
}

}  // namespace

unsigned char OemToAnsiChar(unsigned char c) {
  return GetTables().oem_to_ansi[c];
}
unsigned char AnsiToOemChar(unsigned char c) {
  return GetTables().ansi_to_oem[c];
}

void OemToAnsi(char* text, std::size_t size) {
  const auto& table = GetTables().oem_to_ansi;
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
  }
}

void AnsiToOem(char* text, std::size_t size) {
  const auto& table = GetTables().ansi_to_oem;
  for (std::size_t i = 0; i < size; ++i) {
    text[i] = static_cast<char>(table[static_cast<unsigned char>(text[i])]);
  }
}

}  // namespace vaultrix::platform
