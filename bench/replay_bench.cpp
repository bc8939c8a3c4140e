// Playing a recorded game through to its end, as the score service does to
// trust a score: one whole game a repetition (a game-over game of 85 Hz
// from the seed corpus), as recorded frames per second of processor time
// and seconds of processor time per minute of play.
#include <fstream>
#include <iterator>

#include "bench_support.h"
#include "race/replay/replay_run.h"
#include "screens/main_menu.h"
#include "sprites/sprite.h"

namespace {

const TRecording& Game() {
  static const TRecording game = [] {
    std::ifstream in(VT_SOURCE_DIR "/fuzz/corpus/recording_reader/game_over_85hz.vrec", std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    TRecording r;
    std::string error;
    if (!DecodeRecording(bytes.data(), bytes.size(), r, error)) throw std::runtime_error(error);
    return r;
  }();
  return game;
}

void ReplayGame(benchmark::State& state) {
  const TRecording& game = Game();
  double playedMs = 0;
  for (const TRecordedTick& t : game.Ticks) playedMs += t.FrameMs;
  for (auto _ : state) {
    state.PauseTiming();
    EnsureMainMenu();
    CloseMainMenu();
    MDXSpriteEngine.Dead();
    state.ResumeTiming();
    const double t0 = ThreadSeconds();
    const TReplayOutcome o = ReplayToEnd(game, MaxRecordedTicks);
    const double seconds = ThreadSeconds() - t0;
    if (!o.Finished) state.SkipWithError(o.Error.c_str());
    state.counters["frames_per_cpu_s"] = o.Ticks / seconds;
    state.counters["cpu_s_per_min_played"] = seconds / (playedMs / 60000.0);
  }
}
BENCHMARK(ReplayGame)->Apply([](auto* b) { Standard(b, 15); });

}  // namespace
