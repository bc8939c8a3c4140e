#pragma once
// A recorded game: everything the race's tick depends on and nothing else,
// so that playing it back through the same tick gives the same race, tick
// for tick. Kept beside the saves (the last game, the best game per start
// level), watched from the top-ten table, drawn as the ghost, and sent to the
// online table, which replays it to trust the score.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The file's layout version. A file of any other version is refused, never
// read as this one.
constexpr uint16_t RecordingVersion = 1;

// The race's actions held on a tick, as bits (the order of the race's
// action bindings: left, right, accelerate, brake, handbrake, fire, nitro,
// horn).
enum TRecordedKey : uint8_t {
  rkLeft = 1,
  rkRight = 2,
  rkAccelerate = 4,
  rkBrake = 8,
  rkHandbrake = 16,
  rkFire = 32,
  rkNitro = 64,
  rkHorn = 128,
};

// What ran on a frame of the race screen.
enum TRecordedTickKind : uint8_t {
  rtRace = 0,    // the race's tick ran with these keys
  rtWindow = 1,  // a timed window over the race counted down (level message, time-up, game over)
  rtResume = 2,  // a pause or the leave question closed: the car's sounds came back
};

struct TRecordedTick {
  uint8_t Kind = rtRace;
  uint8_t Keys = 0;       // TRecordedKey bits
  int32_t LagCount = 0;   // the tick's MoveCount in milliseconds
  int32_t FrameMs = 0;    // the clock's step on this tick
  double SpeedFactor = 1; // the movement scale on this tick
};

// Where the car was in the town after a race tick: the ghost is drawn from
// these without a second simulation.
struct TGhostPoint {
  float TownX = 0, TownY = 0;  // the car's centre in town pixels
  int16_t Heading = 0;         // the car's Heading (1/256 turn)
  uint8_t Visible = 1;         // 0 while the car is wrecked or hidden
};

// A level as the recording met it: the ghost is shown only in a town built
// the same way.
struct TRecordedLevel {
  int32_t Level = 0;
  uint32_t FirstTick = 0;       // index into Ticks of the level's first frame
  uint32_t FirstPathPoint = 0;  // index into Path of the level's first race tick
  uint32_t TownFingerprint = 0; // TownFingerprint() of its town
};

struct TRecording {
  uint32_t RandomState = 0;  // the generator's state as the race started
  int32_t SelectedCar = 0;
  int32_t RefreshRate = 0;
  int32_t StartLevel = 1;
  // How it ended: the score and level reached, and the name entered (the
  // game's own 8-bit text; empty when none was asked for).
  int32_t FinalScore = 0;
  int32_t FinalLevel = 0;
  std::string Name;
  std::vector<TRecordedTick> Ticks;
  std::vector<TGhostPoint> Path;  // one per rtRace tick
  std::vector<TRecordedLevel> Levels;
};

// The most a file may hold; anything claiming more is refused. About four
// hours of driving at 144 Hz, far beyond any game played.
constexpr uint32_t MaxRecordedTicks = uint32_t{1} << 21;
constexpr uint32_t MaxRecordedLevels = 4096;
constexpr size_t MaxRecordedNameBytes = 32;
constexpr size_t MaxRecordingFileBytes = size_t{16} << 20;

// The file's bytes: a small header, then the run-length coded, compressed
// ticks and path.
std::vector<uint8_t> EncodeRecording(const TRecording& recording);
// Reads a file's bytes. Damaged, truncated, foreign or other-version bytes
// are refused: false, with one line saying why in error, and out unchanged
// in meaning. Never reads past size, never allocates more than a cap fixed
// by the format.
bool DecodeRecording(const uint8_t* data, size_t size, TRecording& out, std::string& error);

// A hash of the current town's map, the same for the same town.
uint32_t TownFingerprint();
// The player's car's centre in town pixels, for the path and the ghost.
void CarTownPosition(double& x, double& y);
