#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/script_support.h"

namespace {

namespace fs = std::filesystem;

struct TBreakCase {
  const char* File;
  const char* How;
};

void PrintTo(const TBreakCase& c, std::ostream* os) { *os << c.File << " " << c.How; }

class StartupFailure : public ::testing::TestWithParam<TBreakCase> {};

TEST_P(StartupFailure, NamesTheFileAndStopsWithoutCrashing) {
  const TBreakCase c = GetParam();
  TGameFolder game;
  const fs::path target = game.Root / "Data/Res" / c.File;
  const std::string how = c.How;
  if (how == "missing") {
    fs::remove(target);
  } else if (how == "truncated") {
    fs::resize_file(target, fs::file_size(target) / 2);
  } else if (how == "garbage") {
    std::ofstream(target, std::ios::binary) << "this is not an archive at all";
  } else if (how == "empty") {
    std::ofstream(target, std::ios::binary).flush();
  }
  const TScriptResult r = RunScript("wait 1\ndump\n", game.Root.string());
  EXPECT_EQ(r.ExitCode, 1) << r.Output;
  EXPECT_TRUE(r.Dumps.empty());
  EXPECT_NE(r.Output.find(std::string("Data/Res/") + c.File), std::string::npos) << r.Output;
}

INSTANTIATE_TEST_SUITE_P(Archives, StartupFailure,
                         ::testing::Values(TBreakCase{"Res1.dxg", "missing"}, TBreakCase{"Res2.dxg", "truncated"},
                                           TBreakCase{"Sounds.dxw", "garbage"}, TBreakCase{"Res1.dxg", "empty"},
                                           TBreakCase{"Sounds.dxw", "truncated"}),
                         [](const auto& info) { return std::string(info.param.How) + "_" + std::to_string(info.index); });

TEST(StartupFailure, IntactCopiesStartTheMenu) {
  TGameFolder game;
  const TScriptResult r = RunScript("wait 1\ndump\n", game.Root.string());
  ASSERT_EQ(r.ExitCode, 0) << r.Output;
  ASSERT_EQ(r.Dumps.size(), 1u);
  EXPECT_EQ(JsonNumber(r.Dumps[0], "GameScreen"), 1);
}

}  // namespace
