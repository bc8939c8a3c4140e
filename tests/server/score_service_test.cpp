// The score service in-process: decoding, what it stores, what it refuses,
// the table's order and escaping, and its request limit.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <thread>

#include "client_address.h"
#include "score_record.h"
#include "score_service.h"
#include "service_log.h"
#include "service_process.h"
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
  void SetUp() override {
    // A table of cases names its tests "Name/3": one folder, not a folder
    // in a folder that the removal at the end would leave behind.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '-');
    Dir = fs::temp_directory_path() / ("voltrace2-scores-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(Dir);
    fs::create_directories(Dir);
    LogFile = std::tmpfile();
    SetLogSink(LogFile);
    Start(Defaults());
  }
  TServiceOptions Defaults() {
    TServiceOptions options;
    options.Port = 0;  // a free port, so parallel runs do not meet
    options.Store = (Dir / "scores.db").string();
    options.RatePerMinute = 0;
    options.Key = VT_REPORT_KEY[0];
    return options;
  }
  void Start(const TServiceOptions& options, std::unique_ptr<TScoreStore> store = nullptr) {
    Service = store ? std::make_unique<TScoreService>(options, std::move(store)) : std::make_unique<TScoreService>(options);
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
    SetLogSink(nullptr);
    std::fclose(LogFile);
    fs::remove_all(Dir);
  }
  // Rows put straight into the file, with the service stopped meanwhile.
  void Seed(const std::vector<TStoredScore>& rows) {
    Stop();
    {
      const auto store = OpenScoreStore((Dir / "scores.db").string());
      for (const TStoredScore& row : rows) ASSERT_TRUE(store->Add(row));
    }
    Start(Defaults());
  }
  std::vector<TStoredScore> Stored() { return OpenScoreStore((Dir / "scores.db").string())->All().value(); }
  int Get(const std::string& target, const httplib::Headers& headers = {}) {
    auto res = Client->Get(target, headers);
    return res ? res->status : 0;
  }
  std::string Page() {
    auto res = Client->Get(TablePath);
    return res && res->status == 200 ? res->body : "";
  }
  std::string Logged() { return WrittenSoFar(LogFile); }

  fs::path Dir;
  FILE* LogFile = nullptr;
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
  const auto all = Stored();
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
      // The game writes its score with no leading zero and never "-0": such
      // a record was not made by the game, so it is refused, not read as 7.
      {"ScoreLeadingZero", ReportPath(Encode(Record("Ann", "007", "UK")))},
      {"ScoreMinusZero", ReportPath(Encode(Record("Ann", "-0", "UK")))},
      {"ScoreMinusLeadingZero", ReportPath(Encode(Record("Ann", "-07", "UK")))},
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
  EXPECT_TRUE(Stored().empty());
  EXPECT_NE(Page().find("<html"), std::string::npos) << "still answering";
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "10", "UK")))), 200) << "still taking reports";
}

INSTANTIATE_TEST_SUITE_P(Cases, BadReport, ::testing::ValuesIn(BadReports()),
                         [](const auto& info) { return std::string(info.param.Case); });

TEST_F(ScoreService, ARequestLineTooLongForHttpIsRefusedToo) {
  EXPECT_EQ(Get(ReportPath(std::string(70000, 'A'))) / 100, 4);
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(Get(TablePath), 200);
}

TEST(ScoreRecord, ZeroIsTheOneScoreWrittenWithAZero) {
  std::string why;
  const auto zero = ParseReportRecord(Record("Ann", "0", "UK"), VT_REPORT_KEY[0], why);
  ASSERT_TRUE(zero) << why;
  EXPECT_EQ(zero->Score, 0);
  const auto seven = ParseReportRecord(Record("Ann", "-7", "UK"), VT_REPORT_KEY[0], why);
  ASSERT_TRUE(seven) << why;
  EXPECT_EQ(seven->Score, -7);
}

