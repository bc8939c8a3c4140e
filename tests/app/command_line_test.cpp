#include <gtest/gtest.h>

#include <vector>

#include "app/command_line.h"

namespace {

TCommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "voltrace2");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, ChoicesForOneStart) {
  EXPECT_EQ(Parse({}).Action, TCommandLine::Play);
  EXPECT_EQ(Parse({}).DisplayMode, -1) << "the options file decides";
  EXPECT_EQ(Parse({"--fullscreen"}).DisplayMode, 1);
  EXPECT_EQ(Parse({"--windowed"}).DisplayMode, 0);
  EXPECT_EQ(Parse({"--fullscreen", "--windowed"}).DisplayMode, 0) << "the last one said holds";
  EXPECT_EQ(Parse({"--data", "/games/vt"}).DataFolder, "/games/vt");
  EXPECT_EQ(Parse({"--data=/games/vt", "--windowed"}).DataFolder, "/games/vt");
  EXPECT_EQ(Parse({"--version"}).Action, TCommandLine::ShowVersion);
  EXPECT_EQ(Parse({"--version", "--help"}).Action, TCommandLine::ShowHelp);
  EXPECT_EQ(Parse({"--help", "--version"}).Action, TCommandLine::ShowHelp);
}

TEST(CommandLine, RefusesWhatItDoesNotKnow) {
  for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
           {"--full"}, {"-f"}, {"level5"}, {"--data"}, {"--data="}, {"--windowed", "--bogus"}, {"--help", "--bogus"}}) {
    const TCommandLine line = Parse(args);
    EXPECT_EQ(line.Action, TCommandLine::Refuse) << args.back();
    EXPECT_FALSE(line.Error.empty());
  }
}

}  // namespace
