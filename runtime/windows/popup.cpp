// POPUP over the window system's popup menu: the menu text becomes the
// items a driver shows, and the driver's answer is checked against them, so
// a disabled item or a number past the last item never reaches the caller.
#include "runtime/windows/popup.h"

#include "runtime/windows/event_engine.h"
#include "runtime/windows/window_object.h"

namespace vaultrix::windows {
namespace {

// One item of the text: its leading "~" and "+" (in either order) mark it
// disabled and checked; "-" alone is a separator.
platform::PopupItem ParseItem(std::string_view text) {
  platform::PopupItem item;
  if (text == "-") {
    item.separator = true;
    return item;
  }
  for (; !text.empty(); text.remove_prefix(1)) {
    if (text.front() == '~') {
      item.disabled = true;
    } else if (text.front() == '+') {
      item.checked = true;
    } else {
      break;
    }
  }
  item.text = std::string(text);
  return item;
}

platform::PopupRequest ParseMenuText(std::string_view menu_text) {
  platform::PopupRequest request;
  if (menu_text.empty()) return request;
  for (;;) {
    const std::size_t bar = menu_text.find('|');
    request.items.push_back(ParseItem(menu_text.substr(0, bar)));
    if (bar == std::string_view::npos) break;
    menu_text.remove_prefix(bar + 1);
  }
  return request;
}

// The item that a choice numbers (from 1, separators not counted).
const platform::PopupItem* Chosen(const platform::PopupRequest& request, int number) {
  int at = 0;
  for (const platform::PopupItem& item : request.items) {
    if (!item.separator && ++at == number) return &item;
  }
  return nullptr;
}

platform::WindowHandle OwnerOf(EventEngine& engine) {
  if (const RuntimeThread* thread = engine.Thread(engine.CurrentThread());
      thread != nullptr && thread->current_window != nullptr) {
    return thread->current_window->handle;
  }
  const WindowObject* frame = engine.Frame();
  return frame != nullptr ? frame->handle : platform::kNoWindow;
}

}  // namespace

int Popup(EventEngine& engine, std::string_view menu_text) {
  const platform::PopupRequest request = ParseMenuText(menu_text);
  if (request.items.empty()) return 0;
  const int number = engine.CurrentThread();
  // The window system gives the lock up while the menu is open; whoever held
  // it meanwhile left its own context loaded.
  const int answer = engine.System().PopupMenu(OwnerOf(engine), request);
  engine.SwitchContext(number);
  const platform::PopupItem* item = Chosen(request, answer);
  return item != nullptr && !item->disabled ? answer : 0;
}

}  // namespace vaultrix::windows
