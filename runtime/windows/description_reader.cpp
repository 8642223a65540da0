// Reads a description's records into a WindowView. The buffer comes from a
// resource and is trusted no further than its size: every record, block and
// text is checked to lie inside it, every record may be visited once only
// (so a loop of links ends as damage, not as a hang), and containers nest
// no deeper than kMaxDepth.
#include <cstring>

#include "runtime/windows/description_view.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {
namespace {

constexpr int kMaxDepth = 32;
constexpr std::size_t kMaxStatusZones = 64;

class Reader {
 public:
  Reader(std::span<const std::uint8_t> buffer, std::span<void* const> addresses)
      : buffer_(buffer), addresses_(addresses), visited_(buffer.size(), false) {}

  ResourceStatus Window(std::uint32_t record, WindowView* view) {
    if (!Fits(record, rsc::kWindowSize) || !Visit(record)) return Damaged();
    std::uint8_t type = U8(record);
    if (type != rsc::kWindow && type != rsc::kReport) return Damaged();
    view->type = type;
    view->record = record;
    view->event_flags = U32(record + rsc::kFlagsAt);
    view->at = Place(record + rsc::kWindowPositionAt);
    view->attributes = U32(record + rsc::kWindowAttributesAt);
    view->palette = U32(record + rsc::kWindowPaletteAt);
    view->timer = U32(record + rsc::kWindowTimerAt);
    if (!Drops(U32(record + rsc::kDropAt), &view->drop_targets) ||
        !Text(record + rsc::kWindowStructureNameAt, &view->name) ||
        !Text(record + rsc::kWindowTitleAt, &view->title) ||
        !Text(record + rsc::kWindowIconAt, &view->icon) ||
        !Text(record + rsc::kWindowHelpAt, &view->help) ||
        !Text(record + rsc::kWindowStatusTextAt, &view->status_text) ||
        !Font(U32(record + rsc::kWindowFontAt), &view->has_font, &view->font) ||
        !Colours(U32(record + rsc::kWindowColoursAt), view) ||
        !StatusBar(U32(record + rsc::kWindowStatusBarAt), view)) {
      return Damaged();
    }
    if (type == rsc::kReport) {
      status_ = Bands(U32(record + rsc::kWindowFirstControlAt), view);
    } else {
      status_ = WindowContents(record, view);
    }
    view->bound_count = next_address_;
    return status_;
  }

 private:
  // --- bounds -------------------------------------------------------------

  bool Fits(std::uint32_t at, std::uint32_t size) const {
    return at >= rsc::kBodyOrigin && at <= buffer_.size() && size <= buffer_.size() - at;
  }
  bool Visit(std::uint32_t record) {
    if (visited_[record]) return false;
    visited_[record] = true;
    return true;
  }
  ResourceStatus Damaged() {
    if (status_ == ResourceStatus::kOk) status_ = ResourceStatus::kDamaged;
    return status_;
  }

