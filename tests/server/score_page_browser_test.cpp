// The table page as a player sees it: headless Chromium loads it from the
// running service; the test reads the rendered table and keeps a screenshot
// (build/test-artifacts/score-table.png).
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "score_store.h"
#include "service_process.h"

namespace {

namespace fs = std::filesystem;

std::string Chromium(const fs::path& profile, const std::string& what, const std::string& url) {
  std::string output;
  const int code = RunCommand(
      "timeout 90 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
      " --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars"
      " --window-size=900,560 --user-data-dir='" + profile.string() + "' " + what + " '" + url + "' 2>/dev/null",
      output);
  EXPECT_EQ(code, 0) << output.substr(0, 500);
  return output;
}

// The rows of the rendered table, each as "place|name|score|country" with
// the markup the browser serialises (text keeps its &lt; &gt; &amp;); a
// verified score is followed by its mark's text.
std::vector<std::string> Rows(const std::string& dom) {
  std::vector<std::string> rows;
  const std::regex row(
      "<tr><td class=\"place\">([^<]*)</td><td class=\"name\">(.*?)</td><td class=\"score\">([^<]*)"
      "(?:<span class=\"verified\"[^>]*>([^<]*)</span>)?</td><td class=\"country\">(.*?)</td>");
  for (std::sregex_iterator it(dom.begin(), dom.end(), row), end; it != end; ++it)
    rows.push_back((*it)[1].str() + "|" + (*it)[2].str() + "|" + (*it)[3].str() +
                   ((*it)[4].matched ? " " + (*it)[4].str() : "") + "|" + (*it)[5].str());
  return rows;
}

TEST(ScorePageInBrowser, ShowsCyrillicNamesInOrderAndMarkupAsText) {
  std::string found;
  ASSERT_EQ(RunCommand("command -v chromium", found), 0) << "chromium is not installed (tools/install-deps.sh)";
  TScratch scratch;
  const fs::path db = scratch.Dir / "scores.db";
  {
    const auto opened = OpenScoreStore(db.string());
    TScoreStore& store = *opened;
    // A name the game cannot type, put straight into the file.
    store.Add({"<b>&x", 5000, "UK", 1500});
    store.Add({"\xC2\xE0\xF1\xFF", 5000, "\xD0\xEE\xF1\xF1\xE8\xFF", 1600});  // Вася, Россия: same score, later
    store.Add({"\xC2\xE0\xF1\xFF", 100, "\xD0\xEE\xF1\xF1\xE8\xFF", 1000});   // his worse score is not shown
    store.Add({"\xDF\xF0\xEE\xF1\xEB\xE0\xE2", 2147483647, "\xC1\xE5\xEB\xE0\xF0\xF3\xF1\xFC", 2000});  // Ярослав
    store.Add({"\xC0\xED\xED\xE0", -2147483647 - 1, "", 1700});  // Анна
    // His score was verified by its replay.
    int64_t report = 0;
    ASSERT_EQ(store.KeepRecording("\xC2\xE0\xF1\xFF", 5000, "\xD0\xEE\xF1\xF1\xE8\xFF", "recording", report), krKept);
    ASSERT_TRUE(store.SettleRecording(report, store.WaitingRecordings(1).value().at(0).Kept, "verified", true));
  }
  TServiceProcess service(db);
  const std::string url = service.Base + "/cgi/version.pl?prg=Voltrace2&show&type=0";
  const std::string dom = Chromium(scratch.Dir / "profile1", "--dump-dom", url);
  const std::vector<std::string> expected = {
      "1|Ярослав|2147483647|Беларусь",
      "2|&lt;b&gt;&amp;x|5000|UK",
      "3|Вася|5000 ✔|Россия",
      "4|Анна|-2147483648|",
  };
  EXPECT_EQ(Rows(dom), expected) << dom.substr(0, 3000);
  const std::string verifiedDom = Chromium(scratch.Dir / "profile3", "--dump-dom", url + "&verified=1");
  EXPECT_EQ(Rows(verifiedDom), std::vector<std::string>{"1|Вася|5000 ✔|Россия"}) << verifiedDom.substr(0, 3000);
  EXPECT_EQ(dom.find("<b>"), std::string::npos) << "no tag came from a stored name";
  EXPECT_NE(dom.find("<title>Вольтрейс 2 — таблица рекордов</title>"), std::string::npos);

  fs::create_directories(VT_ARTIFACTS);
  const fs::path shot = fs::path(VT_ARTIFACTS) / "score-table.png";
  fs::remove(shot);
  Chromium(scratch.Dir / "profile2", "--screenshot='" + shot.string() + "'", url);
  ASSERT_TRUE(fs::exists(shot));
  std::ifstream png(shot, std::ios::binary);
  char magic[8] = {};
  png.read(magic, 8);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
  EXPECT_GT(fs::file_size(shot), 10000u) << "a page, not a blank";
}

}  // namespace
