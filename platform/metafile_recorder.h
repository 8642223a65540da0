// Records drawing as a Windows metafile in memory: the page the report engine
// draws is kept as records and later written to a page file or sent to a
// printer. Layout of the bytes in platform/metafile_format.h.
//
// Texts are UTF-8 here and stored as single-byte characters (code points up
// to 255 as themselves, anything else as "?").
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace vaultrix::platform {

struct MetafileFont {
  std::string face = "Arial";
  std::int16_t height = 0;  // character height in logical units
  std::int16_t weight = 400;

  auto operator<=>(const MetafileFont&) const = default;
};

struct MetafileRect {
  std::int16_t left = 0, top = 0, right = 0, bottom = 0;
};

class MetafileRecorder {
 public:
  // Starts a metafile whose window has the origin (0, 0) and the extent
  // `width` by `height`, with transparent text drawn from its top left.
  MetafileRecorder(std::int16_t width, std::int16_t height);
  // Pages hold passwords: what was recorded and not handed over is wiped.
  ~MetafileRecorder();
  MetafileRecorder(const MetafileRecorder&) = delete;
  MetafileRecorder& operator=(const MetafileRecorder&) = delete;

  void SelectFont(const MetafileFont& font);
  // Draws `text` with its top left at (x, y), clipped to `clip`.
  void Text(std::int16_t x, std::int16_t y, std::string_view text, const MetafileRect& clip);
  void Line(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2);

  // False once a record was refused for being larger than a page takes
  // (wmf::kMaxRecordWords); the refused record is not in the metafile.
  bool ok() const { return ok_; }
  std::size_t record_count() const { return records_; }

  // Ends the metafile and hands its bytes over; the recorder is then spent.
  [[nodiscard]] std::vector<std::uint8_t> Finish();

 private:
  void Record(std::uint16_t function, const std::vector<std::uint16_t>& words);

  std::vector<std::uint8_t> bytes_;
  std::map<MetafileFont, std::uint16_t> fonts_;  // created font objects by index
  int selected_font_ = -1;
  std::uint32_t largest_record_ = 0;
  std::size_t records_ = 0;
  bool ok_ = true;
};

// Single-byte text as stored in a metafile, and back to UTF-8.
[[nodiscard]] std::string ToMetafileText(std::string_view utf8);
[[nodiscard]] std::string FromMetafileText(std::string_view bytes);

}  // namespace vaultrix::platform
