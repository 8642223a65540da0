// Starting the program and running it without a display.
#include "app/program/runner.h"

#include <atomic>

#include "app/program/main_program.h"

namespace vaultrix::app {
namespace {

std::atomic<FrameOpenedHook> frame_opened_hook{nullptr};
std::atomic<void*> frame_opened_context{nullptr};

}  // namespace

void StartProgram(ProgramRun& run) {
  run.Start(MainProgram);
}

int RunWithoutDisplay(ProgramRun& run) {
  StartProgram(run);
  run.Wait();
  return 0;
}

void SetFrameOpenedHook(FrameOpenedHook hook, void* context) {
  frame_opened_context.store(context);
  frame_opened_hook.store(hook);
}

void NotifyFrameOpened() {
  if (FrameOpenedHook hook = frame_opened_hook.load()) hook(frame_opened_context.load());
}

}  // namespace vaultrix::app
