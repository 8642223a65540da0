// A typed view of one compiled window or report description: everything the
// window engine needs to build the window and its controls, read from the
// loaded description buffer (layout in resource_format.h). Texts are views
// into that buffer, so a view lives no longer than the buffer it was read from.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vaultrix::windows {

enum class ResourceStatus {
  kOk,
  kNotFound,     // no module holds the structure
  kDamaged,      // an offset, link or text outside the buffer, or a loop of links
  kUnknownKind,  // a record of a kind the runtime does not know
};

// The runtime error that an unknown control kind raises.
inline constexpr std::string_view kUnknownKindError = "Internal error 01";
inline constexpr std::string_view kUnknownKindDetail = "CTLUSE";

struct Position {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// True for a coordinate or size that the platform chooses.
[[nodiscard]] bool IsDefault(std::int32_t coordinate);

struct FontView {
  std::string_view face;
  std::uint32_t points = 0;
  std::int32_t colour = -1;
  std::int32_t weight = -1;
};

struct UseDescriptorView {
  std::uint8_t type = 0;
  std::uint32_t size = 0;
};

// A control, menu, item or band's control: one record of a control chain.
struct ControlView {
  std::uint8_t type = 0;
  std::uint32_t record = 0;  // offset in the buffer
  int parent = -1;           // index of the container in the same list, -1 at the top
  std::uint32_t flags = 0;
  std::vector<std::string_view> drop_targets;
  std::int32_t number = 0;  // 0 = none; negative for menu items and toolbar controls
  std::string_view name;
  bool has_use = false;
  UseDescriptorView use;
  void* use_address = nullptr;  // the bound variable, nullptr when unbound
  Position at;
  std::string_view text, status, tip, picture, image, format, value;
  std::int32_t key = 0;                 // menus and items: accelerator key code
  std::int32_t action = 0;              // menus and items: standard action
  bool separator = false;               // items
  double low = 0, high = 0, step = 0;   // spin range, progress bounds
  std::int32_t fill = -1, border = -1;  // panels

  [[nodiscard]] bool numbered() const { return number != 0; }
};

struct BandView {
  std::uint8_t type = 0;
  std::string_view name;
  Position at;
  bool has_font = false;
  FontView font;
  std::vector<ControlView> controls;
};

struct WindowView {
  std::uint8_t type = 0;  // window or report
  std::uint32_t record = 0;
  std::uint32_t event_flags = 0;
  std::vector<std::string_view> drop_targets;
  Position at;
  std::string_view name, title, icon, help, status_text;
  bool has_font = false;
  FontView font;
  bool has_colours = false;
  std::array<std::int32_t, 3> colours = {-1, -1, -1};
  std::uint32_t attributes = 0;
  std::uint32_t palette = 0;
  std::uint32_t timer = 0;
  bool has_status_bar = false;
  std::vector<std::int32_t> status_widths;  // without the closing 0
  bool has_menu_bar = false;
  std::vector<ControlView> menu;  // menus and items, depth first
  bool has_toolbar = false;
  Position toolbar_at;
  std::vector<ControlView> toolbar;
  std::vector<ControlView> controls;  // depth first
  std::vector<BandView> bands;        // reports
  std::size_t bound_count = 0;        // use variables taken from the address list
};

// Reads the window or report record at `record` of `buffer` (a loaded
// description: byte 0 is 0, the body starts at 2) and binds the use
// variables: the n-th record with a use descriptor, in record order (toolbar,
// then controls, containers depth first; bands in order), takes the n-th
// address; controls beyond the list stay unbound.
[[nodiscard]] ResourceStatus ReadWindowDescription(std::span<const std::uint8_t> buffer,
                                                   std::uint32_t record,
                                                   std::span<void* const> use_addresses,
                                                   WindowView* view);

}  // namespace vaultrix::windows
