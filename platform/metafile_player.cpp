#include "platform/metafile_player.h"

#include <map>
#include <vector>

#include "platform/metafile_format.h"

namespace vaultrix::platform {
namespace {

class RecordReader {
 public:
  explicit RecordReader(std::span<const std::uint8_t> params) : params_(params) {}
  std::size_t words() const { return params_.size() / 2; }
  std::uint16_t U16(std::size_t word) const {
    if (word * 2 + 1 >= params_.size()) return 0;
    return static_cast<std::uint16_t>(params_[word * 2] | (params_[word * 2 + 1] << 8));
  }
  std::int16_t I16(std::size_t word) const { return static_cast<std::int16_t>(U16(word)); }
  std::string_view Bytes(std::size_t byte_offset, std::size_t length) const {
    if (byte_offset > params_.size()) return {};
    length = std::min(length, params_.size() - byte_offset);
    return {reinterpret_cast<const char*>(params_.data() + byte_offset), length};
  }

 private:
  std::span<const std::uint8_t> params_;
};

struct PlayState {
  std::int16_t org_x = 0, org_y = 0, ext_x = 0, ext_y = 0;
  std::int16_t pen_x = 0, pen_y = 0;
  std::map<std::uint16_t, MetafileFont> objects;
  MetafileFont font;
};

MetafileFont ReadFont(const RecordReader& record) {
  MetafileFont font;
  const std::int16_t height = record.I16(0);
  font.height = static_cast<std::int16_t>(height < 0 ? -height : height);
  font.weight = record.I16(4);
  std::string_view face = record.Bytes(wmf::kLogFontFixedSize, wmf::kFaceNameSize);
  font.face = std::string(face.substr(0, face.find('\0')));
  return font;
}

std::uint16_t LowestFreeIndex(const std::map<std::uint16_t, MetafileFont>& objects) {
  std::uint16_t index = 0;
  while (objects.contains(index)) ++index;
  return index;
}

void Play(std::uint16_t function, const RecordReader& record, PlayState& state,
          MetafileCanvas& canvas) {
  switch (function) {
    case wmf::kSetWindowOrg:
      state.org_y = record.I16(0);
      state.org_x = record.I16(1);
      canvas.Window(state.org_x, state.org_y, state.ext_x, state.ext_y);
      break;
    case wmf::kSetWindowExt:
      state.ext_y = record.I16(0);
      state.ext_x = record.I16(1);
      canvas.Window(state.org_x, state.org_y, state.ext_x, state.ext_y);
      break;
    case wmf::kCreateFontIndirect:
      state.objects[LowestFreeIndex(state.objects)] = ReadFont(record);
      break;
    case wmf::kSelectObject:
      if (auto found = state.objects.find(record.U16(0)); found != state.objects.end()) {
        state.font = found->second;
      }
      break;
    case wmf::kDeleteObject: state.objects.erase(record.U16(0)); break;
    case wmf::kMoveTo:
      state.pen_y = record.I16(0);
      state.pen_x = record.I16(1);
      break;
    case wmf::kLineTo: {
      const std::int16_t y = record.I16(0), x = record.I16(1);
      canvas.Line(state.pen_x, state.pen_y, x, y);
      state.pen_x = x;
      state.pen_y = y;
      break;
    }
    case wmf::kExtTextOut: {
      const std::uint16_t length = record.U16(2);
      const std::uint16_t options = record.U16(3);
      const bool has_rect = (options & 0x0006) != 0;  // clipped or opaque
      MetafileRect rect{record.I16(4), record.I16(5), record.I16(6), record.I16(7)};
      const std::size_t text_at = has_rect ? 16 : 8;
      const std::string text = FromMetafileText(record.Bytes(text_at, length));
      canvas.Text(record.I16(1), record.I16(0), text, state.font,
                  (options & wmf::kClipped) != 0 ? &rect : nullptr);
      break;
    }
    default: break;
  }
}

}  // namespace

PlayResult PlayMetafile(std::span<const std::uint8_t> metafile, MetafileCanvas& canvas) {
  PlayResult result;
  if (metafile.size() < wmf::kHeaderSize) return result;
  PlayState state;
  std::size_t at = static_cast<std::size_t>(metafile[2] | (metafile[3] << 8)) * 2;
  while (at + 6 <= metafile.size()) {
    const std::uint64_t size_words = std::uint64_t{metafile[at]} | (std::uint64_t{metafile[at + 1]} << 8) |
                                     (std::uint64_t{metafile[at + 2]} << 16) |
                                     (std::uint64_t{metafile[at + 3]} << 24);
    const auto function = static_cast<std::uint16_t>(metafile[at + 4] | (metafile[at + 5] << 8));
    if (size_words < 3 || size_words * 2 > metafile.size() - at) return result;
    ++result.records;
    if (function == wmf::kEof) {
      result.complete = true;
      return result;
    }
    Play(function, RecordReader(metafile.subspan(at + 6, size_words * 2 - 6)), state, canvas);
    at += size_words * 2;
  }
  return result;
}

}  // namespace vaultrix::platform
