#pragma once
// The shell's module state that every screen reads.
#include <cstdint>
#include <string>

// 0 none, 1 main menu, 2 car selection, 3 options, 4 highscores, 5 help, 6 race
extern uint8_t GameScreen;
// 0 none, else the kind of the modal window shown over the screen
extern uint8_t OverlayWindow;

extern int MouseX, MouseY;
extern unsigned char LastKeyChar;
extern std::string PlayerName;  // at most 12 characters, typed in the name entry
extern uint8_t CountryEditActive;
// The player's car, 1..6: chosen on the car-selection screen, driven in the
// race, kept from one game to the next.
extern int SelectedCar;

// Set by ShutDown; the platform's loop ends after the current tick or event.
extern bool Terminated;

// Puts every shell variable back to its start-up value (a fresh game).
void ResetGameState();
