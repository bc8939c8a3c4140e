#pragma once
#include <string>

// Every slot of the traffic, the pedestrians, the pickups and the rockets
// as one JSON object under the game's own field names.
std::string DumpWorld();

// How many of each there are, for the state dump.
struct TWorldCounts {
  int CarsPlaced = 0, CarsDriving = 0, CarsExploding = 0;
  int MenWalking = 0, MenLying = 0, MenBlownAway = 0;
  int BonusesLeft = 0;
  int RocketsActive = 0;
};
TWorldCounts CountWorld();
