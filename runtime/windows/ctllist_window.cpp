// The list control inside an opened window: binding, input, events and the
// state it publishes.
#include "runtime/windows/ctllist_window.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <span>

#include "platform/window_classes.h"
#include "runtime/support/fixed_string.h"
#include "runtime/windows/resource_format.h"

namespace vaultrix::windows {

// The list's use variable as its description typed it: a fixed string takes
// the field's text; a number takes the field read as a number (0 when it is
// none).
class ControlUse final : public ListUseVariable {
 public:
  ControlUse(void* address, std::uint8_t type, std::uint32_t size)
      : address_(address), type_(type), size_(size) {}

  void Store(std::string_view text) override {
    if (type_ == rsc::kUseByte || type_ == rsc::kUseLong) {
      StoreNumber(Number(text));
      return;
    }
    support::AssignFixed(Chars(), text);
  }
  void Clear() override {
    if (type_ == rsc::kUseByte || type_ == rsc::kUseLong) {
      StoreNumber(0);
      return;
    }
    support::BlankFixed(Chars());
  }

 private:
  static std::int32_t Number(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    std::int32_t value = 0;
    (void)std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
  }
  void StoreNumber(std::int32_t value) {
    if (type_ == rsc::kUseByte) {
      *static_cast<std::uint8_t*>(address_) = static_cast<std::uint8_t>(value);
    } else {
      std::memcpy(address_, &value, sizeof value);
    }
  }
  std::span<char> Chars() { return {static_cast<char*>(address_), size_}; }

  void* address_;
  std::uint8_t type_;
  std::uint32_t size_;
};

struct ListBinding {
  explicit ListBinding(ListControl made) : list(std::move(made)) {}
  ListControl list;
  std::unique_ptr<ControlUse> use;
};

namespace {

ListBinding* BindingOf(const ControlObject& control) { return control.list.get(); }

ControlObject* ListControlOf(WindowObject& window, int number) {
  ControlObject* control = window.FindControl(number);
  return control != nullptr && control->list != nullptr ? control : nullptr;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) joined.push_back('\n');
    joined += lines[i];
  }
  return joined;
}

// The key code of the input being served: the thread's, as the keyboard
// translation recorded it before the message was dispatched.
std::int32_t InputKeyCode(EventEngine& engine, const WindowObject& window) {
  const RuntimeThread* thread = engine.Thread(window.thread);
  return thread == nullptr ? 0 : thread->last_key_code;
}

// A record of one of the list's events, carrying the input's key code.
std::unique_ptr<EventRecord> ListRecord(EventEngine& engine, ControlObject& control,
                                        const ListEvent& event) {
  WindowObject& window = *control.window;
  std::unique_ptr<EventRecord> record = MakeEventRecord(engine, window, event.code, &control);
  record->key_code = event.key_code != 0 ? event.key_code : InputKeyCode(engine, window);
  if (event.key_character != '\0') {
    record->key_character = static_cast<std::uint8_t>(event.key_character);
  }
  return record;
}

// Keys of an immediate-mode list are delivered at once, so that the
// procedure has refilled the page before the next key is served. As with
// every synchronous delivery, only the thread's current window with a loop
// gets them, and the system counts as MODAL meanwhile.
void DeliverNow(EventEngine& engine, ControlObject& control, const ListEvent& event) {
  WindowObject& window = *control.window;
  const RuntimeThread* thread = engine.Thread(window.thread);
  if (thread == nullptr || thread->current_window != &window || !window.body) return;
  std::unique_ptr<EventRecord> record = ListRecord(engine, control, event);
  engine.RaiseModalCount();
  (void)DeliverEvent(engine, record);
  engine.LowerModalCount();
}

void Raise(EventEngine& engine, ControlObject& control, const ListResponse& response) {
  for (const ListEvent& event : response.events) {
    if (event.synchronous) {
      DeliverNow(engine, control, event);
    } else {
      control.window->events.Append(ListRecord(engine, control, event));
    }
  }
}

// The page row a mouse press is on: the one the driver saw when it says,
// else the one under the pixel row in the list's own geometry.
int PageRowOf(const ListControl& list, const platform::Message& m) {
  const int given = platform::ListRowOfParam(m.wparam);
  if (given != platform::kListRowNotGiven) return given;
  return list.PageRowAtPixel(platform::PointY(m.lparam));
}

