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

#include <string>
#include <vector>

#include "platform/platform.h"

class TSdlGamepads {
 public:
  // How far the stick must lean before it counts as an arrow: a quarter of
  // its travel, so a worn stick resting off centre does not steer.
  static constexpr int DeadZone = 8192;

  // Mappings for pads SDL does not know, from the file the player keeps in
  // the game's data folder (SDL's own SDL_GAMECONTROLLERCONFIG and
  // SDL_GAMECONTROLLERCONFIG_FILE work as well). Called once the
  // controller layer is up; returns how many mappings were added.
  static int LoadPlayerMappings(const std::string& file);
  // Handles the controller events; true when E was one of them. A joystick
  // that SDL cannot use as a pad is named on stderr, once per kind.
  bool HandleEvent(const SDL_Event& e);
  // Adds every open pad's held keys to Held.
  void ReadKeys(bool held[GameKeyCount]) const;
  // Adds every open pad's held buttons (the left stick as the D-pad).
  void ReadButtons(bool held[PadButtonCount]) const;
  void CloseAll();
  int Count() const { return static_cast<int>(Pads.size()); }

 private:
  void Open(int deviceIndex);
  void SayIfUnmapped(int deviceIndex);
  std::vector<SDL_GameController*> Pads;
  std::vector<std::string> UnmappedSaid;  // GUIDs already named
};
