// The score service in-process: decoding, what it stores, what it refuses,
// the table's order and escaping, and its request limit.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "score_record.h"
#include "score_service.h"
#include "table_page.h"

namespace {

namespace fs = std::filesystem;

// A record text as the game encodes it: each byte's bits, five at a time, as
// symbols; every five bytes make eight symbols.
std::string Encode(const std::string& record) {
  static const char Alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
  std::string bits, code;
  for (unsigned char c : record)
    for (int b = 7; b >= 0; --b) bits += (c >> b) & 1 ? '1' : '0';
  while (bits.size() % 5) bits.insert(bits.begin(), '0');
  for (size_t i = 0; i < bits.size(); i += 5) code += Alphabet[std::stoi(bits.substr(i, 5), nullptr, 2)];
  return code;
}

std::string Record(const std::string& name, const std::string& score, const std::string& country,
                   const std::string& key = VT_REPORT_KEY) {
  std::string r = "type=0|name=" + name + "|score=" + score + "|key=" + key + "|p=|add=" + country + "|z=";
  while (r.size() % 5) r += '0';
  return r;
}

std::string ReportPath(const std::string& code) { return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + code; }
const char TablePath[] = "/cgi/version.pl?prg=Voltrace2&show&type=0";

class ScoreService : public ::testing::Test {
 protected:
  void SetUp() override { Start(0); }
  void Start(int ratePerMinute) {
    // A table of cases names its tests "Name/3": one folder, not a folder
    // in a folder that the removal at the end would leave behind.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Dir = fs::temp_directory_path() / ("voltrace2-scores-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    TServiceOptions options;
    options.Port = 0;  // a free port, so parallel runs do not meet
    options.StorePath = (Dir / "scores.db").string();
    options.RatePerMinute = ratePerMinute;
    options.Key = VT_REPORT_KEY[0];
    Service = std::make_unique<TScoreService>(options);
    Port = Service->Bind();
    ASSERT_GT(Port, 0);
    Server = std::thread([this] { Service->Run(); });
    while (!Service->Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    Client = std::make_unique<httplib::Client>("127.0.0.1", Port);
    Client->set_connection_timeout(5, 0);
  }
  void Stop() {
    if (!Service) return;
    Service->Stop();
    Server.join();
    Client.reset();
    Service.reset();
  }
  void TearDown() override {
    Stop();
    fs::remove_all(Dir);
  }
  int Get(const std::string& target) {
    auto res = Client->Get(target);
    return res ? res->status : 0;
  }
  std::string Page() {
    auto res = Client->Get(TablePath);
    return res && res->status == 200 ? res->body : "";
  }

  fs::path Dir;
  std::unique_ptr<TScoreService> Service;
  std::thread Server;
  std::unique_ptr<httplib::Client> Client;
  int Port = 0;
};

TEST(ScoreRecord, DecodesTheGamesSymbols) {
  // The game's own example: "abcde" travels as NFTGG3DF.
  EXPECT_EQ(DecodeReportCode("NFTGG3DF"), "abcde");
  // 8 x '9' is 40 one bits.
  EXPECT_EQ(DecodeReportCode("99999999"), std::string(5, '\xFF'));
  EXPECT_EQ(DecodeReportCode("AAAAAAAA"), std::string(5, '\0'));
  EXPECT_FALSE(DecodeReportCode(""));
  EXPECT_FALSE(DecodeReportCode("NFTGG3D"));
  EXPECT_FALSE(DecodeReportCode("NFTGG3DI"));  // I, O, Z and 0 are not symbols
  EXPECT_FALSE(DecodeReportCode("nftgg3df"));
}

TEST_F(ScoreService, StoresTheReportedBytesAndTheTableShowsThem) {
  // "Вася" and "Россия" in Windows-1251.
  const std::string name = "\xC2\xE0\xF1\xFF", country = "\xD0\xEE\xF1\xF1\xE8\xFF";
  EXPECT_EQ(Get(ReportPath(Encode(Record(name, "-2147483648", country)))), 200);
  // Already whole groups: 36 fixed bytes + 4 + 5 + 5 = 50, no padding.
  const std::string whole = "type=0|name=\xC8\xE2\xE0\xED|score=12345|key=" VT_REPORT_KEY "|p=|add=\xCC\xE8\xED\xF1\xEA|z=";
  ASSERT_EQ(whole.size(), 50u);
  EXPECT_EQ(Get(ReportPath(Encode(whole))), 200);
  EXPECT_EQ(Get(ReportPath(Encode(Record("", "2147483647", "")))), 200);
  const auto all = Service->Store().All();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].Name, name);
  EXPECT_EQ(all[0].Score, INT32_MIN);
  EXPECT_EQ(all[0].Country, country);
  EXPECT_EQ(all[1].Name, "\xC8\xE2\xE0\xED");
  EXPECT_EQ(all[1].Country, "\xCC\xE8\xED\xF1\xEA");
  EXPECT_EQ(all[2].Name, "");
  EXPECT_EQ(all[2].Score, INT32_MAX);
  EXPECT_EQ(all[2].Country, "");
  const std::string page = Page();
  EXPECT_NE(page.find("<td class=\"name\">Вася</td><td class=\"score\">-2147483648</td><td class=\"country\">Россия</td>"),
            std::string::npos);
  EXPECT_NE(page.find("<td class=\"name\">Иван</td><td class=\"score\">12345</td><td class=\"country\">Минск</td>"),
            std::string::npos);
  EXPECT_LT(page.find("2147483647"), page.find("12345")) << "best first";
}