  // Callers have checked with Fits().
  std::uint8_t U8(std::uint32_t at) const { return buffer_[at]; }
  std::uint32_t U32(std::uint32_t at) const {
    return static_cast<std::uint32_t>(buffer_[at]) | (std::uint32_t{buffer_[at + 1]} << 8) |
           (std::uint32_t{buffer_[at + 2]} << 16) | (std::uint32_t{buffer_[at + 3]} << 24);
  }
  std::int32_t I32(std::uint32_t at) const { return static_cast<std::int32_t>(U32(at)); }
  double F64(std::uint32_t at) const {
    std::uint64_t bits = U32(at) | (std::uint64_t{U32(at + 4)} << 32);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  Position Place(std::uint32_t at) const {
    return Position{I32(at), I32(at + 4), I32(at + 8), I32(at + 12)};
  }

  // The NUL-terminated text whose offset is stored at `field`; 0 is no text.
  bool TextAt(std::uint32_t offset, std::string_view* text) const {
    *text = {};
    if (offset == 0) return true;
    if (!Fits(offset, 1)) return false;
    const void* end = std::memchr(buffer_.data() + offset, 0, buffer_.size() - offset);
    if (!end) return false;
    *text = std::string_view(reinterpret_cast<const char*>(buffer_.data() + offset),
                             static_cast<const std::uint8_t*>(end) - (buffer_.data() + offset));
    return true;
  }
  bool Text(std::uint32_t field, std::string_view* text) const { return TextAt(U32(field), text); }

  // --- blocks ---------------------------------------------------------------

  bool Font(std::uint32_t block, bool* has_font, FontView* font) const {
    *has_font = block != 0;
    if (!block) return true;
    if (!Fits(block, rsc::kFontBlockSize) || !Text(block, &font->face)) return false;
    font->points = U32(block + 4);
    font->colour = I32(block + 8);
    font->weight = I32(block + 12);
    return true;
  }

  bool Colours(std::uint32_t block, WindowView* view) const {
    view->has_colours = block != 0;
    if (!block) return true;
    if (!Fits(block, rsc::kColourBlockSize)) return false;
    for (int i = 0; i < 3; ++i) view->colours[i] = I32(block + 4 * i);
    return true;
  }

  bool StatusBar(std::uint32_t list, WindowView* view) const {
    view->has_status_bar = list != 0;
    for (std::uint32_t at = list; list; at += 4) {
      if (!Fits(at, 4) || view->status_widths.size() > kMaxStatusZones) return false;
      std::int32_t width = I32(at);
      if (width == 0) break;
      view->status_widths.push_back(width);
    }
    return true;
  }

  // Lists may be shared between records, so a loop is caught by counting.
  bool Drops(std::uint32_t node, std::vector<std::string_view>* targets) const {
    while (node) {
      if (!Fits(node, rsc::kDropNodeSize) ||
          targets->size() > buffer_.size() / rsc::kDropNodeSize) {
        return false;
      }
      std::string_view id;
      if (!Text(node, &id)) return false;
      targets->push_back(id);
      node = U32(node + 4);
    }
    return true;
  }

  // --- records ----------------------------------------------------------------

  ResourceStatus WindowContents(std::uint32_t record, WindowView* view) {
    if (std::uint32_t bar = U32(record + rsc::kWindowMenuBarAt)) {
      if (!Fits(bar, rsc::kMenuBarSize) || U8(bar) != rsc::kMenuBar || !Visit(bar)) {
        return Damaged();
      }
      view->has_menu_bar = true;
      Chain(U32(bar + rsc::kMenuBarFirstMenuAt), Where::kMenuBar, -1, 1, &view->menu);
    }
    if (std::uint32_t bar = U32(record + rsc::kWindowToolbarAt);
        bar && status_ == ResourceStatus::kOk) {
      if (!Fits(bar, rsc::kToolbarSize) || U8(bar) != rsc::kToolbar || !Visit(bar)) {
        return Damaged();
      }
      view->has_toolbar = true;
      view->toolbar_at = Place(bar + rsc::kToolbarPositionAt);
      Chain(U32(bar + rsc::kToolbarFirstControlAt), Where::kControls, -1, 1, &view->toolbar);
    }
    if (status_ == ResourceStatus::kOk) {
      Chain(U32(record + rsc::kWindowFirstControlAt), Where::kControls, -1, 0, &view->controls);
    }
    return status_;
  }

  ResourceStatus Bands(std::uint32_t band, WindowView* view) {
    while (band && status_ == ResourceStatus::kOk) {
      if (!Fits(band, rsc::kBandSize) || !Visit(band)) return Damaged();
      std::uint8_t type = U8(band);
      if (type != rsc::kHeaderBand && type != rsc::kDetailBand && type != rsc::kFooterBand) {
        return Damaged();
      }
      BandView& out = view->bands.emplace_back();
      out.type = type;
      out.at = Place(band + rsc::kBandPositionAt);
      if (!Text(band + rsc::kBandNameAt, &out.name) ||
          !Font(U32(band + rsc::kBandFontAt), &out.has_font, &out.font)) {
        return Damaged();
      }
      Chain(U32(band + rsc::kBandFirstControlAt), Where::kControls, -1, 1, &out.controls);
      band = U32(band + rsc::kNextAt);
    }
    return status_;
  }

  enum class Where { kMenuBar, kMenu, kControls, kOptionGroup, kSheet };

  bool Belongs(Where where, std::uint8_t type) const {
    switch (where) {
      case Where::kMenuBar:
        return type == rsc::kMenu;
      case Where::kMenu:
        return type == rsc::kMenu || type == rsc::kItem;
      case Where::kOptionGroup:
        return type == rsc::kRadio;
      case Where::kSheet:
        return type == rsc::kTab;
      case Where::kControls:
        return type != rsc::kMenu && type != rsc::kItem && type != rsc::kMenuBar &&
               type != rsc::kToolbar && type != rsc::kRadio && type != rsc::kTab;
    }
    return false;
  }

  void Chain(std::uint32_t record, Where where, int parent, int depth,
             std::vector<ControlView>* out) {
    if (depth > kMaxDepth) {
      Damaged();
      return;
    }
    while (record && status_ == ResourceStatus::kOk) {
      if (!Fits(record, rsc::kControlHeaderSize) || !Visit(record)) {
        Damaged();
        return;
      }
      const rsc::KindLayout* layout = rsc::FindKindLayout(U8(record));
      if (!layout) {
        status_ = ResourceStatus::kUnknownKind;
        return;
      }
      if (!Belongs(where, layout->type) || !Fits(record, layout->size)) {
        Damaged();
        return;
      }
      int index = static_cast<int>(out->size());
      if (!Control(record, *layout, parent, out)) {
        Damaged();
        return;
      }
      if (layout->first_child) {
        Where inner = layout->type == rsc::kOptionGroup ? Where::kOptionGroup
                      : layout->type == rsc::kSheet     ? Where::kSheet
                      : layout->type == rsc::kMenu      ? Where::kMenu
                                                        : Where::kControls;
        Chain(U32(record + layout->first_child), inner, index, depth + 1, out);
      }
      record = U32(record + rsc::kNextAt);
    }
  }

  bool Control(std::uint32_t r, const rsc::KindLayout& layout, int parent,
               std::vector<ControlView>* out) {
    ControlView c;
    c.type = layout.type;
    c.record = r;
    c.parent = parent;
    c.flags = U32(r + rsc::kFlagsAt);
    c.number = I32(r + rsc::kNumberAt);
    if (!Drops(U32(r + rsc::kDropAt), &c.drop_targets) || !Text(r + rsc::kNameAt, &c.name)) {
      return false;
    }
    struct Field {
      std::uint32_t at;
      std::string_view* text;
    };
    for (Field f : {Field{layout.text, &c.text},
                    {layout.status, &c.status},
                    {layout.tip, &c.tip},
                    {layout.picture, &c.picture},
                    {layout.image, &c.image},
                    {layout.format, &c.format}}) {
      if (f.at && !Text(r + f.at, f.text)) return false;
    }
    if (layout.position) c.at = Place(r + layout.position);
    if (layout.use && !Use(U32(r + layout.use), &c)) return false;
    switch (layout.type) {
      case rsc::kMenu:
      case rsc::kItem:
        c.key = I32(r + rsc::kMenuKeyAt);
        c.action = I32(r + rsc::kMenuActionAt);
        c.separator = layout.type == rsc::kItem && (c.flags & rsc::kItemSeparatorFlag);
        break;
      case rsc::kSpin:
        c.low = F64(r + rsc::kSpinLowAt);
        c.high = F64(r + rsc::kSpinHighAt);
        c.step = F64(r + rsc::kSpinStepAt);
        break;
      case rsc::kProgress:
        c.low = F64(r + rsc::kProgressLowAt);
        c.high = F64(r + rsc::kProgressHighAt);
        break;
      case rsc::kRadio:
        if (!Text(r + rsc::kRadioValueAt, &c.value)) return false;
        break;
      case rsc::kPanel:
        c.fill = I32(r + rsc::kPanelFillAt);
        c.border = I32(r + rsc::kPanelBorderAt);
        break;
      default:
        break;
    }
    out->push_back(std::move(c));
    return true;
  }

  bool Use(std::uint32_t descriptor, ControlView* c) {
    if (!descriptor) return true;
    if (!Fits(descriptor, rsc::kUseDescriptorSize)) return false;
    c->has_use = true;
    c->use.type = U8(descriptor);
    c->use.size = U32(descriptor + 1);
    if (next_address_ < addresses_.size()) c->use_address = addresses_[next_address_++];
    return true;
  }

  std::span<const std::uint8_t> buffer_;
  std::span<void* const> addresses_;
  std::size_t next_address_ = 0;
  std::vector<bool> visited_;
  ResourceStatus status_ = ResourceStatus::kOk;
};

}  // namespace

bool IsDefault(std::int32_t coordinate) {
  return coordinate == rsc::kDefaultPosition;
}

ResourceStatus ReadWindowDescription(std::span<const std::uint8_t> buffer, std::uint32_t record,
                                     std::span<void* const> use_addresses, WindowView* view) {
  *view = WindowView();
  return Reader(buffer, use_addresses).Window(record, view);
}

}  // namespace vaultrix::windows
