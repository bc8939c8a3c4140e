#pragma once
// The tyre marks the handbrake leaves and the blood trail after running a
// pedestrian over: 100 slots, indexed from 1, holding screen positions that
// scroll with the world. They belong to the race, not to one life.
#include <cstdint>

constexpr int MarkSlots = 100;

extern double MarkX[MarkSlots + 1];  // top-left of the mark on screen
extern double MarkY[MarkSlots + 1];
extern uint8_t MarkUsed[MarkSlots + 1];
extern uint8_t MarkShown[MarkSlots + 1];
extern uint8_t MarkBlood[MarkSlots + 1];  // 1 "Blood", 0 "Handbrake"
extern int MarkAngle[MarkSlots + 1];      // the car's heading when laid
extern int MarkNext;                      // the slot written last
// Blood marks still to lay; the pedestrians set it when one is run over.
extern int BloodTrail;

// Empties every slot and the blood trail (a new race).
void ResetMarks();
// Lays one mark at (x, y) in the first free slot, turned by angle; does
// nothing when all slots are taken. Uses up one unit of BloodTrail when a
// trail is pending; while more than 30 units remain the mark is not shown.
void AddMark(double x, double y, int angle);
void ClearMark(int i);
// Frees the slots of marks that scrolled off the playfield.
void PruneMarks();
