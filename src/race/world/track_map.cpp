#include "race/world/track_map.h"

uint8_t TrackMap[MapRows * MapColumns];

int MapRow = 1488;
int MapCol = 318;
