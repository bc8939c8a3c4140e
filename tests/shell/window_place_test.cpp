#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/headless_platform.h"
#include "shell/main_window.h"
#include "shell/save_files.h"
#include "shell/window_place.h"

namespace {

namespace fs = std::filesystem;

class WindowPlaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Folder = fs::temp_directory_path() / ("voltrace2-window-" + std::to_string(getpid()));
    fs::remove_all(Folder);
    fs::create_directories(Folder);
    SaveFolder = Folder.string();
    Platform = &Machine;
  }
  void TearDown() override {
    Platform = nullptr;
    SaveFolder = "Data/Save";
    fs::remove_all(Folder);
  }
  void WriteFile(const std::string& text) { std::ofstream(Folder / "window", std::ios::binary) << text; }
  std::string ReadFile() {
    std::ifstream in(Folder / "window", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  fs::path Folder;
  THeadlessPlatform Machine;
};

TEST_F(WindowPlaceTest, ThePlaceComesBackFromTheLastRun) {
  WriteFile("120\r\n-30\r\n");
  LoadWindowPlace();
  EXPECT_TRUE(Machine.HasWindowPlace);
  EXPECT_EQ(Machine.WindowX, 120);
  EXPECT_EQ(Machine.WindowY, -30);

  Machine.SetWindowPlace(7, 900);
  ASSERT_TRUE(SaveWindowPlace());
  EXPECT_EQ(ReadFile(), "7\r\n900\r\n");
}

TEST_F(WindowPlaceTest, NoFileOrAnUnreadableOneLeavesTheWindowCentred) {
  LoadWindowPlace();
  EXPECT_FALSE(Machine.HasWindowPlace);
  for (const char* text : {"", "120\r\n", "left\r\ntop\r\n"}) {
    WriteFile(text);
    LoadWindowPlace();
    EXPECT_FALSE(Machine.HasWindowPlace) << text;
  }
  // A machine without a window writes nothing.
  fs::remove(Folder / "window");
  EXPECT_TRUE(SaveWindowPlace());
  EXPECT_FALSE(fs::exists(Folder / "window"));
}

// Start-up hands the stored place to the window before the display mode is
// applied; the exit writes the place the window has then.
TEST_F(WindowPlaceTest, StartUpAndExitCarryThePlace) {
  ResetGame();
  WriteFile("33\r\n44\r\n");
  FormCreate(1);
  EXPECT_TRUE(Machine.HasWindowPlace);
  EXPECT_EQ(Machine.WindowX, 33);
  EXPECT_EQ(Machine.WindowY, 44);
  Machine.SetWindowPlace(-8, 1200);
  ShutDown();
  EXPECT_EQ(ReadFile(), "-8\r\n1200\r\n");
  ResetGame();
}

}  // namespace
