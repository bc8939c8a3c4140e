#include "race/world/scroll_velocity.h"

#include <cmath>
#include <numbers>

#include "race/player/player.h"
#include "race/world/scroll_background.h"

void UpdateScrollVelocity() {
  if (Player == nullptr) {
    ScrollDX = 0;
    ScrollDY = 0;
    return;
  }
  const double a = Player->Heading * 2 * std::numbers::pi / 256;
  ScrollDX = -std::sin(a) * Player->Speed10;
  ScrollDY = std::cos(a) * Player->Speed10;
}
