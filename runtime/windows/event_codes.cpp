// The event table: every code with its name.
#include "runtime/windows/event_codes.h"

#include <array>
#include <cctype>

namespace vaultrix::windows {
namespace {

struct EventEntry {
  EventCode code;
  std::string_view name;
};

constexpr std::array<EventEntry, 56> kEventTable = {{
    {kEventAccepted, "EVENT:Accepted"},
    {kEventNewSelection, "EVENT:NewSelection"},
    {kEventScrollUp, "EVENT:ScrollUp"},
    {kEventScrollDown, "EVENT:ScrollDown"},
    {kEventPageUp, "EVENT:PageUp"},
    {kEventPageDown, "EVENT:PageDown"},
    {kEventScrollTop, "EVENT:ScrollTop"},
    {kEventScrollBottom, "EVENT:ScrollBottom"},
    {kEventLocate, "EVENT:Locate"},
    {kEventMouseUp, "EVENT:MouseUp"},
    {kEventMouseIn, "EVENT:MouseIn"},
    {kEventMouseOut, "EVENT:MouseOut"},
    {kEventMouseMove, "EVENT:MouseMove"},
    {kEventVbxEvent, "EVENT:VBXevent"},
    {kEventAlertKey, "EVENT:AlertKey"},
    {kEventPreAlert, "EVENT:PreAlert"},
    {kEventDragging, "EVENT:Dragging"},
    {kEventDrag, "EVENT:Drag"},
    {kEventDrop, "EVENT:Drop"},
    {kEventScrollDrag, "EVENT:ScrollDrag"},
    {kEventTabChanging, "EVENT:TabChanging"},
    {kEventExpanding, "EVENT:Expanding"},
    {kEventContracting, "EVENT:Contracting"},
    {kEventExpanded, "EVENT:Expanded"},
    {kEventContracted, "EVENT:Contracted"},
    {kEventRejected, "EVENT:Rejected"},
    {kEventDroppingDown, "EVENT:DroppingDown"},
    {kEventDroppedDown, "EVENT:DroppedDown"},
    {kEventSelected, "EVENT:Selected"},
    {kEventCloseWindow, "EVENT:CloseWindow"},
    {kEventCloseDown, "EVENT:CloseDown"},
    {kEventOpenWindow, "EVENT:OpenWindow"},
    {kEventOpenFailed, "EVENT:OpenFailed"},
    {kEventLoseFocus, "EVENT:LoseFocus"},
    {kEventGainFocus, "EVENT:GainFocus"},
    {kEventSuspend, "EVENT:Suspend"},
    {kEventResume, "EVENT:Resume"},
    {kEventNotify, "EVENT:Notify"},
    {kEventTimer, "EVENT:Timer"},
    {kEventDdeRequest, "EVENT:DDErequest"},
    {kEventDdeAdvise, "EVENT:DDEadvise"},
    {kEventDdeData, "EVENT:DDEdata"},
    {kEventDdeExecute, "EVENT:DDEexecute"},
    {kEventDdePoke, "EVENT:DDEpoke"},
    {kEventDdeClosed, "EVENT:DDEclosed"},
    {kEventMove, "EVENT:Move"},
    {kEventSize, "EVENT:Size"},
    {kEventRestore, "EVENT:Restore"},
    {kEventMaximize, "EVENT:Maximize"},
    {kEventIconize, "EVENT:Iconize"},
    {kEventCompleted, "EVENT:Completed"},
    {kEventMoved, "EVENT:Moved"},
    {kEventSized, "EVENT:Sized"},
    {kEventRestored, "EVENT:Restored"},
    {kEventMaximized, "EVENT:Maximized"},
    {kEventIconized, "EVENT:Iconized"},
}};

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string_view EventName(EventCode code) {
  for (const EventEntry& entry : kEventTable) {
    if (entry.code == code) return entry.name;
  }
  return {};
}

std::optional<EventCode> EventCodeOf(std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (const EventEntry& entry : kEventTable) {
    if (SameNoCase(entry.name, name)) return entry.code;
  }
  return std::nullopt;
}

}  // namespace vaultrix::windows
