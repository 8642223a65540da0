// Event codes of the window engine and their names. An event is a 16-bit
// number; the window system carries it as the private message code + 0x1400.
// Codes 0x01 to 0xFF (and 0x101, "EVENT:Selected") name the control that
// caused them; codes from 0x200 concern the window and name no control. The
// names are also the texts under which the debug log lists the events.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vaultrix::windows {

using EventCode = std::uint16_t;

inline constexpr std::uint32_t kEventMessageBase = 0x1400;

// Field-specific events.
inline constexpr EventCode kEventAccepted = 0x01;
inline constexpr EventCode kEventNewSelection = 0x02;
inline constexpr EventCode kEventScrollUp = 0x03;
inline constexpr EventCode kEventScrollDown = 0x04;
inline constexpr EventCode kEventPageUp = 0x05;
inline constexpr EventCode kEventPageDown = 0x06;
inline constexpr EventCode kEventScrollTop = 0x07;
inline constexpr EventCode kEventScrollBottom = 0x08;
inline constexpr EventCode kEventLocate = 0x09;
inline constexpr EventCode kEventMouseUp = 0x0A;
inline constexpr EventCode kEventMouseIn = 0x0B;
inline constexpr EventCode kEventMouseOut = 0x0C;
inline constexpr EventCode kEventMouseMove = 0x0D;
inline constexpr EventCode kEventVbxEvent = 0x0E;
inline constexpr EventCode kEventAlertKey = 0x0F;
inline constexpr EventCode kEventPreAlert = 0x10;
inline constexpr EventCode kEventDragging = 0x11;
inline constexpr EventCode kEventDrag = 0x12;
inline constexpr EventCode kEventDrop = 0x13;
inline constexpr EventCode kEventScrollDrag = 0x14;
inline constexpr EventCode kEventTabChanging = 0x15;
inline constexpr EventCode kEventExpanding = 0x16;
inline constexpr EventCode kEventContracting = 0x17;
inline constexpr EventCode kEventExpanded = 0x18;
inline constexpr EventCode kEventContracted = 0x19;
inline constexpr EventCode kEventRejected = 0x1A;
inline constexpr EventCode kEventDroppingDown = 0x1B;
inline constexpr EventCode kEventDroppedDown = 0x1C;
// A list's thumb being dragged (the position changes while the button is
// down). The event table gives it no name.
inline constexpr EventCode kEventScrollTrack = 0x1D;
inline constexpr EventCode kEventSelected = 0x101;

// Field-independent events.
inline constexpr EventCode kEventCloseWindow = 0x201;
inline constexpr EventCode kEventCloseDown = 0x202;
inline constexpr EventCode kEventOpenWindow = 0x203;
inline constexpr EventCode kEventOpenFailed = 0x204;
inline constexpr EventCode kEventLoseFocus = 0x205;
inline constexpr EventCode kEventGainFocus = 0x206;
inline constexpr EventCode kEventSuspend = 0x208;
inline constexpr EventCode kEventResume = 0x209;
inline constexpr EventCode kEventNotify = 0x20A;
inline constexpr EventCode kEventTimer = 0x20B;
inline constexpr EventCode kEventDdeRequest = 0x20C;
inline constexpr EventCode kEventDdeAdvise = 0x20D;
inline constexpr EventCode kEventDdeData = 0x20E;
inline constexpr EventCode kEventDdeExecute = 0x20F;
inline constexpr EventCode kEventDdePoke = 0x210;
inline constexpr EventCode kEventDdeClosed = 0x211;
inline constexpr EventCode kEventMove = 0x220;
inline constexpr EventCode kEventSize = 0x221;
inline constexpr EventCode kEventRestore = 0x222;
inline constexpr EventCode kEventMaximize = 0x223;
inline constexpr EventCode kEventIconize = 0x224;
inline constexpr EventCode kEventCompleted = 0x225;
inline constexpr EventCode kEventMoved = 0x230;
inline constexpr EventCode kEventSized = 0x231;
inline constexpr EventCode kEventRestored = 0x232;
inline constexpr EventCode kEventMaximized = 0x233;
inline constexpr EventCode kEventIconized = 0x234;

// True for the codes that name the control that caused them.
[[nodiscard]] constexpr bool IsFieldEvent(EventCode code) {
  return (code >= 0x01 && code <= 0xFF) || code == kEventSelected;
}

// "EVENT:Accepted" and the like; empty for a code without a name (0x1D and
// every code the table does not hold).
[[nodiscard]] std::string_view EventName(EventCode code);

// The code of a name as EventName gives it (compared without regard to case).
[[nodiscard]] std::optional<EventCode> EventCodeOf(std::string_view name);

}  // namespace vaultrix::windows
