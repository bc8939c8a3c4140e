// The windows after a race with a score good enough for the table: the name
// entry, its send box, the sending notice and the highscores screen. Runs
// the real game in-process on the headless machine, from the build folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "gfx/cp1251.h"
#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/replay/recording.h"
#include "screens/activate_item.h"
#include "screens/score_report.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/main_window.h"
#include "shell/settings.h"
#include "shell/frame_timer.h"

namespace {

class NameEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    ResetHighScores();
    Tick(50);
    CloseMainMenuAndRace();
  }
  void TearDown() override {
    ResetGame();
    Platform = nullptr;
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) {
      Machine.NowMs += 11;
      MDXTimerTimer(11);
    }
  }
  void Type(const std::string& utf8) {
    for (char c : Cp1251FromUtf8(utf8)) FormKeyPress(static_cast<unsigned char>(c));
  }
  // Straight into a race with a score worth a place, then the leave question.
  void CloseMainMenuAndRace() {
    SelectItem(1);  // car selection
    Tick(2);
    SelectItem(3);  // start
    Tick(200);      // past the level message
    ASSERT_EQ(GameScreen, 6);
    Score = 3000;
    OpenOverlay(2);
    Tick(1);
    SelectItem(11);  // yes, leave
    Tick(1);
  }
  THeadlessPlatform Machine;
};

TEST_F(NameEntryTest, EnterWithTheBoxTickedSendsAndShowsTheTable) {
  ASSERT_EQ(OverlayWindow, 8) << "a qualifying score asks for a name";
  Type("Пётр!");  // ё and ! are not name characters
  Tick(1);
  EXPECT_EQ(PlayerName, Cp1251FromUtf8("Птр"));
  FormKeyPress(13);
  EXPECT_EQ(SendChosen, 1);
  EXPECT_EQ(OverlayWindow, 9);
  EXPECT_TRUE(Machine.HttpRequests.empty()) << "the notice is shown for a frame first";
  Tick(1);
  EXPECT_TRUE(Machine.HttpRequests.empty());
  Tick(1);
  ASSERT_EQ(Machine.HttpRequests.size(), 1u);
  EXPECT_NE(Machine.HttpRequests[0].Url.find("/cgi/version.pl?hs&prg=Voltrace2&inf="), std::string::npos);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_EQ(OverlayWindow, 0);
  EXPECT_EQ(HighScores[6].Name, Cp1251FromUtf8("Птр")) << "3000 goes below the old 3000";
  EXPECT_EQ(HighScores[6].Score, 3000);
}

TEST_F(NameEntryTest, UntickedBoxGoesStraightToTheTable) {
  ASSERT_EQ(OverlayWindow, 8);
  MDXDrawMouseMove(180, 390);
  MDXDrawClick();  // the send box: ticked -> empty
  Type("Ann");
  FormKeyPress(13);
  EXPECT_EQ(SendChosen, 0);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_TRUE(Machine.HttpRequests.empty());
}

TEST_F(NameEntryTest, NameStopsAtTwelveCharacters) {
  Type("abcdefghijklmnop");
  EXPECT_EQ(PlayerName, "abcdefghijkl");
  FormKeyPress(8);
  EXPECT_EQ(PlayerName, "abcdefghijk");
}

TEST_F(NameEntryTest, TheReportCarriesTheGamesHeadersAndItsExactAddress) {
  ASSERT_STREQ(VT_REPORT_KEY, "V") << "the code below is for the key letter V";
  unsetenv("VOLTRACE2_SCORE_SERVER");
  Country = Cp1251FromUtf8("РФ");
  Type("Птр");
  FormKeyPress(13);
  Tick(2);
  ASSERT_EQ(Machine.HttpRequests.size(), 1u);
  const THttpGet& get = Machine.HttpRequests[0];
  // "type=0|name=Птр|score=3000|key=V|p=|add=РФ|z=" is 45 bytes: 72 symbols.
  EXPECT_EQ(get.Url, VT_SCORE_SERVER "/cgi/version.pl?hs&prg=Voltrace2&inf="
                     "QT61A3K7GB8G62MPNW86961SRT3YG55UNW8VGNBSGB8GY3M3HXMH26B7RTSYJ3B74DLH28T7");
  const std::vector<std::string> headers = {"Accept: text/html, */*", "User-Agent: Mozilla/3.0 (compatible; Indy Library)",
                                            "Content-Type: text/html"};
  EXPECT_EQ(get.Headers, headers);
  EXPECT_GT(get.ConnectTimeoutMs, 0);
  EXPECT_GE(get.TotalTimeoutMs, get.ConnectTimeoutMs);
}

