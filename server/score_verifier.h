#pragma once
// Replaying the recordings sent with reports, so that the table can mark the
// scores a real game reached. Each replay runs in a child process of its
// own (this same program, re-executed with a command the help does not
// list), off the request threads: the child takes the recording on its
// standard input, plays it through the game's own race code and writes one
// line of outcome. The child's processor time and memory are capped by the
// system, its wall time by the parent, which kills it when the time has
// passed: a hostile recording can cost a replay's budget and nothing more.
#include <sys/types.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "score_store.h"
#include "service_metrics.h"

struct TVerifyOptions {
  std::string GameData;          // the game's Data folder; empty: nothing is replayed
  std::string Program = "/proc/self/exe";  // the program that knows the hidden command
  int CpuSeconds = 20;           // processor time of one replay
  int WallSeconds = 40;          // wall time of one replay, however busy the machine
  size_t MemoryBytes = 512u << 20;  // address space of one replay
  uint32_t TickCap = 0;          // the most frames one replay plays
  int Workers = 1;               // replays at once
};

// The most frames one replay plays: an hour at 240 frames a second, where
// the games played last minutes.
constexpr uint32_t ReplayTickCap = 240u * 3600u;
// The largest recording taken: a game's recording takes some 8 KB a minute,
// so this holds hours of play.
constexpr size_t RecordingMaxBytes = 4u << 20;

// What a replay came to.
struct TVerdict {
  std::string Outcome;  // one of VerificationOutcomes
  std::string Detail;   // for the log
  double CpuSeconds = 0;
  bool Verified() const { return Outcome == "verified"; }
};

// verified: the game ended with the reported score. mismatch: the
// recording names another score than the report (or its replay ends with
// another). diverged: the replay and
// the recording part ways (keys, seed or car altered, the recorded path
// left, the race ending elsewhere than the recording says, or the tick cap
// passed). unreadable: not a recording, damaged, or of another version.
// implausible: frames the game cannot produce (a speed or a clock step no
// display gives). overtime: the time budget was spent. failed: the replay
// could not run (crashed, out of memory, no game data).
extern const char* const VerificationOutcomes[7];

// Runs one replay of bytes, claimed to reach score, in a child process;
// the child is killed at once when abandon turns true.
TVerdict ReplayInChild(const std::string& bytes, int32_t score, const TVerifyOptions& options,
                       const std::atomic<bool>* abandon = nullptr);

// The child's side: reads the recording from standard input, replays it and
// writes its one line ("finished SCORE LEVEL TICKS", "diverged ...",
// "mismatch ...", "unreadable WHY", "implausible WHY"). The program's main
// runs it for the hidden command.
int VerifyRecordingCommand(const std::string& gameData, uint32_t tickCap, int32_t score);

// The replays: a thread that takes the recordings waiting in the store,
// oldest first, a few at a time (as many as replay at once), replays them
// and stores each outcome, through a store handle of its own. The
// recordings wait in the store, not in memory: what a stopped service left,
// what arrived faster than the replays, and what another service on the same
// store took, are all replayed in turn. The page follows within the
// keeper's next look at the store.
class TScoreVerifier {
 public:
  TScoreVerifier(TVerifyOptions options, std::unique_ptr<TScoreStore> store, TServiceMetrics& metrics);
  ~TScoreVerifier();
  // A recording was kept: look for it now rather than at the next look.
  void Poke();
  // Ends the replays under way (their children are killed: their
  // recordings stay waiting) and the thread.
  void Stop();

 private:
  void Loop();
  TVerifyOptions Options;
  std::unique_ptr<TScoreStore> Store;
  TServiceMetrics& Metrics;
  std::mutex Lock;
  std::condition_variable Wake;
  bool Poked = true;
  bool Stopping = false;
  std::atomic<bool> Abandon{false};
  std::thread Thread;
};
