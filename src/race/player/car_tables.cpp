#include "race/player/car_tables.h"

const std::string CarImage[CarKindCount + 1] = {"",     "Car1", "Car2", "Car3", "Car4",  "Car5",
                                                "Car6", "Car7", "Car8", "Car9", "Car10", "Car11"};
const int CarHalfWidth[CarKindCount + 1] = {0, 32, 31, 41, 31, 34, 32, 49, 60, 17, 46, 84};
const int CarHalfHeight[CarKindCount + 1] = {0, 78, 74, 78, 67, 77, 72, 67, 85, 29, 76, 120};

const int CarBodyWidth[PlayerCarCount + 1] = {0, 65, 62, 70, 63, 60, 62};

const double CornerScale[4][PlayerCarCount + 1] = {
    {0, 0.95, 0.94, 0.95, 0.92, 0.95, 0.92},
    {0, 0.95, 0.94, 0.95, 0.92, 0.95, 0.92},
    {0, 0.95, 0.94, 0.95, 0.92, 0.95, 0.92},
    {0, 0.95, 0.94, 0.95, 0.92, 0.95, 0.92},
};

const double GunPivotOffset[PlayerCarCount + 1] = {0, 0.23, 0.2, 0.28, 0.36, 0.25, 0.22};
const double ShotPivotAdjust[PlayerCarCount + 1] = {0, 0.185, 0.202, 0.17, 0.175, 0.18, 0.2};
