// How the program's procedures meet a display: the main thread attaches a
// display driver (or none) to the window system, then starts the program on
// runtime thread 1 and serves the driver until the program has ended.
// Each way of running is one function here, chosen by main.
#pragma once

#include "app/program/run.h"

namespace vaultrix::app {

// Starts the main program (MainProgram) on the run's thread 1.
void StartProgram(ProgramRun& run);

// No display: message boxes go to the platform's handler, and the program
// runs until its frame closes (File > Exit cannot be chosen here, so this is
// the way of scripted and automatic close-downs). Answers the exit code.
int RunWithoutDisplay(ProgramRun& run);

// Frame hooks for measuring and automation: called on thread 1, under the
// runtime lock, when the frame's "EVENT:OpenWindow" reaches its procedure.
using FrameOpenedHook = void (*)(void* context);
void SetFrameOpenedHook(FrameOpenedHook hook, void* context);
void NotifyFrameOpened();

}  // namespace vaultrix::app
