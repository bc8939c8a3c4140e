// The towns two seeds build, pinned: every map row of the road's stretch as
// a hash, the rows above it as one, and where the level start puts the
// pickups, the pedestrians and the traffic. A change in the order of the
// random draws shows here, by row, apart from the approved pictures: when a
// race picture fails and this passes, the fault is in the picture.
//
// Re-bless after an intended change of the town (from the build folder):
//   VT_BLESS_TOWN=1 ./voltrace2-tests --gtest_filter='Towns/TownLayout.*'
// then re-bless the race pictures too (tests/fixtures/README.md).
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "race/race.h"
#include "shell/random.h"
#include "support/town_test_world.h"

namespace {

const char* const LayoutFile = VT_FIXTURES "/town_layouts.txt";

struct THash {
  uint64_t H = 1469598103934665603ull;  // FNV-1a
  void Mix(uint64_t v) {
    for (int i = 0; i < 8; ++i) {
      H ^= (v >> (8 * i)) & 0xFFu;
      H *= 1099511628211ull;
    }
  }
  void Mix(double v) { Mix(std::bit_cast<uint64_t>(v)); }
  std::string Hex() const {
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(H));
    return text;
  }
};

struct TTownCase {
  uint32_t Seed;
  int Level;
};
void PrintTo(const TTownCase& c, std::ostream* os) { *os << "seed " << c.Seed << " level " << c.Level; }

class TownLayout : public TownWorld, public testing::WithParamInterface<TTownCase> {
 protected:
  // The town and its people as a level start makes them: the map, then the
  // pickups, the pedestrians and the traffic, in that order.
  std::map<std::string, std::string> Build() {
    Bonuses = new TBonus();
    Men = new TMan();
    Cars = new TCar();
    Randomize(GetParam().Seed);
    SetLevel(GetParam().Level);
    Bonuses->PlaceBonuses();
    Men->PlaceMen();
    Cars->PlaceCars();

    std::map<std::string, std::string> got;
    const int top = 1500 - TrackLength - 5;
    THash above;
    for (int r = 1; r <= MapRows; ++r) {
      THash row;
      for (int c = 1; c <= MapColumns; ++c) row.Mix(uint64_t{Tile(r, c)});
      if (r < top) above.Mix(row.H);
      else got["row" + std::to_string(r)] = row.Hex();
    }
    got["above"] = above.Hex();
    THash pickups, men, cars;
    for (const TPickup& p : Bonuses->Pickup) {
      pickups.Mix(uint64_t{p.Active});
      pickups.Mix(static_cast<uint64_t>(p.Col));
      pickups.Mix(static_cast<uint64_t>(p.Row));
      pickups.Mix(uint64_t{p.Type});
    }
    for (const TPedestrian& m : Men->Man) {
      men.Mix(uint64_t{m.Active});
      if (!m.Active) continue;
      men.Mix(uint64_t{m.IsGirl});
      men.Mix(m.X);
      men.Mix(m.Y);
      men.Mix(uint64_t{m.Direction});
      men.Mix(uint64_t{m.Speed});
      men.Mix(m.AnimPos);
    }
    for (const TRivalCar& car : Cars->Car) {
      cars.Mix(uint64_t{car.Kind});
      cars.Mix(uint64_t{car.Orientation});
      cars.Mix(car.X);
      cars.Mix(car.Y);
      cars.Mix(static_cast<uint64_t>(car.Speed));
    }
    got["pickups"] = pickups.Hex();
    got["pedestrians"] = men.Hex();
    got["traffic"] = cars.Hex();
    return got;
  }

  std::string Prefix() const {
    return "seed" + std::to_string(GetParam().Seed) + "-level" + std::to_string(GetParam().Level) + " ";
  }
};

std::map<std::string, std::string> ReadLayouts() {
  std::map<std::string, std::string> all;
  std::ifstream in(LayoutFile);
  std::string town, what, hash;
  while (in >> town >> what >> hash) all[town + " " + what] = hash;
  return all;
}

TEST_P(TownLayout, BuildsTheApprovedTown) {
  const std::map<std::string, std::string> got = Build();
  std::map<std::string, std::string> all = ReadLayouts();
  if (std::getenv("VT_BLESS_TOWN") != nullptr) {
    for (auto it = all.begin(); it != all.end();) it = it->first.rfind(Prefix(), 0) == 0 ? all.erase(it) : ++it;
    for (const auto& [what, hash] : got) all[Prefix() + what] = hash;
    std::ofstream out(LayoutFile);
    for (const auto& [key, hash] : all) out << key << ' ' << hash << '\n';
    return;
  }
  int differing = 0;
  for (const auto& [what, hash] : got) {
    const auto found = all.find(Prefix() + what);
    if (found != all.end() && found->second == hash) continue;
    // The first few are enough to see where the town went another way.
    if (++differing <= 5) ADD_FAILURE() << Prefix() << what << " is " << hash << ", approved "
                                        << (found == all.end() ? "none" : found->second);
  }
  EXPECT_EQ(differing, 0) << "re-bless with VT_BLESS_TOWN=1 ./voltrace2-tests --gtest_filter='Towns/TownLayout.*' "
                             "(from the build folder) if the new town is meant";
}

INSTANTIATE_TEST_SUITE_P(Towns, TownLayout, testing::Values(TTownCase{5, 1}, TTownCase{21, 6}),
                         [](const testing::TestParamInfo<TTownCase>& info) {
                           return "Seed" + std::to_string(info.param.Seed) + "Level" +
                                  std::to_string(info.param.Level);
                         });

}  // namespace
