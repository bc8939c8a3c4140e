#pragma once
// Gamepads through SDL's game-controller layer, plugged in before or during
// play. A pad is one more keyboard: its buttons and stick are read into the
// same held key states once per tick, and its A and B buttons also type
// Enter and Esc, so every screen's rules hold for it unchanged.
//
//   D-pad, left stick   arrows            A        Enter; fire in the race
//   B                   Esc               X        nitro
//   Y                   horn              L1, R1   handbrake
//   Start               P (pause)
#include <SDL.h>

#include <vector>

#include "platform/platform.h"

class TSdlGamepads {
 public:
  // How far the stick must lean before it counts as an arrow: a quarter of
  // its travel, so a worn stick resting off centre does not steer.
  static constexpr int DeadZone = 8192;

  // Handles the controller events; true when E was one of them.
  bool HandleEvent(const SDL_Event& e);
  // Adds every open pad's held keys to Held.
  void ReadKeys(bool held[GameKeyCount]) const;
  // Adds every open pad's held buttons (the left stick as the D-pad).
  void ReadButtons(bool held[PadButtonCount]) const;
  void CloseAll();
  int Count() const { return static_cast<int>(Pads.size()); }

 private:
  void Open(int deviceIndex);
  std::vector<SDL_GameController*> Pads;
};
