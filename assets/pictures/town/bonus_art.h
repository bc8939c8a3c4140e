#pragma once
// The pickups lying on the road ("Bonus10" .. "BonusRnp", 35 x 34) and the
// panel's weapon and nitro icons ("BonusNitro", "BonusM", "BonusR") in the
// same family.
#include <string>

#include "assets/catalog.h"

void AddBonusArt(TImageItems& res2);
// The pickups on asphalt at their size and enlarged, and the panel icons.
void WriteBonusPreviews(const TImageItems& res1, const TImageItems& res2, const std::string& dir);
