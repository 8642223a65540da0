// The options of the text driver, set by SEND or by the driver option text of
// a file's descriptor (each option introduced by "/"):
//
//   FILEBUFFERS=n        number of buffers (1..64)
//   QUICKSCAN=ON|OFF     read-ahead buffering
//   ENDOFRECORD=n,c1,..  the end-of-record sequence: n (0..16) character codes
//   CLIP=ON|OFF          trailing blanks dropped from written lines
//   TAB=n                reading: n > 0 tab stops every n columns, 0 drops
//                        tabs, -100 keeps them, other n < 0 put -n blanks
//   REGISTER             (SEND only) the registration handshake: "ASCII"
//
// An option is recognised by its first letter and a case-insensitive compare
// of its whole name; numbers are read after the "=" skipping anything that is
// not a digit (TAB also takes a minus sign). An option without "=" (or with a
// value that cannot be read) only answers its setting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::files {

inline constexpr std::uint32_t kDefaultFileBuffers = 16;
inline constexpr std::uint32_t kMaxFileBuffers = 64;
inline constexpr std::size_t kMaxEndOfRecord = 16;
inline constexpr std::int32_t kTabKeep = -100;

struct TextOptions {
  std::uint32_t buffer_count = kDefaultFileBuffers;
  bool quick_scan = false;
  std::string end_of_record = "\r\n";
  bool clip = true;
  std::int32_t tab = 8;
};

// Applies one option. Returns false when the text names no option; otherwise
// true, with the setting before the change as text in `*before` ("ON",
// "OFF", "8", "2,13,10", "ASCII" for REGISTER).
bool ApplyTextOption(std::string_view text, TextOptions& options, std::string* before);

// Applies every option of a descriptor's option text ("/TAB=4/CLIP=OFF");
// unknown options are ignored.
void ApplyOptionText(std::string_view option_text, TextOptions& options);

}  // namespace vaultrix::files
