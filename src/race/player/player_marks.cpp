#include "race/player/player_marks.h"

double MarkX[MarkSlots + 1];
double MarkY[MarkSlots + 1];
uint8_t MarkUsed[MarkSlots + 1];
uint8_t MarkShown[MarkSlots + 1];
uint8_t MarkBlood[MarkSlots + 1];
int MarkAngle[MarkSlots + 1];
int MarkNext = 1;
int BloodTrail = 0;

void ResetMarks() {
  for (int i = 1; i <= MarkSlots; ++i) {
    MarkX[i] = 0;
    MarkY[i] = 0;
    MarkUsed[i] = 0;
    MarkShown[i] = 0;
    MarkBlood[i] = 0;
    MarkAngle[i] = 0;
  }
  MarkNext = 1;
  BloodTrail = 0;
}

void AddMark(double x, double y, int angle) {
  int i = 1;
  while (i <= MarkSlots && MarkUsed[i] != 0) ++i;
  if (i > MarkSlots) return;
  MarkShown[i] = 1;
  if (BloodTrail > 0) {
    // Only the last 30 units of a trail show: a fresh trail of 50 first
    // runs 20 marks dry.
    if (BloodTrail > 30) MarkShown[i] = 0;
    MarkBlood[i] = 1;
    BloodTrail -= 1;
  } else {
    MarkBlood[i] = 0;
  }
  MarkX[i] = x;
  MarkY[i] = y;
  MarkAngle[i] = angle;
  MarkUsed[i] = 1;
  MarkNext = i;
}

void ClearMark(int i) {
  MarkX[i] = 0;
  MarkY[i] = 0;
  MarkUsed[i] = 0;
}

void PruneMarks() {
  // The playfield is 700 x 600; a mark is 14 pixels tall.
  for (int i = 1; i <= MarkSlots; ++i) {
    if (MarkUsed[i] == 0) continue;
    if (MarkX[i] < 0 || MarkX[i] > 700 || MarkY[i] + 14 < 0 || MarkY[i] > 600) ClearMark(i);
  }
}