TEST_F(NameEntryTest, TheSendingNoticeIsDrawnWithoutTheNameEntryFrame) {
  Machine.HttpAnswerMs = -1;  // a service that never answers keeps the notice up
  Type("Ann");
  Tick(1);
  const TSurface nameEntry = BackSurface;
  FormKeyPress(13);
  Tick(1);
  const TSurface firstNotice = BackSurface;
  Tick(5);
  ASSERT_EQ(OverlayWindow, 9);
  // The race underneath stands still, so every frame of the notice is the
  // same, the first one included: no frame, prompt or check box left over.
  EXPECT_TRUE(firstNotice.Pixels == BackSurface.Pixels);
  int changed = 0;
  for (int y = 369; y <= 414; ++y)
    for (int x = 161; x <= 215; ++x) changed += nameEntry.Row(y)[x] != firstNotice.Row(y)[x];
  EXPECT_GT(changed, 500) << "the check box is gone from the first frame";
}

// How the pretend service answers, and the tick (at 11 ms a tick, counted
// from Enter) on which the table opens: the report starts on the second
// tick; a slow answer comes when its time has passed; a service that never
// answers is given up after the report's 8 s. A report the service took
// (200) is followed by the game's recording, which the notice waits for too.
struct TAnswer {
  const char* Case;
  int Status;
  int AnswerMs;
  int TableTick;
  size_t Requests;
};

void PrintTo(const TAnswer& a, std::ostream* os) { *os << a.Case; }

class SendingTest : public NameEntryTest, public ::testing::WithParamInterface<TAnswer> {};

TEST_P(SendingTest, TheNoticeStaysUpUntilTheReportEndsThenTheTableOpens) {
  Machine.HttpStatus = GetParam().Status;
  Machine.HttpAnswerMs = GetParam().AnswerMs;
  Type("Птр");
  FormKeyPress(13);
  int tick = 0;
  while (OverlayWindow == 9 && tick < 2000) {
    const int flips = Machine.Flips;
    Tick(1);
    ++tick;
    EXPECT_EQ(Machine.Flips, flips + 1);
  }
  EXPECT_EQ(tick, GetParam().TableTick);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_EQ(OverlayWindow, 0);
  EXPECT_EQ(Machine.HttpRequests.size(), GetParam().Requests);
  EXPECT_EQ(Machine.HttpPending(), 0);
  EXPECT_EQ(HighScores[6].Name, Cp1251FromUtf8("Птр")) << "the entry stays in the local table";
  EXPECT_EQ(HighScores[6].Score, 3000);
}

INSTANTIATE_TEST_SUITE_P(Services, SendingTest,
                         ::testing::Values(TAnswer{"Refused", 0, 0, 2, 1}, TAnswer{"ServerError", 500, 0, 2, 1},
                                           TAnswer{"Answered", 200, 0, 2, 2},
                                           TAnswer{"SlowThreeSeconds", 200, 3000, 548, 2},
                                           TAnswer{"NeverAnswers", 200, -1, 730, 1}),
                         [](const auto& info) { return std::string(info.param.Case); });

// The report a service took is followed by the recording of the game, to
// the report's own address with "rec" for "hs": the race as played, ending
// with the reported score. The report itself is unchanged.
TEST_F(NameEntryTest, TheRecordingOfTheGameFollowsATakenReport) {
  Machine.HttpStatus = 200;
  Type("Ann");
  FormKeyPress(13);
  Tick(2);
  ASSERT_EQ(Machine.HttpRequests.size(), 2u);
  const THttpGet& get = Machine.HttpRequests[0];
  const THttpGet& post = Machine.HttpRequests[1];
  EXPECT_FALSE(get.Post);
  EXPECT_TRUE(get.Body.empty());
  EXPECT_EQ(get.Url, ScoreReportUrl("Ann", 3000, Country));
  EXPECT_TRUE(post.Post);
  const std::string code = get.Url.substr(get.Url.find("&inf=") + 5);
  EXPECT_EQ(post.Url, ScoreServerAddress() + "/cgi/version.pl?rec&prg=Voltrace2&inf=" + code);
  TRecording sent;
  std::string why;
  ASSERT_TRUE(DecodeRecording(reinterpret_cast<const uint8_t*>(post.Body.data()), post.Body.size(), sent, why)) << why;
  EXPECT_EQ(sent.FinalScore, 3000);
  EXPECT_GT(sent.Ticks.size(), 150u) << "the race's frames up to the leave";
  EXPECT_EQ(GameScreen, 4);
}

TEST_F(NameEntryTest, ClosingTheWindowWhileSendingShowsTheTableAndAsksToLeave) {
  Machine.HttpAnswerMs = -1;
  Type("Ann");
  FormKeyPress(13);
  Tick(10);
  ASSERT_EQ(OverlayWindow, 9);
  ASSERT_EQ(Machine.HttpPending(), 1);
  FormCloseQuery();
  EXPECT_EQ(Machine.HttpPending(), 0) << "the report is dropped at once";
  Tick(1);
  EXPECT_EQ(GameScreen, 4);
  EXPECT_EQ(OverlayWindow, 1) << "the leave question, over the table";
  EXPECT_EQ(HighScores[6].Name, "Ann");
  SelectItem(12);  // No: the table stays
  Tick(1);
  EXPECT_EQ(OverlayWindow, 0);
  EXPECT_EQ(GameScreen, 4);
}

}  // namespace
