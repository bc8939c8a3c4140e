// The engine's voice: one looping sound at a time, chosen each driving tick
// from the keys and the speed, and started only when it changes.
#include <string>

#include "race/player/player.h"
#include "shell/sound.h"

namespace {

const std::string Neutral = "Neutral";
const std::string Accel1 = "Accel1";
const std::string Accel2 = "Accel2";
const std::string Accel3 = "Accel3";
const std::string Accel4 = "Accel4";
const std::string Shift = "Shift";
const std::string Slowed = "Slowed";
const std::string Maxed = "Maxed";
const std::string Brake = "Brake";
const std::string NitroSound = "Nitro";

const std::string* const EngineSounds[] = {&Neutral, &Accel1, &Accel2, &Accel3, &Accel4,
                                           &Shift,   &Slowed, &Maxed,  &Brake,  &NitroSound};

// The car's other sounds, silenced with the engine by a window or the end
// of a level.
const std::string OtherSounds[] = {"MachineGun", "Rocket", "Horn", "Kill", "Score", "Bonus", "Explosion", "Collision"};
const std::string& GunSound = OtherSounds[0];
const std::string& HornSound = OtherSounds[2];

// The gears while accelerating: above Above and up to UpTo (inclusive) the
// band's sound runs; Sound null means no change. One flag covers all four
// "Accel" sounds, so a higher gear is heard only after a "Shift" band.
struct TGearBand {
  double Above, UpTo;
  const std::string* Sound;
};
const TGearBand GearBands[] = {
    {0, 65, &Accel1},    {65, 67, &Shift},   {67, 90, &Accel2},   {90, 95, nullptr},  {95, 97, &Shift},
    {97, 115, &Accel3},  {115, 116, &Shift}, {116, 130, &Accel4}, {130, 131, &Shift}, {131, 142, &Accel4},
    {142, 143, &Shift},  {143, 157, &Accel4}, {157, 180, &Maxed},
};

}  // namespace

void TPlayer::ClearSoundFlags() {
  SndMaxed = SndAccel = SndShift = SndSlowed = SndNeutral = SndBrake = SndNitro = false;
}

void TPlayer::SetEngineSound(const std::string& name) {
  StopPlayerSounds(false);
  PlaySound(name);
  ClearSoundFlags();
  // Any other name (the gun loop) leaves every engine flag clear, so the
  // next driving tick starts the fitting engine sound again.
  if (name == Maxed) {
    SndMaxed = true;
  } else if (name == Neutral) {
    SndNeutral = true;
  } else if (name == Accel1 || name == Accel2 || name == Accel3 || name == Accel4) {
    SndAccel = true;
  } else if (name == Shift) {
    SndShift = true;
  } else if (name == Slowed) {
    SndSlowed = true;
  } else if (name == Brake) {
    SndBrake = true;
  } else if (name == NitroSound) {
    SndNitro = true;
  }
}

void TPlayer::StopPlayerSounds(bool all) {
  for (const std::string* s : EngineSounds) StopSound(*s);
  if (all) {
    for (const std::string& s : OtherSounds) StopSound(s);
  }
}

void TPlayer::ResumePlayerSounds(bool all) {
  if (SndMaxed) {
    SetEngineSound(Maxed);
  } else if (SndNeutral) {
    SetEngineSound(Neutral);
  } else if (SndAccel) {
    // Whatever the gear was, the top one comes back.
    SetEngineSound(Accel4);
  } else if (SndShift) {
    SetEngineSound(Shift);
  } else if (SndSlowed) {
    SetEngineSound(Slowed);
  } else if (SndBrake) {
    SetEngineSound(Brake);
  } else if (SndNitro) {
    SetEngineSound(NitroSound);
  }
  if (all) {
    if (GunSoundOn) SetEngineSound(GunSound);
    if (HornOn) PlaySound(HornSound);
  }
}

void TPlayer::UpdateEngineSound() {
  const double s = Speed;
  if (KeyNitro && NitroOn) {
    if (!SndNitro) SetEngineSound(NitroSound);
    return;
  }
  StopSound(NitroSound);
  SndNitro = false;
  if (!OnRoad) {
    // Off the road only the idle sound runs.
    if (!SndNeutral) SetEngineSound(Neutral);
    return;
  }
  if (KeyUp && !KeyHandbrake) {
    for (const TGearBand& band : GearBands) {
      if (s > band.Above && s <= band.UpTo) {
        if (band.Sound == nullptr) break;
        const bool running = band.Sound == &Shift ? SndShift : band.Sound == &Maxed ? SndMaxed : SndAccel;
        if (!running) SetEngineSound(*band.Sound);
        break;
      }
    }
  }
  if (!KeyUp && !KeyHandbrake) {
    const std::string& idle = s > 40 ? Slowed : Neutral;
    const bool running = s > 40 ? SndSlowed : SndNeutral;
    if (!running) SetEngineSound(idle);
  }
  if (KeyHandbrake && !SndBrake && s != 0) SetEngineSound(Brake);
  if (SndBrake && s == 0) SetEngineSound(Neutral);
}
