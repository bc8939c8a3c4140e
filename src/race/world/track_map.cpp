#include "race/world/track_map.h"

int MapRow = 1488;
int MapCol = 318;
