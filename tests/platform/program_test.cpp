// The real program as a player, a terminal or a desktop runs it: its
// command line, and the signals that end it (logging out, Ctrl+C, a closed
// terminal), under SDL's dummy drivers.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A throw-away game folder with the built archives, the music and the fonts.
struct TPlayFolder {
  TPlayFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "-" + test->name();
    for (char& c : name)
      if (c == '/') c = '-';
    Root = fs::temp_directory_path() / ("voltrace2-program-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(Root);
    fs::create_directories(Root / "Data");
    for (const char* sub : {"Res", "Music", "Fonts"})
      fs::copy(fs::path("Data") / sub, Root / "Data" / sub, fs::copy_options::recursive);
  }
  ~TPlayFolder() { fs::remove_all(Root); }
  fs::path Root;
};

// Starts the program with Args; its standard output and error go to files.
struct TProgram {
  explicit TProgram(const std::vector<std::string>& args, const fs::path& folder) : Folder(folder) {
    std::vector<std::string> all = {VT_GAME};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (folder / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, (folder / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    Started = posix_spawn(&Pid, VT_GAME, &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~TProgram() {
    if (Pid > 0 && !Ended) {
      kill(Pid, SIGKILL);
      waitpid(Pid, nullptr, 0);
    }
  }
  // Waits at most Seconds for the program to end; its exit status, or -1.
  int Wait(double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (Clock::now() < until) {
      if (waitpid(Pid, &status, WNOHANG) == Pid) {
        Ended = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
  }
  // True once the program has said Text on its standard error.
  bool WaitToSay(const std::string& text, double seconds) {
    const auto until = Clock::now() + std::chrono::duration<double>(seconds);
    while (Clock::now() < until) {
      if (ReadAll(Folder / "stderr").find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
  }
  std::string Out() const { return ReadAll(Folder / "stdout"); }
  std::string Err() const { return ReadAll(Folder / "stderr"); }
  fs::path Folder;
  pid_t Pid = -1;
  bool Started = false;
  bool Ended = false;
};

TEST(ProgramCommandLine, HelpVersionAndUnknownOptions) {
  const fs::path folder = fs::temp_directory_path() / ("voltrace2-cli-" + std::to_string(getpid()));
  fs::create_directories(folder);
  {
    TProgram help({"--help"}, folder);
    ASSERT_TRUE(help.Started);
    EXPECT_EQ(help.Wait(10), 0);
    EXPECT_NE(help.Out().find("Usage: voltrace2"), std::string::npos) << help.Out();
    EXPECT_NE(help.Out().find("--fullscreen"), std::string::npos);
  }
  {
    TProgram version({"--version"}, folder);
    EXPECT_EQ(version.Wait(10), 0);
    EXPECT_EQ(version.Out().rfind("voltrace2 ", 0), 0u) << version.Out();
  }
  for (const char* bad : {"--fullscreeen", "-x", "play", "--data"}) {
    TProgram refused({bad}, folder);
    EXPECT_EQ(refused.Wait(10), 2) << bad;
    EXPECT_NE(refused.Err().find("Usage: voltrace2"), std::string::npos) << bad << ": " << refused.Err();
    EXPECT_TRUE(refused.Out().empty()) << bad;
  }
  fs::remove_all(folder);
}

// Each end signal ends the game within a second, with the exit saves and
// without the "leave?" question (which nobody would answer).
class EndSignal : public ::testing::TestWithParam<int> {};

TEST_P(EndSignal, EndsTheGameAtOnceWithItsExitSaves) {
  TPlayFolder game;
  TProgram program({"--data", game.Root.string(), "--fullscreen"}, game.Root);
  ASSERT_TRUE(program.Started);
  ASSERT_TRUE(program.WaitToSay("voltrace2: saving in", 20)) << program.Err();
  // Well into the main menu's frames.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  ASSERT_FALSE(fs::exists(game.Root / "Data/Save/options")) << "nothing is saved before the end";
  ASSERT_EQ(kill(program.Pid, GetParam()), 0);
  const auto sent = Clock::now();
  EXPECT_EQ(program.Wait(5), 0) << program.Err();
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - sent).count(), 1.0);
  EXPECT_TRUE(fs::is_regular_file(game.Root / "Data/Save/options")) << program.Err();
  EXPECT_TRUE(fs::is_regular_file(game.Root / "Data/Save/hs"));
  // The display mode asked for on the command line is kept like a switch.
  EXPECT_EQ(ReadAll(game.Root / "Data/Save/options").substr(0, 1), "1");
}

INSTANTIATE_TEST_SUITE_P(Signals, EndSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
