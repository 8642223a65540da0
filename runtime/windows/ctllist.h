// The list control (resource kind 0x0E): a column table from the format
// string, a bound queue it shows, its selection and scrolling, its properties,
// and the events its keys, scroll bar, typed characters and clicks raise.
//
// This is the control's behaviour alone. It answers each input with the
// events to raise (in order) and keeps what it shows up to date; the window
// engine delivers the events and publishes ProducePage() to the window system
// whenever revision() has moved.
//
// Two modes, chosen by the attribute flag kListImmediate:
// - Immediate: the queue holds one page that the procedure keeps filled.
//   Navigation keys and scroll-bar actions only raise scroll events (keys
//   synchronously); the scroll range is always 0 to 100 and the position is
//   what the procedure or the thumb set; typed characters raise Locate.
// - Not immediate: the list scrolls over the whole queue itself (range 0 to
//   records - visible rows, hidden when everything fits), navigation keys move
//   the selection, and a typed character selects the next record whose
//   value-column field starts with it (letter case ignored), wrapping.
//
// Choosing a row stores the value column's field into the use variable (or
// clears it when no row is chosen); a move raises NewSelection, an acceptance
// (Enter, a left double click) Accepted. A right click always raises
// NewSelection, with its key code, so that the procedure can offer a popup.
// The list's alert keys (property 0x7D06 by index) are matched before
// anything else and raise AlertKey. In a list with a tree column, Right and
// Left on a chosen row raise Expanded and Contracted; the procedure changes
// the queue's levels and rows accordingly.
//
// Rows and records count from 0 here; the selection property counts from 1
// (0: none), as procedures number queue records.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/window_messages.h"
#include "runtime/windows/event_codes.h"
#include "runtime/windows/list_format.h"
#include "runtime/windows/list_page.h"
#include "runtime/windows/list_queue.h"

