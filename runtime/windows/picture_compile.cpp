// CompilePicture: the part common to every kind (the "@", the length, the trailing "B") and the
// compilers of the kinds whose body is a plain mask or width: strings, patterns and key-in masks.
#include <cstddef>

#include "runtime/windows/picture.h"
#include "runtime/windows/picture_internal.h"

namespace vaultrix::windows {
namespace {

using picture_detail::Append;

bool CompileString(std::string_view body, Picture& picture) {
  std::size_t pos = 0;
  int width = 0;
  if (!picture_detail::ReadSmallNumber(body, pos, width)) return false;
  if (pos != body.size() || width < 1 || width > static_cast<int>(kMaxPictureWidth)) return false;
  for (int i = 0; i < width; ++i) {
    if (!Append(picture, ' ', token::kAnyCharacter)) return false;
  }
  picture.width = static_cast<std::uint16_t>(width);
  return true;
}

// The body of a pattern or key-in picture is its mask followed by the closing kind letter.
bool StripClosingLetter(std::string_view& body, char letter) {
  if (body.empty()) return false;
  char last = body.back();
  if (last != letter && last != letter + ('a' - 'A')) return false;
  body.remove_suffix(1);
  return !body.empty();
}

bool CompilePattern(std::string_view body, Picture& picture) {
  if (!StripClosingLetter(body, 'P')) return false;
  for (char c : body) {
    bool ok = c == '#'   ? Append(picture, '0', token::kDigitZeroFill)
              : c == '<' ? Append(picture, ' ', token::kDigitBlankFill)
                         : Append(picture, c, token::kLiteral);
    if (!ok) return false;
  }
  picture.width = picture.length;
  return true;
}

bool CompileKeyIn(std::string_view body, Picture& picture) {
  if (!StripClosingLetter(body, 'K')) return false;
  std::size_t width = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    std::uint8_t kind = token::kLiteral;
    char fill = ' ';
    switch (c) {
      case '#':
        kind = token::kDigitZeroFill;
        break;
      case '<':
        kind = token::kDigitBlankFill;
        break;
      case '@':
        kind = token::kLetter;
        break;
      case '^':
        kind = token::kUpperLetter;
        break;
      case '_':
        kind = token::kLowerLetter;
        break;
      case '?':
        kind = token::kAnyCharacter;
        break;
      case '|':
        kind = token::kKeyInMarker;
        fill = '|';
        break;
      case '\\':
        if (++i == body.size()) return false;
        fill = body[i];
        break;
      default:
        fill = c;
        break;
    }
    if (!Append(picture, fill, kind)) return false;
    if (kind != token::kKeyInMarker) ++width;
  }
  if (width < 1 || width > kMaxPictureWidth) return false;
  picture.width = static_cast<std::uint16_t>(width);
  return true;
}

}  // namespace

bool CompilePicture(std::string_view text, Picture& picture) {
  picture = Picture{};
  if (!text.empty() && text.front() == '@') text.remove_prefix(1);
  if (text.empty() || text.size() > kMaxPictureText) return false;
  bool blank_when_zero = false;
  if (text.back() == 'B' || text.back() == 'b') {
    // A pattern or key-in mask ends with its closing letter, so a final "B" there is the flag
    // too; what remains must still hold a kind letter and a body.
    if (text.size() < 3) return false;
    blank_when_zero = true;
    text.remove_suffix(1);
  }
  char kind_letter = text.front();
  std::string_view body = text.substr(1);
  bool ok = false;
  PictureKind kind = PictureKind::kNone;
  switch (kind_letter) {
    case 'S':
    case 's':
      kind = PictureKind::kString;
      ok = CompileString(body, picture);
      break;
    case 'N':
    case 'n':
      kind = PictureKind::kNumber;
      ok = picture_detail::CompileNumber(body, picture);
      break;
    case 'E':
    case 'e':
      kind = PictureKind::kScientific;
      ok = picture_detail::CompileScientific(body, picture);
      break;
    case 'D':
    case 'd':
      kind = PictureKind::kDate;
      ok = picture_detail::CompileDate(body, picture);
      break;
    case 'T':
    case 't':
      kind = PictureKind::kTime;
      ok = picture_detail::CompileTime(body, picture);
      break;
    case 'P':
    case 'p':
      kind = PictureKind::kPattern;
      ok = CompilePattern(body, picture);
      break;
    case 'K':
    case 'k':
      kind = PictureKind::kKeyIn;
      ok = CompileKeyIn(body, picture);
      break;
    default:
      break;
  }
  if (!ok || picture.width == 0 || picture.width > kMaxPictureWidth) {
    picture = Picture{};
    return false;
  }
  picture.kind_flags =
      static_cast<std::uint8_t>(kind) | (blank_when_zero ? kPictureBlankWhenZero : std::uint8_t{0});
  return true;
}

}  // namespace vaultrix::windows
