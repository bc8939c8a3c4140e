#include "race/replay/replay_scripts.h"

std::string ToRaceAt(int hz, uint32_t seed) {
  return "seed " + std::to_string(seed) + "\nrefresh " + std::to_string(hz) + "\nwait 50\n" + ToRace();
}

std::string ToRace() { return "mouse 400 60\nwait 1\nclick\nwait 2\nkey down Enter\nkey up Enter\n"; }

std::string LeaveTheRace() { return "key down Esc\nwait 1\nkey up Esc\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 5\n"; }

std::string RestlessDriving(int hz, uint32_t seed, int seconds) {
  uint32_t state = seed * 2654435761u + 12345u;
  auto next = [&state](int n) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((static_cast<uint64_t>(state >> 8) * static_cast<uint32_t>(n)) >> 24);
  };
  auto hold = [](const char* key, int ticks) {
    return std::string("key down ") + key + "\nwait " + std::to_string(ticks) + "\nkey up " + key + "\n";
  };
  std::string s = "key down Up\n";
  for (int t = 0; t < hz * seconds;) {
    const int what = next(100);
    int ticks = 1 + next(hz);
    if (what < 30) {
      ticks = 2 + next(hz / 2);
      s += hold(next(2) ? "Left" : "Right", ticks);
    } else if (what < 40) {
      static const char* const Others[] = {"Z", "X", "Space", "Down", "H"};
      ticks = 1 + next(hz / 3);
      s += hold(Others[next(5)], ticks);
    } else if (what < 42) {
      // A pause while firing: the gun's sound comes back with the car's.
      s += "key down Z\nwait 3\n" + hold("P", 1) + "wait " + std::to_string(hz / 3) + "\n" + hold("P", 1) +
           "key up Z\n";
      ticks = 5 + hz / 3;
    } else if (what < 43) {
      s += hold("Esc", 1) + "wait 5\n" + hold("N", 1);
      ticks = 7;
    } else if (what < 45) {
      s += "key up Up\n" + hold("Down", ticks) + "key down Up\n";
    } else {
      s += "wait " + std::to_string(ticks) + "\n";
    }
    t += ticks;
  }
  return s + "key up Up\n";
}

std::string ToTheTable() { return "key down Down\nwait 1\nkey up Down\nwait 1\nkey down Enter\nkey up Enter\nwait 2\n"; }
