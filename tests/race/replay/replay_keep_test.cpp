// The kept recordings: the last game and the best of each start level,
// beside the saves, written whole, and a bad file refused with one line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>

#include "race/replay/replay_keep.h"
#include "race/replay/replay_run.h"
#include "shell/save_files.h"

namespace {

namespace fs = std::filesystem;

TRecording Game(int32_t score, int32_t startLevel = 1) {
  TRecording r;
  r.SelectedCar = 2;
  r.StartLevel = startLevel;
  r.FinalScore = score;
  r.FinalLevel = startLevel;
  r.Ticks = {{rtWindow, 0, 12, 11, 1.0}, {rtRace, rkAccelerate, 12, 11, 1.0}};
  r.Path = {{100.5f, 200.25f, 3, 1}};
  return r;
}

int32_t KeptScore(const char* which) {
  TRecording r;
  return KeptRecording(which, r) ? r.FinalScore : -1;
}

class KeptRecordings : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("voltrace2-kept-" + std::to_string(getpid()));
    fs::remove_all(Folder);
    SaveFolder = (Folder / "Save").string();
  }
  void TearDown() override {
    SaveCallHook = nullptr;
    SaveFolder = "Data/Save";
    fs::remove_all(Folder);
  }
  void Put(const std::string& which, const std::string& bytes) {
    std::ofstream(KeptRecordingPath(which), std::ios::binary | std::ios::trunc) << bytes;
  }
  fs::path Folder;
};

TEST_F(KeptRecordings, TheLastGameAlwaysAndTheBestPerStartLevel) {
  EXPECT_EQ(KeptScore("last"), -1);
  KeepFinishedRecording(Game(10));
  EXPECT_EQ(KeptScore("last"), 10);
  EXPECT_EQ(KeptScore("best-1"), 10);
  KeepFinishedRecording(Game(5));
  EXPECT_EQ(KeptScore("last"), 5);
  EXPECT_EQ(KeptScore("best-1"), 10) << "a worse game is not the best";
  KeepFinishedRecording(Game(7, 3));
  EXPECT_EQ(KeptScore("best-3"), 7);
  EXPECT_EQ(KeptScore("best-1"), 10) << "each start level has its own best";
  KeepFinishedRecording(Game(20));
  EXPECT_EQ(KeptScore("best-1"), 20);
  EXPECT_TRUE(fs::exists(Folder / "Save/last.vrec")) << "beside the saves";
}

TEST_F(KeptRecordings, ABadFileIsRefusedWithOneLineAndNothingElseIsLost) {
  KeepFinishedRecording(Game(10));
  std::vector<uint8_t> later = EncodeRecording(Game(99));
  later[4] = RecordingVersion + 1;
  const std::string cases[] = {"", "VR2R", "not a recording at all", std::string(later.begin(), later.end())};
  for (const std::string& bytes : cases) {
    Put("best-1", bytes);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(KeptScore("best-1"), -1);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("best-1.vrec"), std::string::npos) << said;
    EXPECT_EQ(KeptScore("last"), 10) << "the other file is untouched";
  }
  // The next game takes the refused file's place.
  ::testing::internal::CaptureStderr();
  KeepFinishedRecording(Game(1));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(KeptScore("best-1"), 1);
}

TEST_F(KeptRecordings, AWriteThatFailsLeavesTheKeptFileWhole) {
  KeepFinishedRecording(Game(10));
  SaveCallHook = [](const char* call, const std::string&) { return std::string(call) == "rename" ? ENOSPC : 0; };
  ::testing::internal::CaptureStderr();
  KeepFinishedRecording(Game(30));
  ::testing::internal::GetCapturedStderr();
  SaveCallHook = nullptr;
  EXPECT_EQ(KeptScore("last"), 10);
  EXPECT_EQ(KeptScore("best-1"), 10);
}

}  // namespace
