// The real machine's music player is only handed a checked regular file: a
// folder in place of a tune (which crashed inside the music library) is no
// tune, and the real tune still loads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/sdl_platform.h"

namespace {

namespace fs = std::filesystem;

TEST(SdlMusicFile, AFolderInPlaceOfATuneIsNoTune) {
  TSdlPlatform machine;
  ASSERT_TRUE(machine.Open()) << machine.Error;
  const fs::path folder = fs::temp_directory_path() / ("voltrace2-tune-" + std::to_string(getpid()) + ".xm");
  fs::create_directories(folder);
  EXPECT_EQ(machine.SongLoadFromFile(folder.string()), 0);
  EXPECT_EQ(machine.SongLoadFromFile("/dev/null"), 0) << "not a regular file";
  // The tests run with SDL's dummy sound driver, so the mixer is there.
  const int song = machine.SongLoadFromFile("Data/Music/Menu.xm");
  EXPECT_NE(song, 0);
  machine.SongPlay(song);
  machine.SongFree(song);
  machine.Close();
  fs::remove_all(folder);
}

}  // namespace
