// The game and the score service together, each as its own program: the
// script runner plays to a new top-ten entry and reports it over the real
// network; the service keeps exactly the bytes typed; the page lists them.
#include <gtest/gtest.h>
#include <httplib.h>

#include <csignal>
#include <fstream>

#include "score_store.h"
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

TEST(ScoreEndToEnd, TheGameReportsOverTheNetworkAndThePageListsIt) {
  TScratch scratch;
  TServiceProcess service(scratch.Dir / "scores.db");
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
  TScoreStore store((scratch.Dir / "scores.db").string());
  const auto all = store.All();
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

TEST(ScoreEndToEnd, AnAnsweredReportSurvivesTheServiceBeingKilled) {
  TScratch scratch;
  TServiceProcess service(scratch.Dir / "scores.db", {"--rate", "0"});
  httplib::Client client("127.0.0.1", service.Port);
  // "type=0|name=|score=0|key=V|p=|add=|z=000" with the default key letter.
  const std::string report = "/cgi/version.pl?hs&prg=Voltrace2&inf=QT61A3K7GB8G62MPNW81265DP73GLRKSRTXYL8K7L38HARM6NFUGJRM6RJ8VANBS";
  ASSERT_STREQ(VT_REPORT_KEY, "V");
  int answered = 0;
  for (int i = 0; i < 40; ++i) {
    auto res = client.Get(report);
    answered += res && res->status == 200;
  }
  service.Kill(SIGKILL);  // no chance to close the file
  EXPECT_EQ(answered, 40);
  TScoreStore store((scratch.Dir / "scores.db").string());
  EXPECT_EQ(store.All().size(), 40u);
}

}  // namespace
