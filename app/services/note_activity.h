// The activity stamp: every application window but the close-down countdown
// calls NoteActivity with its event at the top of every loop pass, so that
// any key, mouse action, focus change or other event anywhere restarts the
// inactivity period. Timer ticks and the Suspend/Resume pair that a change of
// thread brings are not activity.
#pragma once

namespace vaultrix::app {

void NoteActivity(int event);

}  // namespace vaultrix::app
