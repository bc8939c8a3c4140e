// voltrace2-assets <DataDir> [--previews <Dir>]
// voltrace2-assets --icons <Dir> <Name>
//
// Draws and synthesises every picture and sound of the game and writes the
// archives the game loads: <DataDir>/Res/Res1.dxg, Res2.dxg and Sounds.dxw,
// and composes the two tunes, <DataDir>/Music/Menu.xm and Race.xm.
// With --previews it also writes each picture and the composed screens as
// PNG files, for looking at the art without starting the game, and each
// sound effect as a WAV file.
// With --icons it draws only the desktop icon, into <Dir>/<N>x<N>/apps/<Name>.png
// for each size of the desktop's icon theme.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/catalog.h"
#include "assets/pictures/desktop/icon_art.h"
#include "assets/music/music_tunes.h"
#include "assets/paint/paint.h"
#include "sprites/archive_format.h"
#include "sprites/name_index.h"

namespace fs = std::filesystem;

namespace {

template <typename TItems, typename TBuilder>
TItems BuildAll(const std::vector<TBuilder>& builders) {
  TItems items;
  for (const TBuilder& b : builders) b.Add(items);
  return items;
}

// The lists find items by name regardless of letter case, so two names that
// differ only in case would hide one of the items.
template <typename TItems>
void CheckNames(const TItems& items, const std::string& archive) {
  std::set<std::string> seen;
  for (const auto& item : items) {
    if (item.Name.empty()) throw std::runtime_error(archive + ": an item has no name");
    if (!seen.insert(FoldNameCase(item.Name)).second)
      throw std::runtime_error(archive + ": the name " + item.Name + " is used twice");
  }
}

void CheckPictures(const TImageItems& items, const std::string& archive) {
  CheckNames(items, archive);
  for (const TPictureCollectionItem& item : items) {
    const TSurface& p = item.Picture;
    if (p.Width <= 0 || p.Height <= 0 || p.Pixels.size() != static_cast<size_t>(p.Width) * p.Height)
      throw std::runtime_error(archive + ": " + item.Name + " has no bitmap");
    if (item.PatternWidth < 0 || item.PatternWidth > p.Width || item.PatternHeight < 0 ||
        item.PatternHeight > p.Height)
      throw std::runtime_error(archive + ": " + item.Name + " has a pattern larger than its bitmap");
  }
}

// Written beside the target and renamed over it, so an interrupted run
// never leaves a half-written archive that looks up to date.
void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  const fs::path temp = path.string() + ".part";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + temp.string());
  }
  fs::rename(temp, path);
}

void WritePicturePreviews(const TImageItems& items, const fs::path& dir) {
  fs::create_directories(dir);
  for (const TPictureCollectionItem& item : items) {
    paint::TCanvas canvas(item.Picture.Width, item.Picture.Height);
    paint::BlitSurface(canvas, item.Picture, 0, 0);
    paint::WritePng(canvas, (dir / (item.Name + ".png")).string());
  }
}

// Each effect as a .wav file, to listen to and measure outside the game.
void WriteSoundPreviews(const TWaveItems& items, const fs::path& dir) {
  fs::create_directories(dir);
  for (const TWaveCollectionItem& item : items) WriteFile(dir / (item.Name + ".wav"), item.Wave);
}

int Run(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--icons") {
    paint::RequireFaces();
    WriteIcons(argv[2], argv[3]);
    return 0;
  }
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--previews")) {
    std::fprintf(stderr, "usage: voltrace2-assets <DataDir> [--previews <Dir>]\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const fs::path dataDir = argv[1];
  paint::RequireFaces();

  const TImageItems res1 = BuildAll<TImageItems>(Res1Builders());
  const TImageItems res2 = BuildAll<TImageItems>(Res2Builders());
  const TWaveItems sounds = BuildAll<TWaveItems>(SoundBuilders());
  CheckPictures(res1, "Res1.dxg");
  CheckPictures(res2, "Res2.dxg");
  CheckNames(sounds, "Sounds.dxw");

  const fs::path resDir = dataDir / "Res";
  fs::create_directories(resDir);
  WriteFile(resDir / "Res1.dxg", WriteImageArchive(res1));
  WriteFile(resDir / "Res2.dxg", WriteImageArchive(res2));
  WriteFile(resDir / "Sounds.dxw", WriteWaveArchive(sounds));

  const fs::path musicDir = dataDir / "Music";
  fs::create_directories(musicDir);
  WriteFile(musicDir / "Menu.xm", xm::WriteModule(MenuTune()));
  WriteFile(musicDir / "Race.xm", xm::WriteModule(RaceTune()));

  if (argc == 4) {
    const fs::path previews = argv[3];
    WritePicturePreviews(res1, previews / "res1");
    WritePicturePreviews(res2, previews / "res2");
    for (const TPreviewBuilder& p : PreviewBuilders()) p.Write(res1, res2, previews.string());
    WriteSoundPreviews(sounds, previews / "sounds");
  }

  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("voltrace2-assets: %zu + %zu pictures, %zu sounds in %.2f s\n", res1.size(), res2.size(),
              sounds.size(), seconds);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voltrace2-assets: %s\n", e.what());
    return 1;
  }
}
