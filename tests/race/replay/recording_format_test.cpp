#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "race/replay/recording.h"

namespace {

// A small game of every kind of frame: runs of equal ticks, a lone one, a
// resume, a path going both ways across zero with the heading wrapping, two
// levels, a name in the game's 8-bit text.
TRecording Sample() {
  TRecording r;
  r.RandomState = 0xDEADBEEF;
  r.SelectedCar = 4;
  r.RefreshRate = 144;
  r.StartLevel = 1;
  r.FinalScore = 1234;
  r.FinalLevel = 2;
  r.Name = "\xC8\xE3\xEE\xF0\xFC";  // "Игорь"
  for (int i = 0; i < 30; ++i) r.Ticks.push_back({rtWindow, 0, 7, 6, 85.0 / 144});
  for (int i = 0; i < 50; ++i) {
    const uint8_t keys = static_cast<uint8_t>(i < 20 ? rkAccelerate : rkAccelerate | rkLeft | (i % 7 == 0 ? rkFire : 0));
    r.Ticks.push_back({rtRace, keys, i == 33 ? 250 : 7, i % 3 == 0 ? 7 : 6, 85.0 / 144});
    const float x = 23000.5f - 3.25f * static_cast<float>(i) * static_cast<float>(i);
    r.Path.push_back({x, -0.001f * static_cast<float>(i), static_cast<int16_t>(250 + 3 * i), static_cast<uint8_t>(i != 40)});
  }
  r.Ticks.push_back({rtResume, 0, 0, 6, 85.0 / 144});
  r.Ticks.push_back({rtRace, rkBrake | rkHorn | rkNitro | rkRight | rkHandbrake, 7, 7, 1.0});
  r.Path.push_back({1e7f, 3.5f, -32768, 1});
  r.Levels = {{1, 0, 0, 0x12345678}, {2, 81, 50, 0xFFFFFFFF}};
  return r;
}

void ExpectSame(const TRecording& a, const TRecording& b) {
  EXPECT_EQ(a.RandomState, b.RandomState);
  EXPECT_EQ(a.SelectedCar, b.SelectedCar);
  EXPECT_EQ(a.RefreshRate, b.RefreshRate);
  EXPECT_EQ(a.StartLevel, b.StartLevel);
  EXPECT_EQ(a.FinalScore, b.FinalScore);
  EXPECT_EQ(a.FinalLevel, b.FinalLevel);
  EXPECT_EQ(a.Name, b.Name);
  ASSERT_EQ(a.Ticks.size(), b.Ticks.size());
  for (size_t i = 0; i < a.Ticks.size(); ++i) {
    const TRecordedTick &x = a.Ticks[i], &y = b.Ticks[i];
    EXPECT_TRUE(x.Kind == y.Kind && x.Keys == y.Keys && x.LagCount == y.LagCount && x.FrameMs == y.FrameMs &&
                std::memcmp(&x.SpeedFactor, &y.SpeedFactor, sizeof(double)) == 0)
        << "tick " << i;
  }
  ASSERT_EQ(a.Path.size(), b.Path.size());
  for (size_t i = 0; i < a.Path.size(); ++i) {
    const TGhostPoint &x = a.Path[i], &y = b.Path[i];
    EXPECT_TRUE(std::memcmp(&x.TownX, &y.TownX, sizeof(float)) == 0 && std::memcmp(&x.TownY, &y.TownY, sizeof(float)) == 0 &&
                x.Heading == y.Heading && x.Visible == y.Visible)
        << "point " << i;
  }
  ASSERT_EQ(a.Levels.size(), b.Levels.size());
  for (size_t i = 0; i < a.Levels.size(); ++i) {
    EXPECT_EQ(a.Levels[i].Level, b.Levels[i].Level);
    EXPECT_EQ(a.Levels[i].FirstTick, b.Levels[i].FirstTick);
    EXPECT_EQ(a.Levels[i].FirstPathPoint, b.Levels[i].FirstPathPoint);
    EXPECT_EQ(a.Levels[i].TownFingerprint, b.Levels[i].TownFingerprint);
  }
}

bool Decode(const std::vector<uint8_t>& bytes, TRecording& out, std::string& error) {
  return DecodeRecording(bytes.data(), bytes.size(), out, error);
}

TEST(RecordingFormat, ReadsBackExactlyWhatWasWritten) {
  const TRecording r = Sample();
  TRecording back;
  std::string error;
  ASSERT_TRUE(Decode(EncodeRecording(r), back, error)) << error;
  ExpectSame(r, back);
  TRecording empty;
  empty.SelectedCar = 1;
  ASSERT_TRUE(Decode(EncodeRecording(empty), back, error)) << error;
  ExpectSame(empty, back);
}

TEST(RecordingFormat, EveryCutOfTheFileIsRefused) {
  const std::vector<uint8_t> bytes = EncodeRecording(Sample());
  TRecording out = Sample();
  out.FinalScore = 77;
  for (size_t n = 0; n < bytes.size(); ++n) {
    // A copy of exactly n bytes, so that a read past them is an error the
    // address checker sees.
    const std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    std::string error;
    ASSERT_FALSE(DecodeRecording(cut.data(), cut.size(), out, error)) << "cut at " << n;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line";
  }
  EXPECT_EQ(out.FinalScore, 77) << "a refused file leaves the recording as it was";
}

TEST(RecordingFormat, EveryFlippedByteIsRefusedOrReadAsWritten) {
  // A byte changed anywhere either is refused or (in a field the format
  // cannot check, such as the score) reads back as a sound recording that
  // differs from the original only there: never a crash, never a misread
  // body.
  const TRecording r = Sample();
  const std::vector<uint8_t> bytes = EncodeRecording(r);
  size_t refused = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::vector<uint8_t> bad = bytes;
    bad[i] ^= 0x41;
    TRecording out;
    std::string error;
    if (!Decode(bad, out, error)) {
      ++refused;
      continue;
    }
    EXPECT_EQ(out.Ticks.size(), r.Ticks.size()) << "byte " << i;
    EXPECT_EQ(out.Path.size(), r.Path.size()) << "byte " << i;
  }
  // Only the header's numbers and the name can change unseen; the packed
  // body is held by its checksum.
  EXPECT_GT(refused, bytes.size() - 40);
}