TEST_F(ScoreService, PageShowsMarkupAsTextAndTheDayBeforeTheMonthInUtc) {
  // The service's own zone is far east of UTC, where the report's second
  // (05.03.2024 23:59:59 UTC) is already the 6th.
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  setenv("TZ", "Asia/Vladivostok", 1);
  tzset();
  Seed({{"<b>&x", 100, "\"'", 1709683199}});
  const std::string page = Page();
  if (zone) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
  EXPECT_EQ(page.find("<b>&x"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"name\">&lt;b&gt;&amp;x</td>"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"country\">&quot;&#39;</td>"), std::string::npos);
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find("<td class=\"date\">05.03.2024</td>"), std::string::npos) << page.substr(page.find("<tbody>"));
}

TEST_F(ScoreService, TableShowsTheFirstHundred) {
  std::vector<TStoredScore> rows;
  for (int i = 1; i <= 105; ++i) rows.push_back({"p" + std::to_string(i), i, "", i});
  Seed(rows);
  const std::string page = Page();
  size_t shown = 0;
  for (size_t at = page.find("<tr><td"); at != std::string::npos; at = page.find("<tr><td", at + 1)) ++shown;
  EXPECT_EQ(shown, 100u);
  EXPECT_NE(page.find(">p105<"), std::string::npos);
  EXPECT_NE(page.find(">p6<"), std::string::npos);
  EXPECT_EQ(page.find(">p5<"), std::string::npos);
}

TEST_F(ScoreService, AReportEnteringTheHundredIsOnTheNextPageAndOneBelowLeavesItAlone) {
  std::vector<TStoredScore> rows;
  for (int i = 1; i <= 100; ++i) rows.push_back({"p" + std::to_string(i), 1000 + i, "", i});
  Seed(rows);
  ASSERT_EQ(Get(ReportPath(Encode(Record("Low", "5", "UK")))), 200);
  EXPECT_EQ(Page().find(">Low<"), std::string::npos);
  ASSERT_EQ(Get(ReportPath(Encode(Record("High", "5000", "UK")))), 200);
  const std::string page = Page();
  EXPECT_NE(page.find("<td class=\"place\">1</td><td class=\"name\">High</td>"), std::string::npos);
  EXPECT_EQ(page.find(">p1<"), std::string::npos) << "pushed off the hundred";
}

TEST_F(ScoreService, LimitsCountReportsNotPageViews) {
  Stop();
  TServiceOptions options = Defaults();
  options.RatePerMinute = 5;
  Start(options);
  for (int i = 0; i < 20; ++i) ASSERT_EQ(Get(TablePath), 200);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", std::to_string(i), "UK")))), 200);
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "9", "UK")))), 429);
  EXPECT_EQ(Get(TablePath), 200);
  EXPECT_EQ(Stored().size(), 5u);
  EXPECT_NE(Logged().find("127.0.0.1 refused rate_limited"), std::string::npos);
}

// Behind the proxy every connection comes from it; the client is the last
// address the proxy added, and an IPv6 /64 is one client.
TEST_F(ScoreService, BehindTheTrustedProxyEachClientHasItsOwnAllowance) {
  Stop();
  TServiceOptions options = Defaults();
  options.RatePerMinute = 2;
  options.TrustedProxies = {"127.0.0.1"};
  Start(options);
  int n = 0;
  auto send = [&](const std::string& forwarded) {
    return Get(ReportPath(Encode(Record("Ann", std::to_string(++n), "UK"))), {{"X-Forwarded-For", forwarded}});
  };
  EXPECT_EQ(send("203.0.113.5"), 200);
  EXPECT_EQ(send("203.0.113.5"), 200);
  EXPECT_EQ(send("203.0.113.5"), 429);
  EXPECT_EQ(send("10.9.9.9, 203.0.113.5"), 429) << "what the client wrote itself comes first and is not believed";
  EXPECT_EQ(send("198.51.100.7"), 200);
  EXPECT_EQ(send("2001:db8:1:2::1"), 200);
  EXPECT_EQ(send("2001:db8:1:2:ffff:ffff:ffff:ffff"), 200);
  EXPECT_EQ(send("2001:db8:1:2::77"), 429) << "one /64, one client";
  EXPECT_EQ(send("2001:db8:1:3::1"), 200);
  EXPECT_NE(Logged().find("2001:db8:1:2::77 refused rate_limited"), std::string::npos);

  // Without the proxy named, the header is anyone's to write and is ignored.
  Stop();
  options.TrustedProxies.clear();
  Start(options);
  EXPECT_EQ(send("203.0.113.1"), 200);
  EXPECT_EQ(send("203.0.113.2"), 200);
  EXPECT_EQ(send("203.0.113.3"), 429);
}

