#include "platform/metafile_recorder.h"

#include <string.h>

#include <algorithm>

#include "platform/metafile_format.h"

namespace vaultrix::platform {
namespace {

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t value) {
  out[at] = static_cast<std::uint8_t>(value);
  out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
  PutU16(out, at, static_cast<std::uint16_t>(value));
  PutU16(out, at + 2, static_cast<std::uint16_t>(value >> 16));
}

// Packs bytes two to a word, low byte first, padding an odd length with 0.
void AppendBytesAsWords(std::vector<std::uint16_t>& words, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    std::uint16_t low = static_cast<std::uint8_t>(bytes[i]);
    std::uint16_t high = i + 1 < bytes.size() ? static_cast<std::uint8_t>(bytes[i + 1]) : 0;
    words.push_back(static_cast<std::uint16_t>(low | (high << 8)));
  }
}

std::uint16_t Word(std::int16_t value) { return static_cast<std::uint16_t>(value); }

}  // namespace

std::string ToMetafileText(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<std::uint8_t>(utf8[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > utf8.size()) length = utf8.size() - i;
    std::uint32_t code = lead;
    if (length == 2) code = ((lead & 0x1Fu) << 6) | (static_cast<std::uint8_t>(utf8[i + 1]) & 0x3Fu);
    if (length > 2 || (length == 1 && lead >= 0x80)) code = '?';
    out.push_back(code <= 0xFF ? static_cast<char>(code) : '?');
    i += length;
  }
  return out;
}

std::string FromMetafileText(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    const auto code = static_cast<std::uint8_t>(c);
    if (code < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

MetafileRecorder::MetafileRecorder(std::int16_t width, std::int16_t height)
    : bytes_(wmf::kHeaderSize, 0) {
  // Room for a typical page at once, so that growing leaves few copies behind.
  bytes_.reserve(std::size_t{64} << 10);
  Record(wmf::kSetWindowOrg, {0, 0});
  Record(wmf::kSetWindowExt, {Word(height), Word(width)});
  Record(wmf::kSetBkMode, {wmf::kTransparent});
  Record(wmf::kSetTextAlign, {0});
}

MetafileRecorder::~MetafileRecorder() {
  if (!bytes_.empty()) explicit_bzero(bytes_.data(), bytes_.size());
}

void MetafileRecorder::Record(std::uint16_t function, const std::vector<std::uint16_t>& words) {
  const std::size_t size_words = 3 + words.size();
  if (size_words > wmf::kMaxRecordWords) {
    ok_ = false;
    return;
  }
  const std::size_t at = bytes_.size();
  bytes_.resize(at + size_words * 2);
  PutU32(bytes_, at, static_cast<std::uint32_t>(size_words));
  PutU16(bytes_, at + 4, function);
  for (std::size_t i = 0; i < words.size(); ++i) PutU16(bytes_, at + 6 + i * 2, words[i]);
  largest_record_ = std::max(largest_record_, static_cast<std::uint32_t>(size_words));
  ++records_;
}

void MetafileRecorder::SelectFont(const MetafileFont& font) {
  auto found = fonts_.find(font);
  if (found == fonts_.end()) {
    // LOGFONT: height, width, escapement, orientation, weight, then italic,
    // underline, strike-out, character set, precisions, quality, pitch as
    // bytes, then the face name.
    std::vector<std::uint16_t> words = {Word(static_cast<std::int16_t>(-font.height)), 0, 0, 0,
                                        Word(font.weight), 0, 0, 0, 0};
    std::string face = font.face.substr(0, wmf::kFaceNameSize - 1);
    face.resize(wmf::kFaceNameSize, '\0');
    AppendBytesAsWords(words, face);
    Record(wmf::kCreateFontIndirect, words);
    found = fonts_.emplace(font, static_cast<std::uint16_t>(fonts_.size())).first;
  }
  if (selected_font_ == found->second) return;
  selected_font_ = found->second;
  Record(wmf::kSelectObject, {found->second});
}

void MetafileRecorder::Text(std::int16_t x, std::int16_t y, std::string_view text,
                            const MetafileRect& clip) {
  const std::string stored = ToMetafileText(text);
  if (stored.size() > 0x7FFF) {
    ok_ = false;
    return;
  }
  std::vector<std::uint16_t> words = {Word(y),
                                      Word(x),
                                      static_cast<std::uint16_t>(stored.size()),
                                      wmf::kClipped,
                                      Word(clip.left),
                                      Word(clip.top),
                                      Word(clip.right),
                                      Word(clip.bottom)};
  AppendBytesAsWords(words, stored);
  Record(wmf::kExtTextOut, words);
}

void MetafileRecorder::Line(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  Record(wmf::kMoveTo, {Word(y1), Word(x1)});
  Record(wmf::kLineTo, {Word(y2), Word(x2)});
}

std::vector<std::uint8_t> MetafileRecorder::Finish() {
  for (std::uint16_t index = 0; index < fonts_.size(); ++index) Record(wmf::kDeleteObject, {index});
  Record(wmf::kEof, {});
  PutU16(bytes_, 0, wmf::kMemoryMetafile);
  PutU16(bytes_, 2, wmf::kHeaderWords);
  PutU16(bytes_, 4, wmf::kVersion);
  PutU32(bytes_, 6, static_cast<std::uint32_t>(bytes_.size() / 2));
  PutU16(bytes_, 10, static_cast<std::uint16_t>(fonts_.size()));
  PutU32(bytes_, 12, largest_record_);
  PutU16(bytes_, 16, 0);
  return std::move(bytes_);
}

}  // namespace vaultrix::platform
