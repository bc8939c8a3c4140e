#include "platform/sdl_gamepads.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

int TSdlGamepads::LoadPlayerMappings(const std::string& file) {
  std::error_code ec;
  if (file.empty() || !std::filesystem::is_regular_file(file, ec)) return 0;
  const int added = SDL_GameControllerAddMappingsFromFile(file.c_str());
  if (added < 0) std::fprintf(stderr, "voltrace2: cannot read the pad mappings in %s: %s\n", file.c_str(), SDL_GetError());
  return added < 0 ? 0 : added;
}

void TSdlGamepads::SayIfUnmapped(int deviceIndex) {
  if (SDL_IsGameController(deviceIndex)) return;
  // Mapping files name a joystick by its GUID without the checksum of its
  // name (bytes 2 and 3), so that is the form the player needs.
  SDL_JoystickGUID id = SDL_JoystickGetDeviceGUID(deviceIndex);
  id.data[2] = id.data[3] = 0;
  char guid[33];
  SDL_JoystickGetGUIDString(id, guid, sizeof guid);
  if (std::find(UnmappedSaid.begin(), UnmappedSaid.end(), guid) != UnmappedSaid.end()) return;
  UnmappedSaid.push_back(guid);
  const char* name = SDL_JoystickNameForIndex(deviceIndex);
  std::fprintf(stderr,
               "voltrace2: the joystick \"%s\" (%s) has no pad mapping and is not used; "
               "a mapping line for it in gamecontrollerdb.txt in the game's data folder makes it a pad "
               "(see the README)\n",
               name ? name : "?", guid);
}


void TSdlGamepads::Open(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
  if (!pad) return;
  // A pad already open (SDL reports those present at start twice) stays once.
  if (std::find(Pads.begin(), Pads.end(), pad) != Pads.end()) {
    SDL_GameControllerClose(pad);
    return;
  }
  Pads.push_back(pad);
}

bool TSdlGamepads::HandleEvent(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: Open(e.cdevice.which); return true;
    case SDL_JOYDEVICEADDED: SayIfUnmapped(e.jdevice.which); return false;
    case SDL_CONTROLLERDEVICEREMOVED: {
      // Here Which is the instance id, not the device index.
      SDL_GameController* pad = SDL_GameControllerFromInstanceID(e.cdevice.which);
      auto it = std::find(Pads.begin(), Pads.end(), pad);
      if (pad && it != Pads.end()) {
        Pads.erase(it);
        SDL_GameControllerClose(pad);
        WindowEvents.GamepadRemoved();
      }
      return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
      if (e.cbutton.button == SDL_CONTROLLER_BUTTON_A) WindowEvents.KeyPress(13);
      if (e.cbutton.button == SDL_CONTROLLER_BUTTON_B) WindowEvents.KeyPress(27);
      return true;
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION: return true;
    default: return false;
  }
}

void TSdlGamepads::ReadKeys(bool held[GameKeyCount]) const {
  for (SDL_GameController* pad : Pads) {
    auto button = [pad](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(pad, b) != 0; };
    const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    held[gkUp] |= button(SDL_CONTROLLER_BUTTON_DPAD_UP) || y < -DeadZone;
    held[gkDown] |= button(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || y > DeadZone;
    held[gkLeft] |= button(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || x < -DeadZone;
    held[gkRight] |= button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || x > DeadZone;
    held[gkZ] |= button(SDL_CONTROLLER_BUTTON_A);
    held[gkEsc] |= button(SDL_CONTROLLER_BUTTON_B);
    held[gkX] |= button(SDL_CONTROLLER_BUTTON_X);
    held[gkH] |= button(SDL_CONTROLLER_BUTTON_Y);
    held[gkSpace] |= button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER) || button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    held[gkP] |= button(SDL_CONTROLLER_BUTTON_START);
  }
}

void TSdlGamepads::ReadButtons(bool held[PadButtonCount]) const {
  // TPadButton follows SDL's own order of the controller buttons.
  static_assert(int{pbA} == int{SDL_CONTROLLER_BUTTON_A} && int{pbDpadRight} == int{SDL_CONTROLLER_BUTTON_DPAD_RIGHT});
  for (SDL_GameController* pad : Pads) {
    for (int b = 0; b < PadButtonCount; ++b)
      held[b] = held[b] || SDL_GameControllerGetButton(pad, static_cast<SDL_GameControllerButton>(b)) != 0;
    const int x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    const int y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    held[pbDpadUp] = held[pbDpadUp] || y < -DeadZone;
    held[pbDpadDown] = held[pbDpadDown] || y > DeadZone;
    held[pbDpadLeft] = held[pbDpadLeft] || x < -DeadZone;
    held[pbDpadRight] = held[pbDpadRight] || x > DeadZone;
  }
}

void TSdlGamepads::CloseAll() {
  for (SDL_GameController* pad : Pads) SDL_GameControllerClose(pad);
  Pads.clear();
}
