// voltrace2: the game in a window of its own.
#include <cstdio>

#include "app/command_line.h"
#include "app/start_up.h"
#include "platform/end_signals.h"
#include "platform/sdl_platform.h"
#include "shell/frame_timer.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

int main(int argc, char** argv) {
  const TCommandLine line = ParseCommandLine(argc, argv);
  switch (line.Action) {
    case TCommandLine::ShowHelp: std::fputs(UsageText().c_str(), stdout); return 0;
    case TCommandLine::ShowVersion: std::printf("voltrace2 %s\n", VT_VERSION); return 0;
    case TCommandLine::Refuse: std::fprintf(stderr, "voltrace2: %s\n%s", line.Error.c_str(), UsageText().c_str()); return 2;
    case TCommandLine::Play: break;
  }
  CatchEndSignals();
  static TSdlPlatform machine;
  if (!StartGame(machine, machine.ClockSeed(), {line.DataFolder, line.DisplayMode})) return 1;
  bool wasActive = true;
  while (!Terminated) {
    machine.DeliverEvents(Terminated);
    if (EndSignalled()) {
      EndAtOnce();
      machine.Close();
      return 0;
    }
    if (Terminated) break;
    if (!machine.Active) {
      // Ticks stand still while another program is in front.
      wasActive = false;
      machine.WaitForEvent(100);
      continue;
    }
    if (!wasActive) {
      MDXTimer.Restart(machine.ClockMs());
      wasActive = true;
    }
    RunFrame(machine.ClockMs());
  }
  machine.Close();
  RunLauncherCheck();
  return 0;
}
