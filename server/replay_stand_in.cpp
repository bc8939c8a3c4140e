// Until the game's replay lands: a byte layout and a "replay" whose score
// depends on the start, the car and every frame's keys, so that the
// service's side can be driven end to end.
#include "replay_stand_in.h"

#include <cstring>

namespace {

template <typename T>
void Put(std::vector<uint8_t>& out, T v) {
  const auto* p = reinterpret_cast<const uint8_t*>(&v);
  out.insert(out.end(), p, p + sizeof v);
}

template <typename T>
bool Take(const uint8_t*& at, const uint8_t* end, T& v) {
  if (static_cast<size_t>(end - at) < sizeof v) return false;
  std::memcpy(&v, at, sizeof v);
  at += sizeof v;
  return true;
}

}  // namespace

std::vector<uint8_t> EncodeRecording(const TRecording& r) {
  std::vector<uint8_t> out = {'V', 'T', 'S', 'I'};
  Put(out, r.RandomState);
  Put(out, r.SelectedCar);
  Put(out, r.RefreshRate);
  Put(out, r.FinalScore);
  Put(out, static_cast<uint32_t>(r.Ticks.size()));
  for (const TRecordedTick& t : r.Ticks) {
    Put(out, t.Kind);
    Put(out, t.Keys);
    Put(out, t.LagCount);
    Put(out, t.FrameMs);
    Put(out, t.SpeedFactor);
  }
  return out;
}

bool DecodeRecording(const uint8_t* data, size_t size, TRecording& out, std::string& error) {
  const uint8_t* at = data;
  const uint8_t* end = data + size;
  TRecording r;
  uint32_t ticks = 0;
  if (size < 4 || std::memcmp(data, "VTSI", 4) != 0) return error = "not a recording", false;
  at += 4;
  if (!Take(at, end, r.RandomState) || !Take(at, end, r.SelectedCar) || !Take(at, end, r.RefreshRate) ||
      !Take(at, end, r.FinalScore) || !Take(at, end, ticks) || ticks > (size_t(end - at)) / 18)
    return error = "truncated", false;
  r.Ticks.resize(ticks);
  for (TRecordedTick& t : r.Ticks)
    if (!Take(at, end, t.Kind) || !Take(at, end, t.Keys) || !Take(at, end, t.LagCount) || !Take(at, end, t.FrameMs) ||
        !Take(at, end, t.SpeedFactor))
      return error = "truncated", false;
  out = std::move(r);
  return true;
}

TReplayOutcome ReplayToEnd(const TRecording& r, uint32_t tickCap) {
  uint32_t h = 2166136261u ^ r.RandomState ^ static_cast<uint32_t>(r.SelectedCar);
  uint32_t played = 0;
  for (const TRecordedTick& t : r.Ticks) {
    if (played == tickCap) return {false, 0, 1, played, "the tick cap"};
    h = (h ^ t.Keys) * 16777619u;
    ++played;
  }
  return {!r.Ticks.empty(), static_cast<int32_t>(h % 100000), 1, played, ""};
}
