// The game's send over the real network against services that refuse,
// fail, answer slowly or never: the window keeps drawing all the while, the
// table opens within the report's time-out, and the entry stays in the
// local table. The game runs in-process on the headless machine with its
// real network, ticked at the real clock.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "platform/headless_platform.h"
#include "race/overlay_windows.h"
#include "race/race_state.h"
#include "screens/activate_item.h"
#include "screens/score_report.h"
#include "shell/game_state.h"
#include "shell/highscores.h"
#include "shell/main_window.h"
#include "shell/settings.h"

namespace {

using Clock = std::chrono::steady_clock;

// A loopback socket on a free port: listening (connections complete but are
// never answered) or closed again (connections are refused).
struct TRawPort {
  explicit TRawPort(bool listening) {
    Fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(Fd, reinterpret_cast<sockaddr*>(&a), &len);
    Port = ntohs(a.sin_port);
    if (listening) listen(Fd, 16);
    else Close();
  }
  ~TRawPort() { Close(); }
  void Close() {
    if (Fd >= 0) close(Fd);
    Fd = -1;
  }
  int Fd = -1;
  int Port = 0;
};

// A service that answers with a status after a delay, and remembers what
// the game asked.
struct TAnsweringService {
  TAnsweringService(int status, int delayMs) {
    Http.Get("/cgi/version.pl", [this, status, delayMs](const httplib::Request& req, httplib::Response& res) {
      {
        std::lock_guard<std::mutex> hold(Lock);
        Target = req.target;
        Headers = req.headers;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
      res.status = status;
      res.set_content("x", "text/plain");
    });
    Port = Http.bind_to_any_port("127.0.0.1");
    Thread = std::thread([this] { Http.listen_after_bind(); });
    while (!Http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TAnsweringService() {
    Http.stop();
    Thread.join();
  }
  httplib::Server Http;
  std::thread Thread;
  int Port = 0;
  std::mutex Lock;
  std::string Target;
  httplib::Headers Headers;
};

class ScoreSendTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Machine.UseRealNetwork();
    Platform = &Machine;
    ResetGame();
    FormCreate(3);
    ResetHighScores();
    Tick(50);
    SelectItem(1);  // car selection
    Tick(2);
    SelectItem(3);  // start
    Tick(200);
    ASSERT_EQ(GameScreen, 6);
    Score = 3000;
    Country = "UK";
    OpenOverlay(2);
    Tick(1);
    SelectItem(11);  // leave: the score asks for a name
    Tick(1);
    ASSERT_EQ(OverlayWindow, 8);
    for (char c : std::string("Ann")) FormKeyPress(static_cast<unsigned char>(c));
    // Short time-outs keep the test short; the game's own are longer.
    SavedConnect = ScoreReportConnectTimeoutMs;
    SavedTotal = ScoreReportTotalTimeoutMs;
    ScoreReportConnectTimeoutMs = 1000;
    ScoreReportTotalTimeoutMs = 2000;
  }
  void TearDown() override {
    ScoreReportConnectTimeoutMs = SavedConnect;
    ScoreReportTotalTimeoutMs = SavedTotal;
    unsetenv("VOLTRACE2_SCORE_SERVER");
    ResetGame();
    Platform = nullptr;
  }
  void Tick(int n) {
    for (int i = 0; i < n; ++i) {
      Machine.NowMs += 12;
      MDXTimerTimer(12);
    }
  }
  // Confirms the name and ticks at 85 a second until the table opens.
  void SendTo(int port) {
    setenv("VOLTRACE2_SCORE_SERVER", ("http://127.0.0.1:" + std::to_string(port)).c_str(), 1);
    FormKeyPress(13);
    ASSERT_EQ(OverlayWindow, 9);
    const Clock::time_point start = Clock::now();
    while (GameScreen != 4 && Clock::now() - start < std::chrono::seconds(10)) {
      const Clock::time_point before = Clock::now();
      Tick(1);
      const double ms = std::chrono::duration<double, std::milli>(Clock::now() - before).count();
      LongestTickMs = std::max(LongestTickMs, ms);
      if (OverlayWindow == 9) ++NoticeTicks;
      std::this_thread::sleep_until(before + std::chrono::microseconds(1000000 / 85));
    }
    ElapsedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  void ExpectTheTableWithTheEntry() {
    EXPECT_EQ(GameScreen, 4);
    EXPECT_EQ(OverlayWindow, 0);
    EXPECT_LE(ElapsedMs, ScoreReportTotalTimeoutMs + 1000.0) << "the table opens within the report's time-out";
    // A send on the frame loop would hold one tick for the whole wait.
    EXPECT_LT(LongestTickMs, 500.0) << "the window kept drawing";
    EXPECT_EQ(HighScores[6].Name, "Ann");
    EXPECT_EQ(HighScores[6].Score, 3000);
    EXPECT_EQ(Machine.HttpPending(), 0);
  }

  THeadlessPlatform Machine;
  int SavedConnect = 0, SavedTotal = 0;
  double LongestTickMs = 0, ElapsedMs = 0;
  int NoticeTicks = 0;
};

TEST_F(ScoreSendTest, RefusedConnection) {
  TRawPort closed(false);
  SendTo(closed.Port);
  ExpectTheTableWithTheEntry();
}

TEST_F(ScoreSendTest, ServerErrorAndTheRequestAsTheGameSendsIt) {
  ASSERT_STREQ(VT_REPORT_KEY, "V") << "the code below is for the key letter V";
  TAnsweringService service(500, 0);
  SendTo(service.Port);
  ExpectTheTableWithTheEntry();
  std::lock_guard<std::mutex> hold(service.Lock);
  // "type=0|name=Ann|score=3000|key=V|p=|add=UK|z=", 45 bytes, 72 symbols.
  EXPECT_EQ(service.Target,
            "/cgi/version.pl?hs&prg=Voltrace2&inf="
            "QT61A3K7GB8G62MPNW8WC5VQRT3YG55UNW8VGNBSGB8GY3M3HXMH26B7RTSYJ3B7LXF128T7");
  auto header = [&](const char* name) {
    auto it = service.Headers.find(name);
    return it == service.Headers.end() ? std::string("(none)") : it->second;
  };
  EXPECT_EQ(header("Accept"), "text/html, */*");
  EXPECT_EQ(header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
  EXPECT_EQ(header("Content-Type"), "text/html");
}

TEST_F(ScoreSendTest, SlowAnswerIsWaitedForWithTheNoticeUp) {
  TAnsweringService service(200, 1200);
  SendTo(service.Port);
  ExpectTheTableWithTheEntry();
  EXPECT_GE(ElapsedMs, 1200.0) << "the answer was waited for";
  EXPECT_GT(NoticeTicks, 50) << "and the notice drawn all the while";
}

TEST_F(ScoreSendTest, ServiceThatNeverAnswersIsGivenUp) {
  TRawPort silent(true);
  SendTo(silent.Port);
  ExpectTheTableWithTheEntry();
  EXPECT_GE(ElapsedMs, ScoreReportTotalTimeoutMs - 100.0) << "given up by the time-out, not before";
  EXPECT_GT(NoticeTicks, 80);
}

}  // namespace
