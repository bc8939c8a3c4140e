#include "race/replay/recorded_keys.h"

#include "race/replay/recording.h"
#include "shell/input.h"
#include "shell/key_bindings.h"

namespace {

// One action to one bit, for recording and playing back alike.
const struct {
  TRaceAction Action;
  TRecordedKey Key;
} Keys[] = {{raLeft, rkLeft},           {raRight, rkRight}, {raAccelerate, rkAccelerate}, {raBrake, rkBrake},
            {raHandbrake, rkHandbrake}, {raFire, rkFire},   {raNitro, rkNitro},           {raHorn, rkHorn}};

}  // namespace

uint8_t RecordedKeysHeld() {
  uint8_t bits = 0;
  for (const auto& k : Keys)
    if (ActionHeld[k.Action]) bits |= k.Key;
  return bits;
}

void HoldRecordedKeys(uint8_t keys) {
  for (const auto& k : Keys) ActionHeld[k.Action] = (keys & k.Key) != 0;
}