struct TBadCase {
  const char* Name;
  std::function<void(TRecording&)> Spoil;      // made before writing
  std::function<void(std::vector<uint8_t>&)> Damage;  // made to the written bytes
  const char* Says;                            // a word the refusal must hold
};

void PrintTo(const TBadCase& c, std::ostream* os) { *os << c.Name; }

// Offsets in the header: magic 0, version 4, random state 6, car 10, rate
// 14, start level 18, score 22, level 26, name length 30.
void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
size_t CountsAt(const std::vector<uint8_t>& b) { return 31 + b[30]; }

class RefusedRecording : public ::testing::TestWithParam<TBadCase> {};

TEST_P(RefusedRecording, IsRefusedWithItsReason) {
  const TBadCase& c = GetParam();
  TRecording r = Sample();
  if (c.Spoil) c.Spoil(r);
  std::vector<uint8_t> bytes = EncodeRecording(r);
  if (c.Damage) c.Damage(bytes);
  TRecording out;
  std::string error;
  EXPECT_FALSE(Decode(bytes, out, error));
  EXPECT_NE(error.find(c.Says), std::string::npos) << error;
  EXPECT_TRUE(out.Ticks.empty());
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedRecording,
    ::testing::Values(
        TBadCase{"Foreign", nullptr, [](auto& b) { b[0] = 'P'; }, "not a recording"},
        TBadCase{"LaterVersion", nullptr, [](auto& b) { b[4] = RecordingVersion + 1; }, "version 2"},
        TBadCase{"EarlierVersion", nullptr, [](auto& b) { b[4] = 0; }, "version 0"},
        TBadCase{"NoCar", [](auto& r) { r.SelectedCar = 0; }, nullptr, "start"},
        TBadCase{"SeventhCar", [](auto& r) { r.SelectedCar = 7; }, nullptr, "start"},
        TBadCase{"NegativeRate", [](auto& r) { r.RefreshRate = -1; }, nullptr, "start"},
        TBadCase{"LevelZero", [](auto& r) { r.StartLevel = 0; }, nullptr, "start"},
        TBadCase{"NameTooLong", nullptr, [](auto& b) { b[30] = 200; }, "name"},
        TBadCase{"ControlInName", [](auto& r) { r.Name = "a\nb"; }, nullptr, "name"},
        TBadCase{"TooManyTicks", nullptr, [](auto& b) { PutU32(b, CountsAt(b), MaxRecordedTicks + 1); }, "claims"},
        TBadCase{"MorePointsThanTicks", nullptr, [](auto& b) { PutU32(b, CountsAt(b) + 4, 1000); }, "claims"},
        TBadCase{"HugeBody", nullptr, [](auto& b) { PutU32(b, CountsAt(b) + 12, 0x7FFFFFFF); }, "claims"},
        TBadCase{"BodyShorterThanSaid", nullptr, [](auto& b) { PutU32(b, CountsAt(b) + 12, 3); }, "unpack"},
        TBadCase{"WrongChecksum", nullptr, [](auto& b) { b[CountsAt(b) + 16] ^= 1; }, "checksum"},
        TBadCase{"TrailingBytes", nullptr, [](auto& b) { b.push_back(0); }, "unpack"},
        TBadCase{"FewerTicksThanSaid", nullptr, [](auto& b) { PutU32(b, CountsAt(b), 81); }, ""},
        TBadCase{"UnknownTickKind", [](auto& r) { r.Ticks[5].Kind = 3; }, nullptr, "kind"},
        TBadCase{"NegativeFrameTime", [](auto& r) { r.Ticks[5].FrameMs = -1; }, nullptr, "no game"},
        TBadCase{"SecondLongFrame", [](auto& r) { r.Ticks[5].FrameMs = 1001; }, nullptr, "no game"},
        TBadCase{"ScaleNotANumber", [](auto& r) { r.Ticks[5].SpeedFactor = NaN; }, nullptr, "no game"},
        TBadCase{"ScaleZero", [](auto& r) { r.Ticks[5].SpeedFactor = 0; }, nullptr, "no game"},
        TBadCase{"NegativeLag", [](auto& r) { r.Ticks[5].LagCount = -5; }, nullptr, "no game"},
        TBadCase{"PathShortOfTheRaceTicks", [](auto& r) { r.Path.pop_back(); }, nullptr, "path"},
        TBadCase{"PathPointNotANumber", [](auto& r) { r.Path[3].TownX = std::nanf(""); }, nullptr, "path"},
        TBadCase{"VisibleNeitherYesNorNo", [](auto& r) { r.Path[3].Visible = 2; }, nullptr, "path"},
        TBadCase{"LevelsOutOfOrder", [](auto& r) { std::swap(r.Levels[0], r.Levels[1]); }, nullptr, "levels"},
        TBadCase{"LevelAfterTheEnd", [](auto& r) { r.Levels[1].FirstTick = 1000; }, nullptr, "levels"},
        TBadCase{"LevelZeroInside", [](auto& r) { r.Levels[1].Level = 0; }, nullptr, "levels"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(RecordingFormat, ASteadyRaceTakesLittleRoom) {
  // Ten minutes at 144 Hz on one key: the runs and the path's differences must
  // pack it far below the 24 bytes a tick and 11 bytes a point it holds in
  // memory, or the kept files and the uploads grow with every minute.
  TRecording r;
  for (int i = 0; i < 144 * 600; ++i) {
    r.Ticks.push_back({rtRace, rkAccelerate, 7, 6, 85.0 / 144});
    r.Path.push_back({1000.0f + 0.5f * static_cast<float>(i % 1000), 50000.0f - 2.0f * static_cast<float>(i % 20000), 0, 1});
  }
  EXPECT_LT(EncodeRecording(r).size(), r.Ticks.size() * 2);
}

}  // namespace
