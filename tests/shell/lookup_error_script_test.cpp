#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "support/script_support.h"
#include "sprites/archive_format.h"

namespace {

// An archive without the hovered look of item 1: hovering it abandons the
// tick that needs the picture, every later tick still runs, and the menu
// works again once another item is hovered.
TEST(LookupErrorScript, AMissingPictureCostsOnlyTheTicksThatNeedIt) {
  TGameFolder game;
  const auto path = game.Root / "Data/Res/Res1.dxg";
  std::vector<uint8_t> colorTable;
  auto items = ReadImageArchive(ReadArchiveFile(path.string()), &colorTable);
  items.erase(std::remove_if(items.begin(), items.end(), [](const auto& i) { return i.Name == "MM_1_A"; }),
              items.end());
  const auto bytes = WriteImageArchive(items, colorTable);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));

  const TScriptResult r = RunScript("wait 50\ndump\nwait 5\ndump\nmouse 400 160\nwait 1\ndump\n", game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 3u);
  EXPECT_EQ(JsonNumber(r.Dumps[1], "Tick"), 55);
  EXPECT_EQ(JsonNumber(r.Dumps[2], "HoverButton"), 2);
  EXPECT_NE(JsonText(r.Dumps[2], "Buttons").find("2 MM_2_A"), std::string::npos) << r.Dumps[2];
  const std::string message = "Image 'MM_1_A' not found";
  const size_t first = r.Output.find(message);
  ASSERT_NE(first, std::string::npos) << r.Output;
  EXPECT_EQ(r.Output.find(message, first + 1), std::string::npos) << "said once, not every tick";
}

}  // namespace
