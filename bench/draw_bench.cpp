// The race-like list drawn by our surface and by SDL2's software renderer,
// frame after frame in the same loop, beside a memcpy of a whole frame: the
// floor no frame can go under. Each repetition is one frame of each, so the
// medians and 95th percentiles are over frames, and a busy machine slows
// all three alike.
#include <cstring>
#include <memory>

#include "bench_support.h"
#include "gfx/png_write.h"
#include "race_like_list.h"

namespace {

TRaceLikeList& List() {
  static const std::unique_ptr<TRaceLikeList> list = [] {
    auto l = std::make_unique<TRaceLikeList>();
    // Both pictures once, to look at beside each other.
    TSurface ours, sdl;
    ours.Resize(SurfaceWidth, SurfaceHeight);
    l->DrawOurs(ours);
    l->DrawSdl();
    l->CopySdlFrame(sdl);
    WritePng("race-like-ours.png", ours);
    WritePng("race-like-sdl.png", sdl);
    return l;
  }();
  return *list;
}

void RaceLikeList(benchmark::State& state) {
  TRaceLikeList& list = List();
  static TSurface frame, copy;
  frame.Resize(SurfaceWidth, SurfaceHeight);
  copy.Resize(SurfaceWidth, SurfaceHeight);
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    std::memcpy(copy.Pixels.data(), frame.Pixels.data(), frame.Pixels.size() * sizeof(uint32_t));
    benchmark::ClobberMemory();
    const double t1 = ThreadSeconds();
    list.DrawOurs(frame);
    benchmark::ClobberMemory();
    const double t2 = ThreadSeconds();
    list.DrawSdl();
    const double t3 = ThreadSeconds();
    state.counters["memcpy_us"] = 1e6 * (t1 - t0);
    state.counters["ours_us"] = 1e6 * (t2 - t1);
    state.counters["sdl_us"] = 1e6 * (t3 - t2);
  }
}
BENCHMARK(RaceLikeList)->Apply([](auto* b) { Standard(b, 300); });

}  // namespace