struct TBadReport {
  const char* Case;
  std::string Target;
};

void PrintTo(const TBadReport& c, std::ostream* os) { *os << c.Case; }

std::vector<TBadReport> BadReports() {
  const std::string ok = Encode(Record("Ann", "10", "UK"));
  std::string longCode;
  while (longCode.size() < 4000) longCode += ok;
  return {
      {"WrongProgram", "/cgi/version.pl?hs&prg=Voltrace3&inf=" + ok},
      {"NoProgram", "/cgi/version.pl?hs&inf=" + ok},
      {"NoHsWord", "/cgi/version.pl?prg=Voltrace2&inf=" + ok},
      {"ExtraPart", ReportPath(ok) + "&x=1"},
      {"RepeatedPart", "/cgi/version.pl?hs&prg=Voltrace2&prg=Voltrace2&inf=" + ok},
      {"WrongKey", ReportPath(Encode(Record("Ann", "10", "UK", VT_REPORT_KEY[0] == 'Q' ? "R" : "Q")))},
      {"KeyTwoLetters", ReportPath(Encode(Record("Ann", "10", "UK", VT_REPORT_KEY "V")))},
      {"SymbolI", ReportPath(ok.substr(0, ok.size() - 1) + "I")},
      {"SymbolZero", ReportPath(ok.substr(0, ok.size() - 1) + "0")},
      {"LowerCase", ReportPath("nftgg3df")},
      {"PercentEncoded", ReportPath(ok.substr(0, ok.size() - 3) + "%41")},
      {"NotWholeGroups", ReportPath(ok.substr(0, ok.size() - 1))},
      {"EmptyCode", ReportPath("")},
      {"NoScoreField", ReportPath(Encode("type=0|name=Ann|key=" VT_REPORT_KEY "|p=|add=UK|z=0"))},
      {"FieldsSwapped", ReportPath(Encode("type=0|score=1|name=Ann|key=" VT_REPORT_KEY "|p=|add=UK|z=000"))},
      {"NoZField", ReportPath(Encode("type=0|name=Ann|score=10|key=" VT_REPORT_KEY "|p=|add=UK"))},
      {"TypeOne", ReportPath(Encode("type=1|name=Ann|score=10|key=" VT_REPORT_KEY "|p=|add=UK|z=00"))},
      {"PNotEmpty", ReportPath(Encode("type=0|name=Ann|score=10|key=" VT_REPORT_KEY "|p=x|add=UK|z=0"))},
      {"NameOf13", ReportPath(Encode(Record("abcdefghijklm", "10", "UK")))},
      {"CountryOf17", ReportPath(Encode(Record("Ann", "10", "abcdefghijklmnopq")))},
      {"ScoreOver32Bits", ReportPath(Encode(Record("Ann", "2147483648", "UK")))},
      {"ScoreUnder32Bits", ReportPath(Encode(Record("Ann", "-2147483649", "UK")))},
      {"ScoreNotANumber", ReportPath(Encode(Record("Ann", "1e3", "UK")))},
      {"ScoreEmpty", ReportPath(Encode(Record("Ann", "", "UK")))},
      {"ScorePlus", ReportPath(Encode(Record("Ann", "+5", "UK")))},
      {"NameWithBang", ReportPath(Encode(Record("Ann!", "10", "UK")))},
      {"NameWithTag", ReportPath(Encode(Record("<b>", "10", "UK")))},
      {"NameWithYo", ReportPath(Encode(Record("\xA8", "10", "UK")))},  // Ё cannot be typed
      {"NameWithNul", ReportPath(Encode(Record(std::string("A\0B", 3), "10", "UK")))},
      {"CountryWithBar", ReportPath(Encode("type=0|name=Ann|score=10|key=" VT_REPORT_KEY "|p=|add=U|K|z=0"))},
      {"TooMuchPadding", ReportPath(Encode(Record("Ann", "10", "UK") + "00000"))},
      {"PaddingNotZeros", ReportPath(Encode("type=0|name=Ann|score=10|key=" VT_REPORT_KEY "|p=|add=UK|z=0x"))},
      {"HugeQuery", ReportPath(longCode)},
      {"WrongPageQuery", "/cgi/version.pl?prg=Voltrace2&show&type=1"},
  };
}

