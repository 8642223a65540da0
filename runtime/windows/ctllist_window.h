// The list control inside an opened window: the ListControl of a LIST
// control, bound to its use variable and to the queue the procedure hands it
// (FROM), fed with the keys, characters, scroll actions and clicks that its
// window receives, raising its events on its window, and publishing what it
// shows into the window system, so that every display driver renders the same
// thing.
//
// What a LIST window carries in the window system:
// - text: the header lines, joined by line feeds (empty without headers);
// - rows: the visible rows' display strings (cells separated by tabs, see
//   list_page.h);
// - value: the selected row on the page, from 0 (-1: none shown);
// - vertical scroll position and range (high <= low: no scroll bar);
// - horizontal scroll: characters the scrolling columns are scrolled by.
// Input arrives as the platform's messages: key-down and character messages
// while the list has the focus, kWmVScroll with the scroll-bar action,
// mouse presses at client pixels (rows are one character height, below the
// header lines) or naming the page row the driver saw, and the widths of
// columns the user dragged (kListColumnWidth); see window_classes.h.
//
// Locks: REQUIRES the runtime lock, except where said.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/window_system.h"
#include "runtime/windows/ctllist.h"
#include "runtime/windows/description_view.h"
#include "runtime/windows/event_engine.h"

namespace vaultrix::windows {

// What a LIST control keeps beside its ControlObject.
struct ListBinding;

// Makes the list of a LIST control from its description record and shows it
// (empty until a queue is bound). REQUIRES: control.handle is set.
void AttachList(EventEngine& engine, ControlObject& control, const ControlView& view);

// The list of a control; null for a control that is not a list.
[[nodiscard]] ListControl* ListOf(const ControlObject& control);

// Binds (or with null unbinds) the queue that the window's list `control`
// shows and shows it. False when the window has no such list.
bool BindListQueue(EventEngine& engine, WindowObject& window, int control, ListQueue* queue);

// The procedure changed a list's queue: the selection and first row are kept
// inside it and the list is shown again. False when no such list.
bool ListQueueChanged(EventEngine& engine, WindowObject& window, int control);

// Shows every list of the window again from its queue (after a loop body
// ran, which may have changed the queues).
void RefreshLists(EventEngine& engine, WindowObject& window);

// Publishes what the list shows into the window system.
void PublishList(platform::WindowSystem& system, ControlObject& control);

// The list's share of a control window's messages: true when the list took
// the message (its events raised, the list shown again).
bool ListMessage(EventEngine& engine, ControlObject& control, const platform::Message& message);

// The list's properties through the engine's property interface: nullopt
// when the control is not a list or the list does not answer the number.
[[nodiscard]] std::optional<std::string> GetListProperty(const ControlObject& control,
                                                         std::int32_t number, std::int32_t index);
// False when the control is not a list or the list does not answer the
// number (the caller then treats it as a common property).
bool SetListProperty(platform::WindowSystem& system, ControlObject& control, std::int32_t number,
                     std::int32_t index, std::string_view value);

}  // namespace vaultrix::windows
