// Event codes and the names under which they are known.
//
// An event is a 16-bit number. The window system carries each event as a
// private window message numbered event code + kEventMessageBase. Codes 0x01
// to 0xFF are field events (they always name the control that caused them);
// 0x101 "EVENT:Selected" names a control too but has queue rules of its own;
// codes from 0x200 concern the window (their control is 0). There is no
// event 0x207.
//
// The engine also sends itself private messages from 0x2401 ("QUERY_..."),
// among them kEventPostedMessage, whose parameter is an event record to be
// queued on the receiving window, and kBringToTopMessage.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vaultrix::windows {

inline constexpr std::uint32_t kEventMessageBase = 0x1400;

// An event code as controls and procedures pass it around.
using EventCode = int;

// Field events.
inline constexpr int kEventAccepted = 0x01;
inline constexpr int kEventNewSelection = 0x02;
inline constexpr int kEventScrollUp = 0x03;
inline constexpr int kEventScrollDown = 0x04;
inline constexpr int kEventPageUp = 0x05;
inline constexpr int kEventPageDown = 0x06;
inline constexpr int kEventScrollTop = 0x07;
inline constexpr int kEventScrollBottom = 0x08;
inline constexpr int kEventLocate = 0x09;
inline constexpr int kEventMouseUp = 0x0A;
inline constexpr int kEventMouseIn = 0x0B;
inline constexpr int kEventMouseOut = 0x0C;
inline constexpr int kEventMouseMove = 0x0D;
inline constexpr int kEventVbxEvent = 0x0E;
inline constexpr int kEventAlertKey = 0x0F;
inline constexpr int kEventPreAlert = 0x10;
inline constexpr int kEventDragging = 0x11;
inline constexpr int kEventDrag = 0x12;
inline constexpr int kEventDrop = 0x13;
inline constexpr int kEventScrollDrag = 0x14;
inline constexpr int kEventTabChanging = 0x15;
inline constexpr int kEventExpanding = 0x16;
inline constexpr int kEventContracting = 0x17;
inline constexpr int kEventExpanded = 0x18;
inline constexpr int kEventContracted = 0x19;
inline constexpr int kEventRejected = 0x1A;
inline constexpr int kEventDroppingDown = 0x1B;
inline constexpr int kEventDroppedDown = 0x1C;
// A list's thumb being dragged (the position changes while the button is
// down). The event table gives it no name.
inline constexpr int kEventScrollTrack = 0x1D;
inline constexpr int kEventSelected = 0x101;

// Window events.
inline constexpr int kEventCloseWindow = 0x201;
inline constexpr int kEventCloseDown = 0x202;
inline constexpr int kEventOpenWindow = 0x203;
inline constexpr int kEventOpenFailed = 0x204;
inline constexpr int kEventLoseFocus = 0x205;
inline constexpr int kEventGainFocus = 0x206;
inline constexpr int kEventSuspend = 0x208;
inline constexpr int kEventResume = 0x209;
inline constexpr int kEventNotify = 0x20A;
inline constexpr int kEventTimer = 0x20B;
inline constexpr int kEventDdeRequest = 0x20C;
inline constexpr int kEventDdeAdvise = 0x20D;
inline constexpr int kEventDdeData = 0x20E;
inline constexpr int kEventDdeExecute = 0x20F;
inline constexpr int kEventDdePoke = 0x210;
inline constexpr int kEventDdeClosed = 0x211;
inline constexpr int kEventMove = 0x220;
inline constexpr int kEventSize = 0x221;
inline constexpr int kEventRestore = 0x222;
inline constexpr int kEventMaximize = 0x223;
inline constexpr int kEventIconize = 0x224;
inline constexpr int kEventCompleted = 0x225;
inline constexpr int kEventMoved = 0x230;
inline constexpr int kEventSized = 0x231;
inline constexpr int kEventRestored = 0x232;
inline constexpr int kEventMaximized = 0x233;
inline constexpr int kEventIconized = 0x234;

// The engine's private messages.
inline constexpr std::uint32_t kQuerySetUse = 0x2401;
inline constexpr std::uint32_t kQuerySelected = 0x2402;
inline constexpr std::uint32_t kQueryCommand = 0x2403;
inline constexpr std::uint32_t kQueryHotChange = 0x2404;
inline constexpr std::uint32_t kQueryHelp = 0x2405;
inline constexpr std::uint32_t kQueryQuit = 0x2406;
inline constexpr std::uint32_t kQueryReply = 0x2407;
inline constexpr std::uint32_t kQueryLoseFocus = 0x2408;
inline constexpr std::uint32_t kQueryPScreen = 0x2409;
inline constexpr std::uint32_t kQueryPField = 0x240A;
inline constexpr std::uint32_t kQueryColor = 0x240C;
inline constexpr std::uint32_t kQueryHScroll = 0x240E;
inline constexpr std::uint32_t kQueryNotify = 0x2410;
inline constexpr std::uint32_t kQueryLocate = 0x2412;
inline constexpr std::uint32_t kBringToTopMessage = 0x2415;
inline constexpr std::uint32_t kEventPostedMessage = 0x241B;
inline constexpr std::uint32_t kQueryContinueThread = 0x241C;
inline constexpr std::uint32_t kQueryEditDone = 0x241D;

[[nodiscard]] constexpr std::uint32_t MessageOfEvent(int event) {
  return static_cast<std::uint32_t>(event) + kEventMessageBase;
}
[[nodiscard]] constexpr int EventOfMessage(std::uint32_t message) {
  return static_cast<int>(message) - static_cast<int>(kEventMessageBase);
}
// Field events name a control: codes below 0x200.
[[nodiscard]] constexpr bool IsFieldEvent(int event) {
  return event > 0 && event < 0x200;
}

// "EVENT:Accepted" and so on; empty for a number that is no event.
[[nodiscard]] std::string_view EventName(int event);
// The event whose name is `name` (letter case ignored), 0 for none.
[[nodiscard]] int EventByName(std::string_view name);
// The name of a window message as a debug log lists it: events and the
// engine's private messages by their names, Windows messages that the engine
// handles by theirs, anything else as its number in hexadecimal ("0x0401").
[[nodiscard]] std::string MessageName(std::uint32_t message);

}  // namespace vaultrix::windows
