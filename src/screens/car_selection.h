#pragma once
// The car-selection screen: six cars, a cross-fade between their pictures,
// and the start of the race.

extern int PendingCar;      // the car being faded to
extern int CarSwitchState;  // 0 idle, 1 cross-fade running

void OpenCarSelection();
void CarSelectTick(int moveCount);
void PreviousCar();
void NextCar();
void CloseCarSelection();
void ResetCarSelection();
