// voltrace2: the game in a window of its own.
#include "app/start_up.h"
#include "platform/sdl_platform.h"
#include "shell/frame_timer.h"
#include "shell/game_state.h"
#include "shell/main_window.h"

int main() {
  static TSdlPlatform machine;
  if (!StartGame(machine, machine.ClockSeed())) return 1;
  bool wasActive = true;
  while (!Terminated) {
    machine.DeliverEvents(Terminated);
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
