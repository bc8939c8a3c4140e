// Scores the table can trust: a recording sent after its report is replayed
// by the service in a child process, and the report is marked only when the
// replay ends with its score. The recordings here are tampered with in the
// ways a cheat would; the children are made hostile to show that a replay
// costs its budget and nothing more; the marks are read from the pages of
// both stores.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <map>
#include <thread>

#include "postgres_server.h"
#include "race/replay/replay_scripts.h"
#include "replay_check.h"
#include "race/replay/replay_run.h"
#include "score_service.h"
#include "screens/score_report.h"
#include "service_log.h"
#include "service_process.h"
#include "table_page.h"

namespace {

namespace fs = std::filesystem;

std::string ReportCode(const std::string& name, int32_t score, const std::string& country) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" VT_REPORT_KEY "|p=|add=" +
                       country + "|z=";
  while (record.size() % 5 != 0) record += '0';
  return EncodeBase32(EncodeBits(record));
}

std::string ReportTarget(const std::string& name, int32_t score) {
  return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + ReportCode(name, score, "UK");
}
std::string RecordingTarget(const std::string& name, int32_t score) {
  return "/cgi/version.pl?rec&prg=Voltrace2&inf=" + ReportCode(name, score, "UK");
}
const char AllPage[] = "/cgi/version.pl?prg=Voltrace2&show&type=0";
const char VerifiedPage[] = "/cgi/version.pl?prg=Voltrace2&show&type=0&verified=1";

// A game as the game records it: the script runner drives restlessly
// (steering, firing, nitro, a pause, a leave question answered No) for a
// minute at hz and leaves the race; the recording is the runner's. Made
// once per rate for the whole test program.
const TRecording& GenuineRecording(int hz = 85) {
  static std::map<int, TRecording> made;
  if (made.count(hz)) return made[hz];
  // A folder of its own: the test's scratch folder is the test's.
  const fs::path dir =
      fs::temp_directory_path() / ("voltrace2-" + std::to_string(getpid()) + "-recorded-" + std::to_string(hz));
  fs::remove_all(dir);
  fs::create_directories(dir / "Data/Save");
  for (const char* part : {"Res", "Music", "Fonts"})
    if (fs::exists(fs::path("Data") / part))
      fs::create_directory_symlink(fs::absolute(fs::path("Data") / part), dir / "Data" / part);
  const fs::path file = dir / "game.vrec";
  std::ofstream(dir / "play.script") << ToRaceAt(hz, 31) + RestlessDriving(hz, 31, 60) + LeaveTheRace() +
                                            "replay save " + file.string() + "\n";
  std::string output;
  EXPECT_EQ(RunCommand("cd '" + dir.string() + "' && '" VT_SCRIPT_RUNNER "' play.script", output), 0) << output;
  const std::string bytes = ReadFile(file);
  fs::remove_all(dir);
  TRecording& r = made[hz];
  std::string why;
  EXPECT_TRUE(DecodeRecording(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), r, why)) << why;
  EXPECT_GT(r.FinalScore, 0) << "a game that scored";
  return r;
}

std::string Bytes(const TRecording& r) {
  const std::vector<uint8_t> b = EncodeRecording(r);
  return std::string(b.begin(), b.end());
}