namespace vaultrix::windows {

struct ControlView;

// Attribute flag (offset 5 of the list's record): immediate mode.
inline constexpr std::uint32_t kListImmediate = 0x800;

// List-wide properties.
inline constexpr std::int32_t kPropFormat = 0x7C85;        // the format string
inline constexpr std::int32_t kPropItems = 0x7C8E;         // rows that fit (read only)
inline constexpr std::int32_t kPropVScrollPos = 0x7C9E;    // vertical scroll position
inline constexpr std::int32_t kPropHScrollPos = 0x7CBB;    // offset of scrolling columns
inline constexpr std::int32_t kPropSelected = 0x7C88;      // selected record from 1, 0 none
inline constexpr std::int32_t kPropVScrollShown = 0x7C89;  // immediate mode: bar shown
inline constexpr std::int32_t kPropAlertKeys = 0x7D06;     // alert key codes by index
// Per-column properties; the index names the column, from 1.
inline constexpr std::int32_t kPropColumnWidth = 0x7E00;         // dialog units
inline constexpr std::int32_t kPropColumnHeader = 0x7E01;        // header text
inline constexpr std::int32_t kPropColumnPicture = 0x7E02;       // picture with "@"
inline constexpr std::int32_t kPropColumnAlign = 0x7E03;         // "L", "R", "C" or "D"
inline constexpr std::int32_t kPropColumnHeaderAlign = 0x7E04;   // "L", "R", "C" or "D"
inline constexpr std::int32_t kPropColumnIndent = 0x7E05;        // data indent
inline constexpr std::int32_t kPropColumnHeaderIndent = 0x7E06;  // header indent
inline constexpr std::int32_t kPropColumnField = 0x7E07;         // queue field, from 0
inline constexpr std::int32_t kPropColumnResizable = 0x7E08;     // "1" or "0"
inline constexpr std::int32_t kPropColumnFixed = 0x7E09;
inline constexpr std::int32_t kPropColumnRightBorder = 0x7E0A;
inline constexpr std::int32_t kPropColumnUnderline = 0x7E0B;
inline constexpr std::int32_t kPropColumnScrolling = 0x7E0C;
inline constexpr std::int32_t kPropColumnScrollWidth = 0x7E0D;  // dialog units; sets scrolling
inline constexpr std::int32_t kPropColumnValue = 0x7E0E;        // the value column ("?")
inline constexpr std::int32_t kPropColumnLeft = 0x7E10;         // pixels (read only)
inline constexpr std::int32_t kPropColumnRight = 0x7E11;        // pixels (read only)
inline constexpr std::int32_t kPropColumnGroup = 0x7E12;        // its group, from 1 (read only)
inline constexpr std::int32_t kPropGroupHeader = 0x7E20;        // index names the group
inline constexpr std::int32_t kPropGroupWidth = 0x7E21;         // "" when the group has none
inline constexpr std::int32_t kPropGroupColumns = 0x7E22;       // read only
inline constexpr std::int32_t kPropColumnCount = 0x7E40;        // read only, any index

enum class PropertyStatus {
  kOk,
  kNotListProperty,  // the list does not answer this number
  kInvalid,          // no such column or group, a read-only property, or a bad value
};

// Scroll-bar actions, as the platform's scroll messages number them.
enum class ListScrollAction : int {
  kLineUp = platform::kSbLineUp,
  kLineDown = platform::kSbLineDown,
  kPageUp = platform::kSbPageUp,
  kPageDown = platform::kSbPageDown,
  kThumbPosition = platform::kSbThumbPosition,  // the thumb released at a position
  kThumbTrack = platform::kSbThumbTrack,        // the thumb dragged to a position
  kTop = platform::kSbTop,
  kBottom = platform::kSbBottom,
  kEndScroll = platform::kSbEndScroll,
};

// Virtual keys in the low byte of key codes, and the modifier bits.
namespace list_keys {
inline constexpr std::int32_t kEnter = platform::kVkReturn;
inline constexpr std::int32_t kPageUp = platform::kVkPrior;
inline constexpr std::int32_t kPageDown = platform::kVkNext;
inline constexpr std::int32_t kEnd = platform::kVkEnd;
inline constexpr std::int32_t kHome = platform::kVkHome;
inline constexpr std::int32_t kLeft = platform::kVkLeft;
inline constexpr std::int32_t kUp = platform::kVkUp;
inline constexpr std::int32_t kRight = platform::kVkRight;
inline constexpr std::int32_t kDown = platform::kVkDown;
// Mouse codes of key codes: left, right, left double and right double click.
inline constexpr std::int32_t kLeftClick = 1;
inline constexpr std::int32_t kRightClick = 2;
inline constexpr std::int32_t kLeftDoubleClick = 5;
inline constexpr std::int32_t kRightDoubleClick = 6;
inline constexpr std::int32_t kShift = 0x100;
inline constexpr std::int32_t kCtrl = 0x200;
inline constexpr std::int32_t kAlt = 0x400;
inline constexpr std::int32_t kCompareMask = 0x7FF;
}  // namespace list_keys

struct ListEvent {
  EventCode code = 0;
  std::int32_t key_code = 0;  // the key or mouse code that caused it, 0 when none
  char key_character = '\0';  // Locate: the typed character
  bool synchronous = false;   // delivered at once rather than queued
  friend bool operator==(const ListEvent&, const ListEvent&) = default;
};

// What an input did: whether the list took it, and the events it raised.
struct ListResponse {
  bool handled = false;
  std::vector<ListEvent> events;
};

struct ListScrollRange {
  int low = 0;
  int high = 0;
  bool shown = false;
  friend bool operator==(const ListScrollRange&, const ListScrollRange&) = default;
};

// The variable a list stores its value column's field into.
class ListUseVariable {
 public:
  virtual ~ListUseVariable() = default;
  virtual void Store(std::string_view text) = 0;
  virtual void Clear() = 0;
};

// A fixed-length text variable: the field cut or padded with blanks.
class FixedTextUse final : public ListUseVariable {
 public:
  explicit FixedTextUse(std::span<char> field) : field_(field) {}
  void Store(std::string_view text) override;
  void Clear() override;

 private:
  std::span<char> field_;
};

class ListControl {
 public:
  explicit ListControl(std::uint32_t attributes = 0, DialogMetrics metrics = {});

  // Builds a list from its record in a window description: attributes,
  // height and format string (a format that does not parse leaves no columns).
  [[nodiscard]] static ListControl FromDescription(const ControlView& view,
                                                   DialogMetrics metrics = {});