TEST(ClientAddress, GroupsAndForwardedAddresses) {
  EXPECT_EQ(ClientGroup("203.0.113.5"), "203.0.113.5");
  EXPECT_EQ(ClientGroup("2001:db8:1:2:aaaa:bbbb:cccc:dddd"), "2001:db8:1:2::/64");
  EXPECT_EQ(ClientGroup("2001:db8::1"), "2001:db8::/64");
  EXPECT_EQ(CanonicalAddress("::ffff:203.0.113.5"), "203.0.113.5");
  EXPECT_EQ(CanonicalAddress("2001:DB8:0::1"), "2001:db8::1");
  EXPECT_FALSE(CanonicalAddress("example.org"));
  EXPECT_EQ(LastForwardedAddress("10.0.0.1, 203.0.113.5"), "203.0.113.5");
  EXPECT_EQ(LastForwardedAddress(" 2001:db8::1 "), "2001:db8::1");
  EXPECT_FALSE(LastForwardedAddress("203.0.113.5, unknown"));
  EXPECT_FALSE(LastForwardedAddress(""));
}

TEST_F(ScoreService, HeadNeverStoresAndTheSameCodeTwiceIsStoredOnce) {
  const std::string report = ReportPath(Encode(Record("Ann", "10", "UK")));
  auto head = Client->Head(report);
  ASSERT_TRUE(head);
  EXPECT_EQ(head->status, 405);
  EXPECT_EQ(head->get_header_value("Allow"), "GET");
  EXPECT_TRUE(Stored().empty());
  EXPECT_EQ(Client->Head(TablePath)->status, 200);
  EXPECT_EQ(Get(report), 200);
  EXPECT_EQ(Get(report), 200) << "a repeat is answered as the first was";
  EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(ScoreService, HeaderLinesAreLimitedInNumberAndSize) {
  httplib::Headers many;
  for (int i = 0; i < 60; ++i) many.emplace("X-H" + std::to_string(i), "1");
  EXPECT_EQ(Get(TablePath, many), 431);
  httplib::Headers huge;
  for (int i = 0; i < 3000; ++i) huge.emplace("X-Long" + std::to_string(i), std::string(20, 'a'));
  const int status = Get(TablePath, huge);
  EXPECT_TRUE(status == 431 || status == 413) << status;
  EXPECT_EQ(Get(TablePath), 200) << "still answering";
}

TEST_F(ScoreService, HealthMetricsAndTheLogTellWhatHappened) {
  const std::string code = Encode(Record("Ann", "10", "UK"));
  EXPECT_EQ(Get("/health"), 200);
  EXPECT_EQ(Get(ReportPath(code)), 200);
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "007", "UK")))), 400);
  EXPECT_EQ(Get("/nothing"), 404);
  auto metrics = Client->Get("/metrics");
  ASSERT_TRUE(metrics);
  EXPECT_EQ(metrics->get_header_value("Content-Type"), "text/plain; version=0.0.4; charset=utf-8");
  for (const char* line : {"voltrace2_requests_total{route=\"report\",status=\"200\"} 1\n",
                           "voltrace2_requests_total{route=\"report\",status=\"400\"} 1\n",
                           "voltrace2_requests_total{route=\"health\",status=\"200\"} 1\n",
                           "voltrace2_refusals_total{reason=\"bad_report\"} 1\n",
                           "voltrace2_reports_stored_total 1\n", "voltrace2_store_rows{table=\"reports\"} 1\n",
                           "voltrace2_store_rows{table=\"players\"} 1\n", "voltrace2_store_commit_seconds_count 1\n",
                           "# TYPE voltrace2_store_commit_seconds histogram\n"})
    EXPECT_NE(metrics->body.find(line), std::string::npos) << line << metrics->body;
  const std::string log = Logged();
  EXPECT_NE(log.find("Z 127.0.0.1 GET /cgi/version.pl?hs&prg=Voltrace2&inf=" + code.substr(0, 8) + "...(" +
                     std::to_string(code.size()) + ") 200 "),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find(code), std::string::npos) << "the code is shortened";
  EXPECT_NE(log.find("127.0.0.1 refused bad_report: bad score"), std::string::npos) << log;
  EXPECT_NE(log.find("127.0.0.1 GET /nothing 404 "), std::string::npos) << log;
}

