// libFuzzer target for the two save files. The input is one mode byte, the
// options file, a zero byte and the table file. Mode 1 leaves them as a
// committed save that a stop left unrenamed, mode 2 as the temporaries of a
// save stopped before its commit, else they are the files themselves. Then
// the start-up runs (finishing or dropping the interrupted save, reading,
// the checksum rule), the exit save writes both, and a second start must
// read back exactly what the first one had. Built and run by tools/fuzz.sh.
// The target moves into a folder of its own, so give it the corpus folders
// by absolute paths.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/highscores.h"
#include "shell/options_file.h"
#include "shell/save_files.h"
#include "shell/save_pair.h"
#include "shell/settings.h"

namespace {

namespace fs = std::filesystem;

[[noreturn]] void Broken(const char* what) {
  std::fprintf(stderr, "save files fuzzer: %s\n", what);
  std::abort();
}

struct TState {
  THighScore Table[11];
  uint8_t Full = 0, Music = 0, Sound = 0;
  std::string Place;

  static TState Now() {
    TState s;
    for (int i = 1; i <= 10; ++i) s.Table[i] = HighScores[i];
    s.Full = FullScreen;
    s.Music = MusicOn;
    s.Sound = SoundOn;
    s.Place = Country;
    return s;
  }
  bool operator==(const TState& o) const {
    for (int i = 1; i <= 10; ++i)
      if (Table[i].Name != o.Table[i].Name || Table[i].Score != o.Table[i].Score) return false;
    return Full == o.Full && Music == o.Music && Sound == o.Sound && Place == o.Place;
  }
};

void StartUp() {
  FinishInterruptedSave();
  LoadHighScores();
  LoadOptions();
  if (!HighScoresValid()) ResetHighScores();
}

void Put(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A folder of its own in memory, so the saves' flushes cost nothing.
const fs::path& Home() {
  static const fs::path home = [] {
    fs::path base = fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    fs::path p = base / ("voltrace2-fuzz-save-" + std::to_string(getpid()));
    fs::create_directories(p / "Data/Save");
    fs::current_path(p);
    return p;
  }();
  return home;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  (void)Home();
  if (size < 1) return 0;
  const int mode = data[0] % 3;
  const std::string rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const size_t zero = rest.find('\0');
  const std::string options = rest.substr(0, zero);
  const std::string table = zero == std::string::npos ? std::string() : rest.substr(zero + 1);
  for (const char* f : {"options", "hs", "options.new", "hs.new", "save.commit"})
    fs::remove(fs::path("Data/Save") / f);
  const std::string suffix = mode == 0 ? "" : ".new";
  Put("Data/Save/options" + suffix, options);
  Put("Data/Save/hs" + suffix, table);
  if (mode == 1) Put("Data/Save/save.commit", "");

  SetDefaultOptions();
  ResetHighScores();
  StartUp();
  const TState first = TState::Now();
  if (mode == 2) {
    SetDefaultOptions();
    ResetHighScores();
    if (!(first == TState::Now())) Broken("a save stopped before its commit changed what the start reads");
  }
  if (!SaveOptionsAndHighScores()) Broken("the exit save failed");
  SetDefaultOptions();
  for (int i = 1; i <= 10; ++i) HighScores[i] = {"", 0};
  StartUp();
  if (!(first == TState::Now())) Broken("a saved game did not read back the same");
  if (!HighScoresValid()) Broken("the saved table does not match its checksum");
  return 0;
}
