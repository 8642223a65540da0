// The tables of event names and message names.
#include "runtime/windows/event_codes.h"

#include <cstdio>

#include "platform/window_messages.h"
#include "runtime/support/ascii_text.h"

namespace vaultrix::windows {
namespace {

struct Named {
  std::uint32_t number;
  std::string_view name;
};

constexpr Named kEvents[] = {
    {0x01, "EVENT:Accepted"},     {0x02, "EVENT:NewSelection"}, {0x03, "EVENT:ScrollUp"},
    {0x04, "EVENT:ScrollDown"},   {0x05, "EVENT:PageUp"},       {0x06, "EVENT:PageDown"},
    {0x07, "EVENT:ScrollTop"},    {0x08, "EVENT:ScrollBottom"}, {0x09, "EVENT:Locate"},
    {0x0A, "EVENT:MouseUp"},      {0x0B, "EVENT:MouseIn"},      {0x0C, "EVENT:MouseOut"},
    {0x0D, "EVENT:MouseMove"},    {0x0E, "EVENT:VBXevent"},     {0x0F, "EVENT:AlertKey"},
    {0x10, "EVENT:PreAlert"},     {0x11, "EVENT:Dragging"},     {0x12, "EVENT:Drag"},
    {0x13, "EVENT:Drop"},         {0x14, "EVENT:ScrollDrag"},   {0x15, "EVENT:TabChanging"},
    {0x16, "EVENT:Expanding"},    {0x17, "EVENT:Contracting"},  {0x18, "EVENT:Expanded"},
    {0x19, "EVENT:Contracted"},   {0x1A, "EVENT:Rejected"},     {0x1B, "EVENT:DroppingDown"},
    {0x1C, "EVENT:DroppedDown"},  {0x101, "EVENT:Selected"},    {0x201, "EVENT:CloseWindow"},
    {0x202, "EVENT:CloseDown"},   {0x203, "EVENT:OpenWindow"},  {0x204, "EVENT:OpenFailed"},
    {0x205, "EVENT:LoseFocus"},   {0x206, "EVENT:GainFocus"},   {0x208, "EVENT:Suspend"},
    {0x209, "EVENT:Resume"},      {0x20A, "EVENT:Notify"},      {0x20B, "EVENT:Timer"},
    {0x20C, "EVENT:DDErequest"},  {0x20D, "EVENT:DDEadvise"},   {0x20E, "EVENT:DDEdata"},
    {0x20F, "EVENT:DDEexecute"},  {0x210, "EVENT:DDEpoke"},     {0x211, "EVENT:DDEclosed"},
    {0x220, "EVENT:Move"},        {0x221, "EVENT:Size"},        {0x222, "EVENT:Restore"},
    {0x223, "EVENT:Maximize"},    {0x224, "EVENT:Iconize"},     {0x225, "EVENT:Completed"},
    {0x230, "EVENT:Moved"},       {0x231, "EVENT:Sized"},       {0x232, "EVENT:Restored"},
    {0x233, "EVENT:Maximized"},   {0x234, "EVENT:Iconized"},
};

constexpr Named kPrivateMessages[] = {
    {0x2401, "QUERY_SETUSE"},    {0x2402, "QUERY_SELECTED"},       {0x2403, "QUERY_COMMAND"},
    {0x2404, "QUERY_HOTCHANGE"}, {0x2405, "QUERY_HELP"},           {0x2406, "QUERY_QUIT"},
    {0x2407, "QUERY_REPLY"},     {0x2408, "QUERY_LOSEFOCUS"},      {0x2409, "QUERY_PSCREEN"},
    {0x240A, "QUERY_PFIELD"},    {0x240C, "QUERY_COLOR"},          {0x240E, "QUERY_HSCROLL"},
    {0x2410, "QUERY_NOTIFY"},    {0x2412, "QUERY_LOCATE"},         {0x2415, "BringToTop"},
    {0x241B, "EventPosted"},     {0x241C, "QUERY_CONTINUETHREAD"}, {0x241D, "QUERY_EDITDONE"},
};

namespace p = vaultrix::platform;
constexpr Named kWindowsMessages[] = {
    {p::kWmCreate, "WM_CREATE"},
    {p::kWmDestroy, "WM_DESTROY"},
    {p::kWmMove, "WM_MOVE"},
    {p::kWmSize, "WM_SIZE"},
    {p::kWmActivate, "WM_ACTIVATE"},
    {p::kWmSetFocus, "WM_SETFOCUS"},
    {p::kWmKillFocus, "WM_KILLFOCUS"},
    {p::kWmEnable, "WM_ENABLE"},
    {p::kWmSetText, "WM_SETTEXT"},
    {p::kWmGetText, "WM_GETTEXT"},
    {p::kWmPaint, "WM_PAINT"},
    {p::kWmClose, "WM_CLOSE"},
    {p::kWmQueryEndSession, "WM_QUERYENDSESSION"},
    {p::kWmQuit, "WM_QUIT"},
    {p::kWmEndSession, "WM_ENDSESSION"},
    {p::kWmShowWindow, "WM_SHOWWINDOW"},
    {p::kWmKeyDown, "WM_KEYDOWN"},
    {p::kWmKeyUp, "WM_KEYUP"},
    {p::kWmChar, "WM_CHAR"},
    {p::kWmSysKeyDown, "WM_SYSKEYDOWN"},
    {p::kWmSysKeyUp, "WM_SYSKEYUP"},
    {p::kWmSysChar, "WM_SYSCHAR"},
    {p::kWmCommand, "WM_COMMAND"},
    {p::kWmSysCommand, "WM_SYSCOMMAND"},
    {p::kWmTimer, "WM_TIMER"},
    {p::kWmHScroll, "WM_HSCROLL"},
    {p::kWmVScroll, "WM_VSCROLL"},
    {p::kWmMouseMove, "WM_MOUSEMOVE"},
    {p::kWmLButtonDown, "WM_LBUTTONDOWN"},
    {p::kWmLButtonUp, "WM_LBUTTONUP"},
    {p::kWmLButtonDblClk, "WM_LBUTTONDBLCLK"},
    {p::kWmRButtonDown, "WM_RBUTTONDOWN"},
    {p::kWmRButtonUp, "WM_RBUTTONUP"},
    {p::kWmRButtonDblClk, "WM_RBUTTONDBLCLK"},
    {p::kWmMdiActivate, "WM_MDIACTIVATE"},
    {p::kWmDropFiles, "WM_DROPFILES"},
};

template <std::size_t N>
std::string_view Lookup(const Named (&table)[N], std::uint32_t number) {
  for (const Named& entry : table) {
    if (entry.number == number) return entry.name;
  }
  return {};
}

}  // namespace

std::string_view EventName(int event) {
  if (event <= 0) return {};
  return Lookup(kEvents, static_cast<std::uint32_t>(event));
}

int EventByName(std::string_view name) {
  for (const Named& entry : kEvents) {
    if (support::EqualIgnoringAsciiCase(entry.name, name)) return static_cast<int>(entry.number);
  }
  return 0;
}

std::string MessageName(std::uint32_t message) {
  if (message > kEventMessageBase && message < kQuerySetUse) {
    std::string_view event = EventName(EventOfMessage(message));
    if (!event.empty()) return std::string(event);
  }
  std::string_view name = Lookup(kPrivateMessages, message);
  if (name.empty()) name = Lookup(kWindowsMessages, message);
  if (!name.empty()) return std::string(name);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(message));
  return hex;
}

}  // namespace vaultrix::windows