// A store that can be made to fail, as a full or damaged disk does.
struct TFailingStore : TScoreStore {
  explicit TFailingStore(std::unique_ptr<TScoreStore> inner) : Inner(std::move(inner)) {}
  bool Commit(const std::vector<TStoredScore>& e, TCommitResult& r) override {
    r.Fresh.assign(e.size(), false);
    return !Broken && Inner->Commit(e, r);
  }
  std::optional<std::vector<TStoredScore>> Table(int limit, bool verifiedOnly) override {
    return Broken ? std::nullopt : Inner->Table(limit, verifiedOnly);
  }
  std::optional<TStoreCounts> Counts() override { return Broken ? std::nullopt : Inner->Counts(); }
  int64_t Remove(const std::string& n, const std::string& c) override { return Broken ? -1 : Inner->Remove(n, c); }
  std::optional<std::vector<TStoredScore>> All() override { return Broken ? std::nullopt : Inner->All(); }
  TKeepResult KeepRecording(const std::string& n, int32_t s, const std::string& c, const std::string& b,
                            int64_t& report) override {
    return Broken ? krFailed : Inner->KeepRecording(n, s, c, b, report);
  }
  bool SettleRecording(int64_t report, int64_t kept, const std::string& o, bool v) override {
    return !Broken && Inner->SettleRecording(report, kept, o, v);
  }
  std::optional<std::vector<TWaitingRecording>> WaitingRecordings(int limit) override {
    return Broken ? std::nullopt : Inner->WaitingRecordings(limit);
  }
  std::optional<std::string> RecordingOutcome(int64_t report) override {
    return Broken ? std::nullopt : Inner->RecordingOutcome(report);
  }
  std::string LastError() const override { return Broken ? "disk I/O error" : Inner->LastError(); }
  std::unique_ptr<TScoreStore> Inner;
  std::atomic<bool> Broken{true};
};

TEST_F(ScoreService, AStoreThatFailsGivesErrorsAndLogLinesNeverAnEmptyTable) {
  Stop();
  auto store = std::make_unique<TFailingStore>(OpenScoreStore((Dir / "scores.db").string()));
  TFailingStore* failing = store.get();
  Start(Defaults(), std::move(store));
  auto page = Client->Get(TablePath);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 500);
  EXPECT_EQ(page->body.find("Рекордов пока нет"), std::string::npos);
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "10", "UK")))), 500);
  EXPECT_EQ(Get("/health"), 503);
  const std::string log = Logged();
  EXPECT_NE(log.find("the table cannot be read: disk I/O error"), std::string::npos) << log;
  EXPECT_NE(log.find("store failed, 1 reports refused: disk I/O error"), std::string::npos) << log;
  EXPECT_NE(log.find("127.0.0.1 refused table_unreadable"), std::string::npos) << log;

  // Mended, the page comes back by itself.
  failing->Broken = false;
  int status = 0;
  for (int i = 0; i < 100 && status != 200; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    status = Get(TablePath);
  }
  EXPECT_EQ(status, 200);
  EXPECT_EQ(Get(ReportPath(Encode(Record("Ann", "10", "UK")))), 200);
  EXPECT_EQ(Get("/health"), 200);
}

TEST(TablePage, EscapesEveryMarkupCharacter) {
  EXPECT_EQ(HtmlEscape("<b>&x\"'"), "&lt;b&gt;&amp;x&quot;&#39;");
}

}  // namespace
