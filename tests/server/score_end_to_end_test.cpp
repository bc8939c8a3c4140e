// The game and the score service together, each as its own program, with
// the table in an SQLite file and in a PostgreSQL database: the script
// runner plays to a new top-ten entry and reports it over the real network;
// the service keeps exactly the bytes typed; the page lists them; an
// answered report survives the service being killed; two services on one
// PostgreSQL database store a shared load once and show one page.
#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <atomic>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>

#include "postgres_server.h"
#include "score_store.h"
#include "screens/score_report.h"
#include "service_process.h"

namespace {

namespace fs = std::filesystem;

// A game folder whose table holds ten empty entries at the lowest score a
// table can hold, so that any other score gets in (the checksum of a table
// of empty names is empty); the country is the options file's fourth line.
void MakeGameFolder(const fs::path& root, const std::string& countryCp1251) {
  fs::create_directories(root / "Data/Save");
  for (const char* part : {"Res", "Music", "Fonts"})
    if (fs::exists(fs::path("Data") / part)) fs::create_directory_symlink(fs::absolute(fs::path("Data") / part), root / "Data" / part);
  std::ofstream hs(root / "Data/Save/hs", std::ios::binary);
  for (int i = 0; i < 10; ++i) hs << "\r\n-2147483648\r\n";
  std::ofstream options(root / "Data/Save/options", std::ios::binary);
  options << "0\r\n0\r\n0\r\n" << countryCp1251 << "\r\n\r\n";
}

struct TPlayed {
  int ExitCode;
  std::string Output;
};

// Into a race, the given score, leave it, type the name, send.
TPlayed Play(const fs::path& root, const std::string& base, const std::string& score, const std::string& nameUtf8) {
  const std::string script = "seed 5\nwait 50\nmouse 400 60\nwait 1\nclick\nwait 2\nkey down Enter\nkey up Enter\n"
                             "wait 200\nscore " + score +
                             "\nkey down Esc\nwait 1\nkey up Esc\nwait 1\nkey down Y\nwait 1\nkey up Y\nwait 2\n"
                             "type " + nameUtf8 + "\nwait 1\nkey down Enter\nkey up Enter\nwait 120\ndump\n";
  std::ofstream(root / "play.script") << script;
  TPlayed played;
  played.ExitCode = RunCommand("cd '" + root.string() + "' && VOLTRACE2_SCORE_SERVER=" + base + " '" VT_SCRIPT_RUNNER
                               "' --real-network play.script",
                               played.Output);
  return played;
}

// What the game sends for one entry, built with the game's own encoder.
std::string ReportTarget(const std::string& name, int score) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" VT_REPORT_KEY "|p=|add=UK|z=";
  while (record.size() % 5 != 0) record += '0';
  return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + EncodeBase32(EncodeBits(record));
}

class ScoreEndToEnd : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    Store = GetParam() == "sqlite" ? (Scratch.Dir / "scores.db").string() : FreshPostgresDatabase();
    ASSERT_FALSE(Store.empty());
  }
  std::vector<TStoredScore> Stored() { return OpenScoreStore(Store)->All().value(); }
  TScratch Scratch;
  std::string Store;
};

TEST_P(ScoreEndToEnd, TheGameReportsOverTheNetworkAndThePageListsIt) {
  TScratch& scratch = Scratch;
  TServiceProcess service(Store);
  struct TCase {
    std::string Country;  // Windows-1251, for the options file
    std::string Score;
    std::string NameUtf8;
  };
  // "Вася Пупкин" from "Россия" with a negative score; "Ярослав" from
  // "Беларусь" with the largest; "Иван" from "Минск" with 12345, a record
  // of exactly 50 bytes; and nothing typed at all, with an empty country.
  const TCase cases[] = {
      {"\xD0\xEE\xF1\xF1\xE8\xFF", "-2147483647", "Вася Пупкин"},
      {"\xC1\xE5\xEB\xE0\xF0\xF3\xF1\xFC", "2147483647", "Ярослав"},
      {"\xCC\xE8\xED\xF1\xEA", "12345", "Иван"},
      {"", "7", ""},
  };
  for (const TCase& c : cases) {
    const fs::path root = scratch.Dir / ("game" + c.Score);
    MakeGameFolder(root, c.Country);
    const TPlayed played = Play(root, service.Base, c.Score, c.NameUtf8);
    ASSERT_EQ(played.ExitCode, 0) << played.Output;
    EXPECT_NE(played.Output.find("\"GameScreen\":4"), std::string::npos) << "the table opens after the send\n"
                                                                          << played.Output.substr(0, 300);
  }
  const auto all = Stored();
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].Name, "\xC2\xE0\xF1\xFF \xCF\xF3\xEF\xEA\xE8\xED");
  EXPECT_EQ(all[0].Score, -2147483647);
  EXPECT_EQ(all[0].Country, "\xD0\xEE\xF1\xF1\xE8\xFF");
  EXPECT_EQ(all[1].Name, "\xDF\xF0\xEE\xF1\xEB\xE0\xE2");
  EXPECT_EQ(all[1].Score, 2147483647);
  EXPECT_EQ(all[1].Country, "\xC1\xE5\xEB\xE0\xF0\xF3\xF1\xFC");
  EXPECT_EQ(all[2].Name, "\xC8\xE2\xE0\xED");
  EXPECT_EQ(all[2].Score, 12345);
  EXPECT_EQ(all[2].Country, "\xCC\xE8\xED\xF1\xEA");
  EXPECT_EQ(all[3].Name, "");
  EXPECT_EQ(all[3].Score, 7);
  EXPECT_EQ(all[3].Country, "");

  httplib::Client client("127.0.0.1", service.Port);
  auto page = client.Get("/cgi/version.pl?prg=Voltrace2&show&type=0");
  ASSERT_TRUE(page);
  ASSERT_EQ(page->status, 200);
  const std::string& html = page->body;
  const size_t a = html.find("<td class=\"name\">Ярослав</td><td class=\"score\">2147483647</td><td class=\"country\">Беларусь</td>");
  const size_t b = html.find("<td class=\"name\">Иван</td><td class=\"score\">12345</td><td class=\"country\">Минск</td>");
  const size_t c = html.find("<td class=\"name\"></td><td class=\"score\">7</td><td class=\"country\"></td>");
  const size_t d = html.find("<td class=\"name\">Вася Пупкин</td><td class=\"score\">-2147483647</td><td class=\"country\">Россия</td>");
  ASSERT_NE(a, std::string::npos);
  ASSERT_NE(b, std::string::npos);
  ASSERT_NE(c, std::string::npos);
  ASSERT_NE(d, std::string::npos);
  EXPECT_TRUE(a < b && b < c && c < d) << "best first";
}