// A service on a free loopback port whose replays run in the real
// program's children, on the store of the kind given.
class ReplayingService : public ::testing::Test {
 protected:
  void Open(const std::string& kind) {
    // A refusal before the whole body is sent closes the connection under
    // the client's writing.
    std::signal(SIGPIPE, SIG_IGN);
    Where = kind == "sqlite" ? (Scratch.Dir / "scores.db").string() : FreshPostgresDatabase();
    ASSERT_FALSE(Where.empty());
    LogFile = std::tmpfile();
    SetLogSink(LogFile);
  }
  void TearDown() override {
    Stop();
    SetLogSink(nullptr);
    if (LogFile) std::fclose(LogFile);
  }
  void Start(bool gameData = true) {
    TServiceOptions options;
    options.Port = 0;
    options.Store = Where;
    options.RatePerMinute = 0;
    options.Key = VT_REPORT_KEY[0];
    options.Verify.Program = VT_SCORES_SERVICE;
    if (gameData) options.Verify.GameData = VT_GAME_DATA;
    Service = std::make_unique<TScoreService>(options);
    Port = Service->Bind();
    ASSERT_GT(Port, 0);
    Server = std::thread([this] { Service->Run(); });
    while (!Service->Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Client = std::make_unique<httplib::Client>("127.0.0.1", Port);
  }
  void Stop() {
    if (!Service) return;
    Service->Stop();
    Server.join();
    Client.reset();
    Service.reset();
  }
  int Send(const std::string& target, const std::string& body) {
    auto res = Client->Post(target, body, "application/octet-stream");
    return res ? res->status : 0;
  }
  int Report(const std::string& name, int32_t score) {
    auto res = Client->Get(ReportTarget(name, score));
    return res ? res->status : 0;
  }
  std::string Get(const std::string& target) {
    auto res = Client->Get(target);
    return res && res->status == 200 ? res->body : "";
  }
  // The count of replays with that outcome, as /metrics tells it.
  int Outcomes(const std::string& outcome) {
    const std::string text = Get("/metrics");
    const std::string key = "voltrace2_verifications_total{outcome=\"" + outcome + "\"} ";
    const size_t at = text.find(key);
    return at == std::string::npos ? -1 : std::stoi(text.substr(at + key.size()));
  }
  // Waits until the replays have settled that many recordings.
  void AwaitReplays(int count) {
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < giveUp) {
      int settled = 0;
      for (const char* o : VerificationOutcomes) settled += Outcomes(o);
      if (settled >= count) {
        // The outcome is stored; the page follows at the keeper's next look
        // at the store (every quarter of a second).
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ADD_FAILURE() << "no replay settled in time";
  }
  std::vector<TStoredScore> Stored() { return OpenScoreStore(Where)->All().value(); }
  std::string Logged() { return WrittenSoFar(LogFile); }

  TScratch Scratch;
  std::string Where;
  FILE* LogFile = nullptr;
  std::unique_ptr<TScoreService> Service;
  std::thread Server;
  std::unique_ptr<httplib::Client> Client;
  int Port = 0;
};

class VerifiedScores : public ReplayingService, public ::testing::WithParamInterface<std::string> {
 protected:
  void SetUp() override { Open(GetParam()); }
};

TEST_P(VerifiedScores, GenuineRecordingsMarkTheirScoresOnBothPages) {
  Start();
  // A game at each of three rates, each its player's; and Bob, above them
  // all, whose score is never verified.
  int32_t best = 0;
  for (int hz : {60, 85, 144}) {
    const TRecording& genuine = GenuineRecording(hz);
    const std::string name = "Ann" + std::to_string(hz);
    ASSERT_EQ(Report(name, genuine.FinalScore), 200);
    ASSERT_EQ(Send(RecordingTarget(name, genuine.FinalScore), Bytes(genuine)), 202);
    best = std::max(best, genuine.FinalScore);
  }
  ASSERT_EQ(Report("Bob", best + 1), 200);
  AwaitReplays(3);
  EXPECT_EQ(Outcomes("verified"), 3) << Logged();
  const std::string all = Get(AllPage), verified = Get(VerifiedPage);
  for (int hz : {60, 85, 144}) {
    const std::string row = "<td class=\"name\">Ann" + std::to_string(hz) + "</td><td class=\"score\">" +
                            std::to_string(GenuineRecording(hz).FinalScore) + VerifiedMark + "</td>";
    EXPECT_NE(all.find(row), std::string::npos) << row << "\n" << all;
    EXPECT_NE(verified.find(row), std::string::npos) << row;
  }
  EXPECT_NE(all.find("<td class=\"place\">1</td><td class=\"name\">Bob</td><td class=\"score\">" +
                     std::to_string(best + 1) + "</td>"),
            std::string::npos);
  EXPECT_EQ(verified.find("Bob"), std::string::npos) << "the verified page lists verified scores only";
  // Once verified, another recording for the report changes nothing.
  EXPECT_EQ(Send(RecordingTarget("Ann85", GenuineRecording(85).FinalScore), "junk"), 200);
}

// A cheat's recording and what the replay makes of it.
struct TTampering {
  const char* Case;
  int32_t ReportedOver;                    // the report claims this much more than the recording
  void (*Alter)(TRecording&);              // what is changed in the recording
  const char* Outcome;
};

void PrintTo(const TTampering& t, std::ostream* os) { *os << t.Case; }

// The first frame of the race from the 200th on where the car is driven.
size_t DrivenFrame(const TRecording& r) {
  for (size_t i = 200; i < r.Ticks.size(); ++i)
    if (r.Ticks[i].Kind == rtRace && (r.Ticks[i].Keys & rkAccelerate)) return i;
  return 0;
}

const TTampering Tamperings[] = {
    // The report and the recording both claim a better score: the race
    // replayed ends with the true one.
    {"ScoreRaisedInBoth", 1000, [](TRecording& r) { r.FinalScore += 1000; }, "diverged"},
    // The report claims more than the genuine recording names.
    {"ReportRaised", 1000, [](TRecording&) {}, "mismatch"},
    {"OneFramesKeys", 0, [](TRecording& r) { r.Ticks[DrivenFrame(r)].Keys ^= rkLeft; }, "diverged"},
    {"Seed", 0, [](TRecording& r) { r.RandomState ^= 1; }, "diverged"},
    {"Car", 0, [](TRecording& r) { r.SelectedCar = r.SelectedCar % 6 + 1; }, "diverged"},
    // The race slowed to a crawl: frames claiming a 1000 Hz step.
    {"SlowMotion", 0, [](TRecording& r) { r.Ticks[DrivenFrame(r)].SpeedFactor = 85.0 / 1000; }, "implausible"},
    // The clock stopped.
    {"ClockStopped", 0, [](TRecording& r) { r.Ticks[DrivenFrame(r)].FrameMs = 0; }, "implausible"},
};

class Tampered : public ReplayingService, public ::testing::WithParamInterface<TTampering> {
 protected:
  void SetUp() override { Open("sqlite"); }
};

// Tampered recordings are kept unmarked: the report stays in the table as
// any unverified one, and the replay's outcome is counted.
TEST_P(Tampered, IsNeverMarked) {
  Start();
  TRecording recording = GenuineRecording();
  const int32_t reported = recording.FinalScore + GetParam().ReportedOver;
  ASSERT_GT(DrivenFrame(recording), 0u);
  GetParam().Alter(recording);
  ASSERT_EQ(Report("Ann", reported), 200);
  ASSERT_EQ(Send(RecordingTarget("Ann", reported), Bytes(recording)), 202);
  AwaitReplays(1);
  EXPECT_EQ(Outcomes(GetParam().Outcome), 1) << Logged();
  EXPECT_EQ(Outcomes("verified"), 0);
  EXPECT_FALSE(Stored()[0].Verified);
  EXPECT_EQ(Get(AllPage).find(VerifiedMark), std::string::npos);
  EXPECT_EQ(Get(VerifiedPage).find("Ann"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cheats, Tampered, ::testing::ValuesIn(Tamperings),
                         [](const auto& info) { return std::string(info.param.Case); });

TEST_P(VerifiedScores, GarbageAndOversizeAreRefusedWithoutHarm) {
  Start();
  ASSERT_EQ(Report("Ann", 500), 200);
  // Announced too large: refused before a byte of it is read.
  {
    httplib::Client raw("127.0.0.1", Port);
    auto res = raw.Post(RecordingTarget("Ann", 500), {{"Content-Length", std::to_string(RecordingMaxBytes + 1)}}, "",
                        "application/octet-stream");
    // httplib sends what it was given (nothing) under the header given.
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
  }
  // Sent in chunks with no length: read up to the cap, dropped after it.
  {
    size_t sent = 0;
    auto res = Client->Post(
        RecordingTarget("Ann", 500),
        [&](size_t, httplib::DataSink& sink) {
          const std::string chunk(65536, 'x');
          sink.write(chunk.data(), chunk.size());
          sent += chunk.size();
          if (sent > RecordingMaxBytes) sink.done();
          return true;
        },
        "application/octet-stream");
    ASSERT_TRUE(res);
    EXPECT_EQ(res->status, 413);
  }
  EXPECT_EQ(Send(RecordingTarget("Ann", 501), "a recording"), 404) << "no such report";
  EXPECT_EQ(Send(RecordingTarget("Ann", 500), ""), 400);
  std::string garbage(100000, '\0');
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 2654435761u >> 24);
  EXPECT_EQ(Send(RecordingTarget("Ann", 500), garbage), 202);
  AwaitReplays(1);
  EXPECT_EQ(Outcomes("unreadable"), 1);
  EXPECT_FALSE(Stored()[0].Verified);
  EXPECT_EQ(Get(AllPage).find(VerifiedMark), std::string::npos);
  EXPECT_EQ(Get("/health"), "ok\n");
  // A genuine recording sent after the garbage still counts.
  const TRecording genuine = GenuineRecording();
  ASSERT_EQ(Report("Ann", genuine.FinalScore), 200);
  ASSERT_EQ(Send(RecordingTarget("Ann", genuine.FinalScore), Bytes(genuine)), 202);
  AwaitReplays(2);
  EXPECT_EQ(Outcomes("verified"), 1);
}

// Without the game's data a recording is kept; a later service that has it
// replays what was left waiting.
TEST_P(VerifiedScores, RecordingsKeptWithoutGameDataAreReplayedAtTheNextStart) {
  Start(false);
  const TRecording genuine = GenuineRecording();
  ASSERT_EQ(Report("Ann", genuine.FinalScore), 200);
  ASSERT_EQ(Send(RecordingTarget("Ann", genuine.FinalScore), Bytes(genuine)), 202);
  EXPECT_EQ(Get(AllPage).find(VerifiedMark), std::string::npos);
  Stop();
  Start();
  AwaitReplays(1);
  EXPECT_EQ(Outcomes("verified"), 1);
  EXPECT_TRUE(Stored()[0].Verified);
}

// A child that misbehaves as a hostile recording could make the replay
// misbehave: it costs the replay's budget, and the service says why.
struct THostileChild {
  const char* Case;
  const char* Script;  // the child's body, in sh
  int32_t Score;       // the score the report claims
  const char* Outcome;
};

void PrintTo(const THostileChild& c, std::ostream* os) { *os << c.Case; }

class HostileChild : public ::testing::TestWithParam<THostileChild> {};

TEST_P(HostileChild, CostsOnlyItsBudget) {
  TScratch scratch;
  const fs::path program = scratch.Dir / "replay";
  std::ofstream(program) << "#!/bin/sh\n" << GetParam().Script << "\n";
  chmod(program.c_str(), 0755);
  TVerifyOptions options;
  options.Program = program.string();
  options.GameData = VT_GAME_DATA;
  options.CpuSeconds = 1;
  options.WallSeconds = 3;
  const auto start = std::chrono::steady_clock::now();
  const TVerdict verdict = ReplayInChild("recording", GetParam().Score, options);
  EXPECT_EQ(verdict.Outcome, GetParam().Outcome) << verdict.Detail;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(6));
}

const THostileChild HostileChildren[] = {
    {"Answers", "cat >/dev/null; echo finished 5 2 700", 5, "verified"},
    {"AnswersAnotherScore", "echo finished 5 2 700", 6, "mismatch"},
    {"SpinsForever", "while :; do :; done", 5, "overtime"},
    {"SleepsForever", "exec sleep 60", 5, "overtime"},
    {"Crashes", "kill -SEGV $$", 5, "failed"},
    {"SaysNothing", "exit 0", 5, "failed"},
    {"FloodsItsOutput", "yes finished 5 2 700", 5, "overtime"},
};

INSTANTIATE_TEST_SUITE_P(Replays, HostileChild, ::testing::ValuesIn(HostileChildren),
                         [](const auto& info) { return std::string(info.param.Case); });

// The frames a game produces pass; a frame no display gives is refused.
TEST(PlausibleRecording, TakesTheGamesOwnFramesOnly) {
  struct TCase {
    int Refresh;
    double SpeedFactor;
    int FrameMs;
    bool Plausible;
  };
  const TCase cases[] = {
      {85, 1.0, 11, true},
      {60, 85.0 / 60, 16, true},
      {144, 85.0 / 144, 6, true},  // 6.49 ms a tick: 6, and 7 when the carry passes a whole one
      {144, 85.0 / 144, 7, true},
      {144, 85.0 / 40, 25, true},  // a slow machine: 40 frames a second on a 144 Hz display
      {144, 85.0 / 144, 0, false},
      {144, 85.0 / 144, 8, false},
      {85, 1.0, 0, false},
      {85, 1.0, 12, false},
      {60, 85.0 / 85, 11, false},  // a 60 Hz display never runs 85 frames a second
      {85, 0.5000001, 5, false},   // no rate gives it
      {85, 0.0, 0, false},
  };
  for (const TCase& c : cases) {
    TRecording r;
    r.RefreshRate = c.Refresh;
    r.Ticks.resize(3);
    r.Ticks[1].SpeedFactor = c.SpeedFactor;
    r.Ticks[1].FrameMs = c.FrameMs;
    r.Ticks[0].SpeedFactor = r.Ticks[2].SpeedFactor = 85.0 / c.Refresh;
    r.Ticks[0].FrameMs = r.Ticks[2].FrameMs = c.Refresh == 144 ? 6 : 1000 / c.Refresh;
    std::string why;
    EXPECT_EQ(PlausibleRecording(r, why), c.Plausible) << c.Refresh << " Hz, " << c.SpeedFactor << ", " << c.FrameMs
                                                       << " ms: " << why;
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, VerifiedScores, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

}  // namespace
