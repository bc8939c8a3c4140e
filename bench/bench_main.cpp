// voltrace2-bench: the game's frame costs in processor time, each as a median
// and a 95th percentile, and a closing summary of lines that compare across
// machines: every figure against a memcpy of one whole frame and, for the
// drawing, against SDL2's own software renderer drawing the same list.
//
//   cd build && ./voltrace2-bench [Google Benchmark options]
//
// Run from the build folder, beside Data/. Writes race-like-ours.png and
// race-like-sdl.png there on the way.
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench_support.h"

namespace {

struct TFigure {
  double Median = 0, P95 = 0;  // processor time per iteration, microseconds
  std::map<std::string, std::pair<double, double>> Counters;  // median, p95
};

double Micro(const benchmark::BenchmarkReporter::Run& run, double t) {
  switch (run.time_unit) {
    case benchmark::kNanosecond: return t / 1e3;
    case benchmark::kMicrosecond: return t;
    case benchmark::kMillisecond: return t * 1e3;
    case benchmark::kSecond: return t * 1e6;
  }
  return t;
}

class TSummaryReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal, so a saved run reads cleanly.
  TSummaryReporter() : ConsoleReporter(isatty(1) ? OO_ColorTabular : OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Aggregate || run.error_occurred) continue;
      const bool median = run.aggregate_name == "median";
      if (!median && run.aggregate_name != "p95") continue;
      std::string name = run.run_name.function_name;
      if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
      TFigure& f = Figures[name];
      // Manual time is the child's processor time; otherwise the thread's.
      const double t = Micro(run, run.run_name.time_type == "manual_time" ? run.GetAdjustedRealTime()
                                                                          : run.GetAdjustedCPUTime());
      (median ? f.Median : f.P95) = t;
      for (const auto& [counter, value] : run.counters)
        (median ? f.Counters[counter].first : f.Counters[counter].second) = value.value;
    }
  }

  void Summary() const {
    auto find = [&](const std::string& name) -> const TFigure* {
      const auto it = Figures.find(name);
      return it == Figures.end() ? nullptr : &it->second;
    };
    double floor = 0, sdl = 0;
    std::printf("\nSummary (processor time; median, 95th percentile; x floor = times a memcpy of one 792x592x4 frame)\n");
    if (const TFigure* f = find("RaceLikeList")) {
      const auto& m = f->Counters.at("memcpy_us");
      const auto& o = f->Counters.at("ours_us");
      const auto& s = f->Counters.at("sdl_us");
      floor = m.first, sdl = s.first;
      std::printf("  memcpy floor, one frame:            %8.1f us  p95 %8.1f us\n", m.first, m.second);
      std::printf("  race-like list, SDL2 software:      %8.1f us  p95 %8.1f us  = %5.1f x floor\n", s.first, s.second,
                  s.first / floor);
      std::printf("  race-like list, our surface:        %8.1f us  p95 %8.1f us  = %5.1f x floor, %.3f of SDL\n",
                  o.first, o.second, o.first / floor, o.first / sdl);
    }
    auto line = [&](const char* label, const TFigure* f, double scale, const char* unit) {
      if (!f) return;
      std::printf("  %-34s %8.3f %s p95 %8.3f %s", label, f->Median / scale, unit, f->P95 / scale, unit);
      if (floor > 0) std::printf("  = %5.1f x floor", f->Median / floor);
      if (sdl > 0) std::printf(", %.2f x SDL's race-like list", f->Median / sdl);
      std::printf("\n");
    };
    line("main-menu tick:", find("MainMenuTick"), 1e3, "ms");
    line("race tick + frame, level 1:", find("RaceTick/1"), 1e3, "ms");
    line("race tick + frame, level 6:", find("RaceTick/6"), 1e3, "ms");
    line("race tick + frame, level 21:", find("RaceTick/21"), 1e3, "ms");
    line("the ghost drawn, driving straight:", find("GhostDraw/0"), 1e3, "ms");
    line("the ghost drawn, at a slant:", find("GhostDraw/20"), 1e3, "ms");
    line("start-up to first menu frame:", find("StartupToFirstMenuFrame"), 1e3, "ms");
    line("load Res1.dxg:", find("LoadArchive/0"), 1e3, "ms");
    line("load Res2.dxg:", find("LoadArchive/1"), 1e3, "ms");
    line("load Sounds.dxw:", find("LoadArchive/2"), 1e3, "ms");
    line("load Res1.dxg, every item read:", find("LoadArchiveWhole/0"), 1e3, "ms");
    line("load Res2.dxg, every item read:", find("LoadArchiveWhole/1"), 1e3, "ms");
    line("load Sounds.dxw, every item read:", find("LoadArchiveWhole/2"), 1e3, "ms");
    line("first race start and frame:", find("FirstRaceStart"), 1e3, "ms");
    if (const TFigure* f = find("PeakMemoryOfLongRace"))
      std::printf("  peak resident memory, 3000-tick race at level 21: %.1f MiB\n",
                  f->Counters.at("peak_MiB").first);
  }

 private:
  std::map<std::string, TFigure> Figures;
};

}  // namespace

int main(int argc, char** argv) {
  if (RunChildMode(argc, argv)) return 0;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TSummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.Summary();
  benchmark::Shutdown();
  return 0;
}