class BadReport : public ScoreService, public ::testing::WithParamInterface<TBadReport> {};

TEST_P(BadReport, IsRefusedAndNothingIsStored) {
  EXPECT_EQ(Get(GetParam().Target), 400) << GetParam().Target.substr(0, 200);
  EXPECT_TRUE(Service->Store().All().empty());
  EXPECT_NE(Page().find("<html"), std::string::npos) << "still answering";
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "10", "UK")))), 200) << "still taking reports";
}

INSTANTIATE_TEST_SUITE_P(Cases, BadReport, ::testing::ValuesIn(BadReports()),
                         [](const auto& info) { return std::string(info.param.Case); });

TEST_F(ScoreService, ARequestLineTooLongForHttpIsRefusedToo) {
  EXPECT_EQ(Get(ReportPath(std::string(70000, 'A'))) / 100, 4);
  EXPECT_TRUE(Service->Store().All().empty());
  EXPECT_EQ(Get(TablePath), 200);
}

TEST_F(ScoreService, TableKeepsEachPlayersBestInTheGamesOrder) {
  TScoreStore& store = Service->Store();
  // Same name in two countries counts twice; the better of one player's
  // scores counts; equal scores: the one reached first stays above.
  store.Add({"Ann", 300, "UK", 1000});
  store.Add({"Ann", 900, "UK", 1001});
  store.Add({"Ann", 500, "FR", 1002});
  store.Add({"Bob", 900, "UK", 999});
  store.Add({"Cid", 900, "UK", 1003});
  store.Add({"<b>&x", 100, "\"'", 1004});
  const auto table = store.Table(100);
  ASSERT_EQ(table.size(), 5u);
  EXPECT_EQ(table[0].Name, "Bob");
  EXPECT_EQ(table[1].Name, "Ann");
  EXPECT_EQ(table[1].Score, 900);
  EXPECT_EQ(table[2].Name, "Cid");
  EXPECT_EQ(table[3].Country, "FR");
  const std::string page = Page();
  EXPECT_EQ(page.find("<b>&x"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"name\">&lt;b&gt;&amp;x</td>"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"country\">&quot;&#39;</td>"), std::string::npos);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"date\">01.01.1970</td>"), std::string::npos);
}

TEST_F(ScoreService, TableShowsTheFirstHundred) {
  for (int i = 1; i <= 105; ++i) Service->Store().Add({"p" + std::to_string(i), i, "", i});
  const std::string page = Page();
  size_t rows = 0;
  for (size_t at = page.find("<tr><td"); at != std::string::npos; at = page.find("<tr><td", at + 1)) ++rows;
  EXPECT_EQ(rows, 100u);
  EXPECT_NE(page.find(">p105<"), std::string::npos);
  EXPECT_NE(page.find(">p6<"), std::string::npos);
  EXPECT_EQ(page.find(">p5<"), std::string::npos);
}

TEST_F(ScoreService, OneAddressIsHeldToItsRate) {
  Stop();
  Start(5);
  const std::string report = ReportPath(Encode(Record("Ann", "10", "UK")));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Get(report), 200);
  EXPECT_EQ(Get(report), 429);
  EXPECT_EQ(Service->Store().All().size(), 5u);
}

TEST(TablePage, EscapesEveryMarkupCharacter) {
  EXPECT_EQ(HtmlEscape("<b>&x\"'"), "&lt;b&gt;&amp;x&quot;&#39;");
}

}  // namespace
