// voltrace2-scores as its host runs it: --help and --version, option values
// refused, a backup while the service runs, a player removed from the
// running service's page, a damaged file refused at the start.
#include <gtest/gtest.h>
#include <httplib.h>

#include <fstream>
#include <thread>

#include "score_store.h"
#include "service_process.h"

namespace {

namespace fs = std::filesystem;

int Scores(const std::string& args, std::string& output) {
  return RunCommand("timeout 20 '" VT_SCORES_SERVICE "' " + args, output);
}

std::string ReportTarget(const std::string& nameCp1251, const std::string& score, const std::string& countryCp1251) {
  static const char Alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
  std::string record = "type=0|name=" + nameCp1251 + "|score=" + score + "|key=" VT_REPORT_KEY "|p=|add=" +
                       countryCp1251 + "|z=";
  while (record.size() % 5) record += '0';
  std::string bits, code;
  for (unsigned char c : record)
    for (int b = 7; b >= 0; --b) bits += (c >> b) & 1 ? '1' : '0';
  for (size_t i = 0; i < bits.size(); i += 5) code += Alphabet[std::stoi(bits.substr(i, 5), nullptr, 2)];
  return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + code;
}

TEST(ScoreCommand, HelpAndVersionAnswerAndEndWell) {
  std::string output;
  EXPECT_EQ(Scores("--help", output), 0);
  for (const char* word : {"backup FILE", "remove NAME COUNTRY", "--trusted-proxy", "--db", "postgresql://",
                           "--request-timeout", "--client-connections", "--max-connections", "--rate", "--game-data",
                           "--replay-seconds", "--replays", "--max-recording", "verified=1"})
    EXPECT_NE(output.find(word), std::string::npos) << word;
  EXPECT_EQ(Scores("--version", output), 0);
  EXPECT_EQ(output, "voltrace2-scores 2.0\n");
}

class BadCommand : public ::testing::TestWithParam<const char*> {};

TEST_P(BadCommand, IsRefusedBeforeAnythingStarts) {
  TScratch scratch;
  std::string output;
  const std::string db = (scratch.Dir / "scores.db").string();
  EXPECT_EQ(Scores(std::string(GetParam()) + " --db '" + db + "' --listen 127.0.0.1:0", output), 2) << output;
  EXPECT_NE(output.find("--help"), std::string::npos) << output;
  EXPECT_FALSE(fs::exists(db)) << "no store was opened";
}

INSTANTIATE_TEST_SUITE_P(Cases, BadCommand,
                         ::testing::Values("--rate -1", "--rate ten", "--rate 5x", "--rate ''", "--listen 127.0.0.1",
                                           "--listen 127.0.0.1:70000", "--listen :80", "--trusted-proxy proxy.example",
                                           "--request-timeout 0", "--max-connections 1e3", "--client-connections 0",
                                           "--backlog 99999999999", "--bogus 1", "frobnicate", "backup",
                                           "remove Ann", "remove Ann UK extra", "--rate",
                                           "--game-data /nonexistent", "--replay-seconds 0", "--replays 0",
                                           "--max-recording 10"));

// The replays run the game's race code inside the service, but neither SDL
// nor a font engine comes with it: a server needs no desktop libraries.
TEST(ScoreCommand, TheServiceNeedsNoDesktopLibraries) {
  std::string output;
  ASSERT_EQ(RunCommand("readelf -d '" VT_SCORES_SERVICE "'", output), 0) << output;
  ASSERT_NE(output.find("(NEEDED)"), std::string::npos) << output;
  for (const char* library : {"libSDL2", "libSDL2_ttf", "libfontconfig", "libfreetype", "libcurl"})
    EXPECT_EQ(output.find(library), std::string::npos) << library << "\n" << output;
}

TEST(ScoreCommand, ABackupIsTakenWhileReportsArrive) {
  TScratch scratch;
  const std::string db = (scratch.Dir / "scores.db").string();
  TServiceProcess service(db, {"--rate", "0", "--no-access-log"});
  httplib::Client client("127.0.0.1", service.Port);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(client.Get(ReportTarget("Ann", std::to_string(i), "UK"))->status, 200);
  std::atomic<bool> done{false};
  std::thread reporter([&] {
    httplib::Client more("127.0.0.1", service.Port);
    for (int i = 100; i < 5000 && !done; ++i) more.Get(ReportTarget("Bob", std::to_string(i), "UK"));
  });
  std::string output;
  const std::string copy = (scratch.Dir / "copy.db").string();
  EXPECT_EQ(Scores("backup '" + copy + "' --db '" + db + "'", output), 0) << output;
  done = true;
  reporter.join();
  {
    const auto store = OpenScoreStore(copy);  // checked as it opens
    const auto all = store->All().value();
    EXPECT_GE(all.size(), 3u);
    EXPECT_EQ(store->Counts()->Reports, static_cast<int64_t>(all.size())) << "one commit's table, whole";
  }
  const std::string before = ReadFile(copy);
  EXPECT_EQ(Scores("backup '" + copy + "' --db '" + db + "'", output), 1);
  EXPECT_NE(output.find("exists already"), std::string::npos) << output;
  EXPECT_EQ(ReadFile(copy), before) << "an existing file is never overwritten";
  EXPECT_EQ(Scores("backup '" + copy + "2' --db postgresql://nobody@127.0.0.1:1/x", output), 2);
  EXPECT_NE(output.find("pg_dump"), std::string::npos) << output;
}

TEST(ScoreCommand, ARemovedPlayerLeavesTheRunningServicesPage) {
  TScratch scratch;
  const std::string db = (scratch.Dir / "scores.db").string();
  TServiceProcess service(db);
  httplib::Client client("127.0.0.1", service.Port);
  // "Вася" from "Россия" twice, "Вася" from "UK", and "Ann".
  const std::string vasya = "\xC2\xE0\xF1\xFF", russia = "\xD0\xEE\xF1\xF1\xE8\xFF";
  ASSERT_EQ(client.Get(ReportTarget(vasya, "900", russia))->status, 200);
  ASSERT_EQ(client.Get(ReportTarget(vasya, "950", russia))->status, 200);
  ASSERT_EQ(client.Get(ReportTarget(vasya, "10", "UK"))->status, 200);
  ASSERT_EQ(client.Get(ReportTarget("Ann", "500", "UK"))->status, 200);
  const std::string page = "/cgi/version.pl?prg=Voltrace2&show&type=0";
  ASSERT_NE(client.Get(page)->body.find("Россия"), std::string::npos);
  std::string output;
  EXPECT_EQ(Scores("remove 'Вася' 'Россия' --db '" + db + "'", output), 0) << output;
  EXPECT_NE(output.find("2 reports"), std::string::npos) << output;
  std::string shown;
  for (int i = 0; i < 100; ++i) {
    shown = client.Get(page)->body;
    if (shown.find("Россия") == std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(shown.find("Россия"), std::string::npos);
  EXPECT_NE(shown.find("<td class=\"name\">Ann</td>"), std::string::npos);
  EXPECT_NE(shown.find("<td class=\"name\">Вася</td><td class=\"score\">10</td>"), std::string::npos)
      << "the same name from another country stays";
  EXPECT_EQ(Scores("remove 'Ωmega' UK --db '" + db + "'", output), 2) << "a name the game cannot send";
}

TEST(ScoreCommand, ADamagedStoreStopsTheServiceAtTheStart) {
  TScratch scratch;
  const std::string db = (scratch.Dir / "scores.db").string();
  {
    const auto store = OpenScoreStore(db);
    std::vector<TStoredScore> rows;
    for (int i = 0; i < 3000; ++i) rows.push_back({"player" + std::to_string(i), i, "UK", i});
    TCommitResult result;
    ASSERT_TRUE(store->Commit(rows, result));
  }
  {
    std::fstream file(db, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(6 * 4096);
    const std::string garbage(4 * 4096, '\xAB');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  std::string output;
  EXPECT_EQ(Scores("--listen 127.0.0.1:0 --db '" + db + "'", output), 1) << output;
  EXPECT_NE(output.find(db), std::string::npos) << output;
  EXPECT_EQ(output.find("http://"), std::string::npos) << "never served";
}

}  // namespace
