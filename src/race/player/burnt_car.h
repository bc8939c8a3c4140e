#pragma once
// The wreck left under the blast when the car explodes: the car's own
// picture, charred.
#include "sprites/image_list.h"

// Chars a copy of car; called by the crash, so the ticks after it only
// draw the copy.
void MakeBurntCar(const TPictureCollectionItem& car);
// The last copy made; null before the first crash.
const TPictureCollectionItem* BurntCar();
