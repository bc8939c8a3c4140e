#pragma once
// Where every sound sits in the mix. The game's mixer plays each effect at
// full volume and adds it to the music sample by sample, so these peaks are
// the levels the player hears. The loudest moment a race can have is the
// engine (or what takes its place: shift, handbrake, nitro), the horn, the
// machine gun and an explosion over the race tune; their peaks add up to
// less than full scale, so no timing of them can clip. The engine is a bed
// under the tune; the horn, the gun and the blasts stand out over it.
// Peaks in dBFS.

namespace mix {

// The tunes' loudest moments, set by the level their instruments are
// written at (the note volumes shape the tune inside that).
constexpr double kTuneSamplePeak = 0.485;  // of full scale: the tunes peak near -9 dBFS

constexpr double kEngineDb = -21.0;      // idle, gears, coasting, top speed, the shift blip
constexpr double kEngineSlotDb = -18.0;  // handbrake skid and nitro, which replace the engine
constexpr double kHornDb = -18.0;
constexpr double kGunDb = -16.0;
constexpr double kBlastDb = -14.0;       // explosion, rocket launch, crash
constexpr double kCryDb = -14.0;         // a pedestrian hit
constexpr double kPickupDb = -16.0;      // points, bonus, the weapon unfolding
constexpr double kClockTickDb = -14.0;   // the last seconds: short clicks, heard over everything
constexpr double kMenuDb = -12.0;        // the menus' click and opening sting, over the menu tune

}  // namespace mix
