#pragma once
// The modal windows shown over a screen. While one is open the frame loop
// runs OverlayTick instead of the screen's tick, so the screen underneath
// stands still.
#include <cstdint>

extern int OverlayTimer;  // milliseconds left for the timed messages
extern uint8_t SendChosen;   // the name entry's send box when the name was confirmed
// The sending window: 0 on opening, 1 once its notice has been drawn, 2
// while the report is under way.
extern uint8_t SendingShown;

// How many times a pause or the leave question has closed over a race and
// given the car its sounds back (which also sets the car's engine flags):
// the game's recorder notes each one.
extern uint32_t RaceResumes;

// A timed message (level, time-up, game over) closes on this tick.
bool OverlayTimerRunsOut();

// Does nothing while another window is open.
void OpenOverlay(int kind);
void CloseOverlay();
void OverlayTick(int moveCount);
// The open window's action on the highlighted item (a click, Enter, Y, N).
void OverlayActivate();
void ResetOverlay();
