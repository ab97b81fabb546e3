// Daymarker as it starts, with the start-up probe around it: the time from
// entering wWinMain to the end of the first paint. The profile build also
// times the system calls made on the way, and ends after the first paint.
#include <windows.h>

#include "app/program.h"
#include "bench/startup_probe.h"
#include "ui/message_loop.h"

#ifdef DAYMARKER_STARTUP_PROFILE
#include "bench/startup_profile.h"
#endif

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
#ifdef DAYMARKER_STARTUP_PROFILE
  daymarker::startup_profile::Install();
#endif
  const LARGE_INTEGER start = daymarker::startup_probe::Now();
  const auto mainWindow = daymarker::StartProgram(instance);
  if (mainWindow == nullptr) {
    return 1;
  }
  // The program leaves its first paint to the message loop; here it is forced, to time it.
  ::UpdateWindow(mainWindow->Window());
  daymarker::startup_probe::Finish(start);
#ifdef DAYMARKER_STARTUP_PROFILE
  daymarker::startup_profile::Report();
  return 0;
#else
  return daymarker::RunMessageLoop();
#endif
}
