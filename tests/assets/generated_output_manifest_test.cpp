// The generator's output, item by item, as decoded pixels and samples: a
// change to how the generator is organised must not change one pixel of the
// art nor one sample of the sounds. The manifest is the generator's output at
// the time it was last blessed; when the art or sound is changed on purpose,
// bless it again from build/ with
//   VT_BLESS_MANIFEST=1 ./voltrace2-tests --gtest_filter='GeneratedOutput*'
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/built_assets.h"

namespace {

const char* const kManifest = VT_FIXTURES "/generated_output.manifest";

struct THash {
  uint64_t Value = 0xcbf29ce484222325ull;
  void Add(const void* data, size_t size) {
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) Value = (Value ^ p[i]) * 0x100000001b3ull;
  }
  template <typename T>
  void AddValue(T v) { Add(&v, sizeof v); }
};

std::string Hex(uint64_t v) {
  char buf[17];
  std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
  return buf;
}

// One line per item: what the game sees of it, not how the archive spells it.
std::vector<std::string> ManifestLines() {
  std::vector<std::string> lines;
  for (int list = 1; list <= 2; ++list)
    for (const TPictureCollectionItem& item : BuiltPictures(list)) {
      THash h;
      h.AddValue(item.Picture.Width);
      h.AddValue(item.Picture.Height);
      h.AddValue(item.PatternWidth);
      h.AddValue(item.PatternHeight);
      h.AddValue(item.SkipWidth);
      h.AddValue(item.SkipHeight);
      h.AddValue(item.Transparent);
      h.AddValue(item.TransparentColor);
      h.Add(item.Picture.Pixels.data(), item.Picture.Pixels.size() * sizeof(uint32_t));
      lines.push_back("picture " + std::to_string(list) + " " + item.Name + " " +
                      std::to_string(item.Picture.Width) + "x" + std::to_string(item.Picture.Height) + " " +
                      Hex(h.Value));
    }
  for (const TWaveCollectionItem& wave : BuiltWaves()) {
    const TPcm pcm = ParseWav(wave.Wave);
    THash h;
    h.AddValue(pcm.Channels);
    h.AddValue(pcm.Rate);
    h.AddValue(pcm.Bits);
    h.AddValue(wave.Looped);
    h.Add(pcm.Samples.data(), pcm.Samples.size() * sizeof(int16_t));
    lines.push_back("wave " + wave.Name + " " + std::to_string(pcm.Samples.size()) + " " + Hex(h.Value));
  }
  for (const char* tune : {"Data/Music/Menu.xm", "Data/Music/Race.xm"}) {
    std::ifstream in(tune, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    THash h;
    h.Add(bytes.data(), bytes.size());
    lines.push_back(std::string("music ") + tune + " " + std::to_string(bytes.size()) + " " + Hex(h.Value));
  }
  return lines;
}

}  // namespace

TEST(GeneratedOutput, MatchesTheBlessedManifest) {
  const std::vector<std::string> now = ManifestLines();
  if (std::getenv("VT_BLESS_MANIFEST")) {
    std::ofstream out(kManifest);
    for (const std::string& line : now) out << line << '\n';
    GTEST_SKIP() << "manifest blessed: " << kManifest;
  }
  std::ifstream in(kManifest);
  ASSERT_TRUE(in) << "no manifest at " << kManifest;
  std::vector<std::string> blessed;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) blessed.push_back(line);
  for (size_t i = 0; i < std::max(now.size(), blessed.size()); ++i) {
    const std::string a = i < blessed.size() ? blessed[i] : "(nothing)";
    const std::string b = i < now.size() ? now[i] : "(nothing)";
    EXPECT_EQ(a, b) << "item " << i << " differs from the blessed output";
  }
}