ListResponse Dispatch(EventEngine& engine, ControlObject& control, ListControl& list,
                      const platform::Message& m) {
  switch (m.message) {
    case platform::kWmKeyDown:
    case platform::kWmSysKeyDown:
      return list.KeyDown(InputKeyCode(engine, *control.window));
    case platform::kWmChar:
      return list.TypeCharacter(static_cast<char>(m.wparam & 0xFF));
    case platform::kWmVScroll:
      return list.Scroll(static_cast<ListScrollAction>(m.wparam & 0xFFFF),
                         static_cast<std::int16_t>((m.wparam >> 16) & 0xFFFF));
    case platform::kWmLButtonDown:
    case platform::kWmRButtonDown:
    case platform::kWmLButtonDblClk:
    case platform::kWmRButtonDblClk:
      return list.Click(PageRowOf(list, m), InputKeyCode(engine, *control.window));
    case platform::kListColumnWidth: {
      // A width taken is published with the list; no event is raised.
      (void)list.ResizeColumn(static_cast<int>(m.wparam),
                              static_cast<std::int32_t>(std::clamp<std::intptr_t>(
                                  m.lparam, 0, kMaxFormatNumber)));
      ListResponse out;
      out.handled = true;
      return out;
    }
    default:
      return {};
  }
}

}  // namespace

void AttachList(EventEngine& engine, ControlObject& control, const ControlView& view) {
  auto binding = std::make_shared<ListBinding>(ListControl::FromDescription(view));
  if (control.use_address != nullptr) {
    binding->use =
        std::make_unique<ControlUse>(control.use_address, control.use_type, control.use_size);
    binding->list.BindUse(binding->use.get());
  }
  control.list = std::move(binding);
  PublishList(engine.System(), control);
}

ListControl* ListOf(const ControlObject& control) {
  ListBinding* binding = BindingOf(control);
  return binding == nullptr ? nullptr : &binding->list;
}

bool BindListQueue(EventEngine& engine, WindowObject& window, int control, ListQueue* queue) {
  ControlObject* list = ListControlOf(window, control);
  if (list == nullptr) return false;
  list->list->list.BindQueue(queue);
  PublishList(engine.System(), *list);
  return true;
}

bool ListQueueChanged(EventEngine& engine, WindowObject& window, int control) {
  ControlObject* list = ListControlOf(window, control);
  if (list == nullptr) return false;
  list->list->list.QueueChanged();
  PublishList(engine.System(), *list);
  return true;
}

void RefreshLists(EventEngine& engine, WindowObject& window) {
  for (const auto& control : window.controls) {
    if (control->list != nullptr) {
      control->list->list.QueueChanged();
      PublishList(engine.System(), *control);
    }
  }
}

void PublishList(platform::WindowSystem& system, ControlObject& control) {
  ListBinding* binding = BindingOf(control);
  if (binding == nullptr || control.handle == platform::kNoWindow) return;
  const ListControl& list = binding->list;
  ListPage page = list.ProducePage();
  (void)system.SetText(control.handle, JoinLines(page.header_lines));
  (void)system.SetRows(control.handle, std::move(page.rows));
  (void)system.SetValue(control.handle, list.SelectedPageRow());
  const ListScrollRange range = list.ScrollRange();
  (void)system.SetScrollRange(control.handle, range.low, range.shown ? range.high : range.low);
  const std::optional<std::string> offset = list.GetProperty(kPropHScrollPos, 0);
  int columns = 0;
  if (offset) (void)std::from_chars(offset->data(), offset->data() + offset->size(), columns);
  (void)system.SetScroll(control.handle, list.ScrollPosition(), columns);
  std::vector<platform::ListColumnShape> shapes;
  shapes.reserve(list.format().columns.size());
  for (const ListColumn& column : list.format().columns) {
    shapes.push_back({column.width, column.Has(kColumnResizable)});
  }
  (void)system.SetListColumns(control.handle, std::move(shapes));
}

bool ListMessage(EventEngine& engine, ControlObject& control, const platform::Message& message) {
  ListBinding* binding = BindingOf(control);
  if (binding == nullptr || control.window == nullptr) return false;
  const ListResponse response = Dispatch(engine, control, binding->list, message);
  if (!response.handled) return false;
  PublishList(engine.System(), control);
  Raise(engine, control, response);
  return true;
}

std::optional<std::string> GetListProperty(const ControlObject& control, std::int32_t number,
                                           std::int32_t index) {
  const ListControl* list = ListOf(control);
  if (list == nullptr) return std::nullopt;
  return list->GetProperty(number, index);
}

bool SetListProperty(platform::WindowSystem& system, ControlObject& control, std::int32_t number,
                     std::int32_t index, std::string_view value) {
  ListControl* list = ListOf(control);
  if (list == nullptr) return false;
  const PropertyStatus status = list->SetProperty(number, index, value);
  if (status == PropertyStatus::kNotListProperty) return false;
  PublishList(system, control);
  return true;
}

}  // namespace vaultrix::windows
