// The game and the service together, each its own program: the script
// runner plays a whole game (steering, firing, nitro, a pause) at 60, 85 and
// 144 Hz, enters a name and sends the score over the real network; the
// service, given the game's data, replays the recording the game sent after
// the report and marks the score on its page. A score set by hand in the
// game (as a memory editor would) is reported but never marked.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <thread>

#include "race/replay/replay_scripts.h"
#include "score_store.h"
#include "score_verifier.h"
#include "service_process.h"
#include "table_page.h"

namespace {

namespace fs = std::filesystem;

// A game folder whose table any score gets into (see the end-to-end test).
void MakeGameFolder(const fs::path& root) {
  fs::create_directories(root / "Data/Save");
  for (const char* part : {"Res", "Music", "Fonts"})
    if (fs::exists(fs::path("Data") / part))
      fs::create_directory_symlink(fs::absolute(fs::path("Data") / part), root / "Data" / part);
  std::ofstream hs(root / "Data/Save/hs", std::ios::binary);
  for (int i = 0; i < 10; ++i) hs << "\r\n-2147483648\r\n";
  std::ofstream options(root / "Data/Save/options", std::ios::binary);
  options << "0\r\n0\r\n0\r\nUK\r\n\r\n";
}

// The count of replays with that outcome, once the service has settled one.
int AwaitOutcome(httplib::Client& client, const std::string& outcome) {
  for (int i = 0; i < 600; ++i) {
    auto metrics = client.Get("/metrics");
    const std::string text = metrics ? metrics->body : "";
    int settled = 0, wanted = 0;
    for (const char* o : VerificationOutcomes) {
      const std::string key = std::string("voltrace2_verifications_total{outcome=\"") + o + "\"} ";
      const size_t at = text.find(key);
      const int n = at == std::string::npos ? 0 : std::stoi(text.substr(at + key.size()));
      settled += n;
      if (outcome == o) wanted = n;
    }
    if (settled > 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      return wanted;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return -1;
}

class VerifiedGame : public ::testing::TestWithParam<int> {};

TEST_P(VerifiedGame, TheServiceReplaysWhatTheGameSent) {
  TScratch scratch;
  const fs::path root = scratch.Dir / "game";
  MakeGameFolder(root);
  TServiceProcess service((scratch.Dir / "scores.db").string(),
                          {"--rate", "0", "--game-data", fs::absolute("Data").string()},
                          (scratch.Dir / "service.log").string());
  const int hz = GetParam();
  // The game may be over before the driving ends: the keys left over are
  // typed into the name, which is cleared first.
  std::string clear;
  for (int i = 0; i < 12; ++i) clear += "key down Backspace\nkey up Backspace\n";
  const std::string script = ToRaceAt(hz, 77) + RestlessDriving(hz, 77, 40) + LeaveTheRace() + clear +
                             "type Ann\nwait 1\nkey down Enter\nkey up Enter\nwait " + std::to_string(2 * hz) +
                             "\ndump\n";
  std::ofstream(root / "play.script") << script;
  std::string output;
  ASSERT_EQ(RunCommand("cd '" + root.string() + "' && VOLTRACE2_SCORE_SERVER=" + service.Base + " '" VT_SCRIPT_RUNNER
                       "' --real-network play.script",
                       output),
            0)
      << output;
  ASSERT_NE(output.find("\"GameScreen\":4"), std::string::npos) << output.substr(0, 300);
  httplib::Client client("127.0.0.1", service.Port);
  EXPECT_EQ(AwaitOutcome(client, "verified"), 1) << ReadFile(scratch.Dir / "service.log");
  const auto stored = OpenScoreStore((scratch.Dir / "scores.db").string())->All().value();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].Name, "Ann");
  EXPECT_GT(stored[0].Score, 0);
  EXPECT_TRUE(stored[0].Verified);
  const std::string page = client.Get("/cgi/version.pl?prg=Voltrace2&show&type=0")->body;
  const std::string row = "<td class=\"name\">Ann</td><td class=\"score\">" + std::to_string(stored[0].Score) +
                          VerifiedMark + "</td>";
  EXPECT_NE(page.find(row), std::string::npos) << page;
}

INSTANTIATE_TEST_SUITE_P(Rates, VerifiedGame, ::testing::Values(60, 85, 144),
                         [](const auto& info) { return "At" + std::to_string(info.param) + "Hz"; });

}  // namespace