  // ---- Format and geometry ----
  // Parses a new format; false keeps the old table.
  [[nodiscard]] bool SetFormat(std::string_view text);
  [[nodiscard]] std::string Format() const { return WriteListFormat(format_); }
  [[nodiscard]] const ListFormat& format() const { return format_; }
  // The list's height in dialog units; the rows that fit follow from it.
  void SetHeight(std::int32_t dialog_units);
  [[nodiscard]] int VisibleRows() const { return visible_rows_; }
  [[nodiscard]] int HeaderHeightPixels() const { return header_pixels_; }
  [[nodiscard]] int RowHeightPixels() const;
  [[nodiscard]] bool Immediate() const { return (attributes_ & kListImmediate) != 0; }
  [[nodiscard]] const DialogMetrics& metrics() const { return metrics_; }

  // ---- Bindings ----
  void BindQueue(ListQueue* queue);
  void BindUse(ListUseVariable* use) { use_ = use; }
  // The procedure changed the queue: keeps the selection and the first row
  // shown inside it.
  void QueueChanged();

  // ---- State ----
  [[nodiscard]] std::int32_t Selected() const { return selected_; }  // -1: none
  [[nodiscard]] std::int32_t TopRow() const { return top_row_; }
  [[nodiscard]] int ScrollPosition() const;
  [[nodiscard]] ListScrollRange ScrollRange() const;
  // Moves on every change of what the list shows.
  [[nodiscard]] std::uint64_t revision() const { return revision_; }
  // The header lines and the visible rows as display strings.
  [[nodiscard]] ListPage ProducePage() const;
  // The page row of the selected record, -1 when it is not shown.
  [[nodiscard]] int SelectedPageRow() const;

  // ---- Properties ----
  [[nodiscard]] std::optional<std::string> GetProperty(std::int32_t number,
                                                       std::int32_t index) const;
  [[nodiscard]] PropertyStatus SetProperty(std::int32_t number, std::int32_t index,
                                           std::string_view value);
  void SetAlertKeys(std::vector<std::int32_t> key_codes) { alert_keys_ = std::move(key_codes); }

  // ---- Input ----
  [[nodiscard]] ListResponse KeyDown(std::int32_t key_code);
  [[nodiscard]] ListResponse TypeCharacter(char character);
  [[nodiscard]] ListResponse Scroll(ListScrollAction action, int thumb_position = 0);
  // A mouse click on a row of the page (from 0; negative or past the last
  // record: on no row); key_code 1, 2, 5 or 6 with the modifier bits.
  [[nodiscard]] ListResponse Click(int page_row, std::int32_t key_code);
  // The page row under a pixel row of the list's client area in the list's
  // own geometry; -1 on the header lines.
  [[nodiscard]] int PageRowAtPixel(int y) const;
  // The user dragged a column's divider: a resizable ("M") column takes the
  // new width (dialog units, at least 1); false leaves the table as it was.
  [[nodiscard]] bool ResizeColumn(int column, std::int32_t width);

 private:
  void Relayout();
  void ClampRows();
  void Touch() { ++revision_; }
  std::int32_t Records() const;
  bool IsAlertKey(std::int32_t key_code) const;
  // Selects `record` (-1: none) and stores its value into the use variable;
  // raises NewSelection when the selection moved or `always_tell`.
  void Choose(std::int32_t record, std::int32_t key_code, bool always_tell, ListResponse& out);
  void Accept(std::int32_t key_code, ListResponse& out);
  void ScrollTo(std::int32_t top_row);
  void ShowRecord(std::int32_t record);
  ListResponse ImmediateKey(std::int32_t key, std::int32_t key_code);
  ListResponse MovingKey(std::int32_t key, std::int32_t key_code);
  bool HasTreeColumn() const;
  std::optional<std::string> ColumnProperty(std::int32_t number, const ListColumn& column,
                                            int index) const;
  PropertyStatus SetColumnProperty(std::int32_t number, ListColumn& column, int index,
                                   std::string_view value);
  PropertyStatus SetGroupProperty(std::int32_t number, ListGroup& group, std::string_view value);

  std::uint32_t attributes_ = 0;
  DialogMetrics metrics_;
  ListFormat format_;
  std::int32_t height_units_ = 0;
  int visible_rows_ = 1;
  int header_pixels_ = 0;
  ListQueue* queue_ = nullptr;
  ListUseVariable* use_ = nullptr;
  std::int32_t selected_ = -1;
  std::int32_t top_row_ = 0;
  int immediate_position_ = 0;  // 0 to 100
  bool immediate_bar_shown_ = true;
  int column_offset_ = 0;  // characters the scrolling columns are scrolled by
  std::vector<std::int32_t> alert_keys_;
  std::uint64_t revision_ = 0;
};

}  // namespace vaultrix::windows