// Clients keep sending while the service is killed outright: every report
// that was answered 200 is in the store.
TEST_P(ScoreEndToEnd, EveryAnsweredReportSurvivesTheServiceBeingKilledUnderLoad) {
  TServiceProcess service(Store, {"--rate", "0", "--no-access-log"});
  std::mutex lock;
  std::set<std::string> answered;
  std::atomic<bool> killed{false};
  std::vector<std::thread> clients;
  for (int c = 0; c < 8; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client client("127.0.0.1", service.Port);
      client.set_connection_timeout(2, 0);
      client.set_read_timeout(2, 0);
      for (int i = 0; i < 400 && !killed; ++i) {
        const std::string name = "c" + std::to_string(c) + "n" + std::to_string(i);
        auto res = client.Get(ReportTarget(name, i));
        if (res && res->status == 200) {
          std::lock_guard<std::mutex> hold(lock);
          answered.insert(name);
        }
      }
    });
  }
  while (true) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard<std::mutex> hold(lock);
    if (answered.size() >= 150) break;
  }
  service.Kill(SIGKILL);  // no chance to close the file
  killed = true;
  for (auto& t : clients) t.join();
  std::set<std::string> stored;
  for (const TStoredScore& s : Stored()) EXPECT_TRUE(stored.insert(s.Name).second) << s.Name << " stored twice";
  for (const std::string& name : answered) EXPECT_EQ(stored.count(name), 1u) << name << " answered but lost";
  EXPECT_GE(answered.size(), 150u);
}

INSTANTIATE_TEST_SUITE_P(Stores, ScoreEndToEnd, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

TEST(ScoreTwoServices, OnePostgresStoreTakesEachReportOnceAndBothShowOnePage) {
  const std::string store = FreshPostgresDatabase();
  ASSERT_FALSE(store.empty());
  TServiceProcess a(store, {"--rate", "0", "--no-access-log"});
  TServiceProcess b(store, {"--rate", "0", "--no-access-log"});
  // Eight clients, each sending every report to both services at once
  // (as a game retrying through a balancer would) and its own to one.
  std::atomic<int> failures{0};
  std::vector<std::thread> clients;
  for (int c = 0; c < 8; ++c) {
    clients.emplace_back([&, c] {
      httplib::Client toA("127.0.0.1", a.Port), toB("127.0.0.1", b.Port);
      for (int i = 0; i < 30; ++i) {
        const std::string target = ReportTarget("c" + std::to_string(c) + "n" + std::to_string(i), c * 1000 + i);
        std::thread other([&] {
          auto res = toB.Get(target);
          if (!res || res->status != 200) ++failures;
        });
        auto res = toA.Get(target);
        if (!res || res->status != 200) ++failures;
        other.join();
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(failures, 0);
  std::set<std::string> names;
  const auto all = OpenScoreStore(store)->All().value();
  for (const TStoredScore& s : all) EXPECT_TRUE(names.insert(s.Name).second) << s.Name << " stored twice";
  EXPECT_EQ(all.size(), 240u);
  // Each service rebuilds its page from its own commits at once and from
  // the other's within a look at the store.
  httplib::Client pageA("127.0.0.1", a.Port), pageB("127.0.0.1", b.Port);
  std::string shownA, shownB;
  for (int i = 0; i < 100; ++i) {
    shownA = pageA.Get("/cgi/version.pl?prg=Voltrace2&show&type=0")->body;
    shownB = pageB.Get("/cgi/version.pl?prg=Voltrace2&show&type=0")->body;
    if (shownA == shownB && shownA.find(">c7n29<") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(shownA, shownB);
  EXPECT_NE(shownA.find("<td class=\"place\">1</td><td class=\"name\">c7n29</td>"), std::string::npos);
}

}  // namespace
