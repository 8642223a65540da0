// Restarting the inactivity period.
#include "app/services/note_activity.h"

#include "app/options/options.h"
#include "runtime/support/times.h"
#include "runtime/windows/event_codes.h"

namespace vaultrix::app {

void NoteActivity(int event) {
  if (event == windows::kEventTimer || event == windows::kEventSuspend ||
      event == windows::kEventResume) {
    return;
  }
  ShutdownDeadline = InactivityMinutes == 0 ? 0 : support::CLOCK() + InactivityMinutes * 6000;
}

}  // namespace vaultrix::app
