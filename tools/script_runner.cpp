// voltrace2-script: runs the real game headless from a script.
//
//   voltrace2-script [--real-network] FILE   (FILE "-" reads the script from stdin)
//
// With --real-network the score report really goes to the score service
// (VOLTRACE2_SCORE_SERVER or the built-in address), and while it is under
// way the ticks keep to the real clock so that its time-outs and the game's
// time agree. Without it the network is pretended (see "http").
//
// One command a line; '#' starts a comment. Commands:
//   seed N            the random seed (before the first tick: the start-up seed)
//   refresh HZ        the display's refresh rate (default 85)
//   wait TICKS        runs that many frame ticks at the refresh rate
//   key down NAME     Up Down Left Right Space Z X H P Y N Esc Enter
//   key up NAME       Backspace Shift Ctrl Alt F11; a key delivers what a real
//                     keyboard delivers (typed characters, Alt+Enter)
//   scancode down N   a key by its scancode (USB usage number) as the race's
//   scancode up N     bound keys read it; it types nothing
//   pad down BUTTON   a pad button held (A B X Y Back Guide Start L3 R3 LB RB
//   pad up BUTTON     Up Down Left Right for the D-pad); the A and B buttons
//                     also type Enter and Esc as a real pad does
//   locale NAME       the system locale the machine reports ("en_US.UTF-8");
//                     before the first tick it decides a first start's language
//   language ru|en    chooses the language as the options screen does
//   type TEXT         delivers TEXT (UTF-8) as typed characters
//   mouse X Y         moves the mouse over the drawing area
//   click             a click; doubleclick: a double click (click + double click)
//   dump              prints the game's state as one line of JSON
//   shot FILE.png     writes the back surface as a PNG
//   close             the window's close button
//   score N           sets the race's score (to try the table and the report
//                     with scores a test cannot drive to)
//   http STATUS [MS|hang]  how the pretend score service answers from now on:
//                     STATUS (0: refused) after MS milliseconds (default 0),
//                     or never ("hang": the report runs into its time-out)
//   map FILE          the current level's town: a picture for a .png name,
//                     else the raw map (1500 x 650 bytes, row 1 first)
//   world FILE        every slot of the traffic, pedestrians, pickups and
//                     rockets as JSON
//   give KIND         hands the car a pickup: 1 life, 2 nitro, 3 machine gun,
//                     4 rockets (in a race)
//   level N           starts level N at once, as the next level would start
//                     (in a race)
//   replay save FILE  writes the recording of the race being played, or of
//                     the last one
//   replay watch FILE plays a recording back as the top-ten screen does (on
//                     the top-ten screen)
//   replay trace FILE [full]  from now on, after every frame that ran a
//                     recorded frame of a race (played or watched), appends
//                     the frame's number, its score, level, lives, time,
//                     the car's weapon and ammunition, and a hash of the race's whole state (with "full": the
//                     state itself, far larger)
//   random SEED TICKS seeded random keys, typing, mouse, clicks, the close
//                     button and waits for TICKS ticks (soak runs); a game
//                     that ends is started again
// Data/ is read relative to the working directory; the saves go to Data/Save/
// there, or where the game's own start-up sends them when it cannot be
// written ($XDG_DATA_HOME/voltrace2/Save).
#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "app/start_up.h"
#include "gfx/cp1251.h"
#include "gfx/png_write.h"
#include "gfx/surface.h"
#include "platform/headless_platform.h"
#include "race/player/player.h"
#include "race/race.h"
#include "race/race_state.h"
#include "race/replay/recorder.h"
#include "race/replay/replay_keep.h"
#include "race/replay/replay_run.h"
#include "race/replay/replay_watch.h"
#include "screens/activate_item.h"
#include "screens/buttons.h"
#include "screens/menu_button.h"
#include "shell/game_state.h"
#include "shell/language.h"
#include "shell/main_window.h"
#include "shell/sound.h"
#include "sprites/lookup_error.h"
#include "tools/state_dump.h"
#include "tools/town_map.h"
#include "tools/world_dump.h"

namespace {

struct TRunner {
  THeadlessPlatform Machine;
  uint32_t Seed = 1;
  bool Started = false;
  bool AltHeld = false;
  bool ShiftHeld = false;
  bool RealNetwork = false;
  double ClockMs = 0;
  long long Ticks = 0;
  int LineNo = 0;
  // The race trace (replay trace): the file, and the recorded frames already
  // written of the race being recorded or watched.
  std::ofstream Trace;
  bool TraceFull = false;
  size_t TracedTicks = 0;
  const TRecording* TracedRecording = nullptr;

  void Fail(const std::string& message) {
    std::fprintf(stderr, "script line %d: %s\n", LineNo, message.c_str());
    std::exit(2);
  }

  void Start() {
    if (Started) return;
    Started = true;
    RecordSoundCalls = true;
    // The game's own start-up: the same folders, save choice and first
    // screen as a player gets.
    if (!StartGame(Machine, Seed)) std::exit(1);
  }

  void Wait(long long ticks) {
    Start();
    for (long long i = 0; i < ticks && !Terminated; ++i) {
      ClockMs += 1000.0 / Machine.Refresh;
      Machine.NowMs = static_cast<int64_t>(std::floor(ClockMs));
      RunFrame(Machine.NowMs);
      ++Ticks;
      if (Trace.is_open()) TraceFrame();
      if (RealNetwork && Machine.HttpPending() > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(1000000 / Machine.Refresh));
    }
  }

  // One line for the frame's last recorded frame, when it ran one. A frame
  // that only gave the car its sounds back is not a frame of its own in a
  // playback, so it is folded into the next.
  void TraceFrame() {
    const TRecording* r = ReplayWatched ? &WatchedRecording() : LatestRecording();
    const size_t done = ReplayWatched ? WatchedTicks() : r ? r->Ticks.size() : 0;
    if (r != TracedRecording || done < TracedTicks) TracedTicks = 0;
    TracedRecording = r;
    if (r == nullptr || done == TracedTicks) return;
    TracedTicks = done;
    if (r->Ticks[done - 1].Kind == rtResume) return;
    const std::string race = DumpRace();
    Trace << done - 1 << ' ' << Score << ' ' << Level << ' ' << Lives << ' ' << TimeLeft << ' '
          << (Player ? int(Player->WeaponKind) : 0) << ' ' << (Player ? int(Player->Ammo) : 0) << ' ';
    if (TraceFull) {
      Trace << race << '\n';
    } else {
      uint64_t hash = 14695981039346656037ull;
      for (unsigned char c : race) hash = (hash ^ c) * 1099511628211ull;
      char text[24];
      std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
      Trace << text << '\n';
    }
  }

  void Replay(std::istringstream& words) {
    std::string what, file;
    if (!(words >> what >> file)) Fail("replay needs save, watch or trace and a file name");
    Start();
    if (what == "save") {
      const TRecording* r = LatestRecording();
      if (r == nullptr) Fail("replay save: no race recorded that can be played back");
      if (!WriteRecordingFile(file, *r)) Fail("cannot write " + file);
    } else if (what == "watch") {
      std::string error;
      TRecording watched;
      if (!ReadRecordingFile(file, watched, error)) Fail("replay watch: " + file + ": " + error);
      if (GameScreen != 4 || OverlayWindow != 0) Fail("replay watch needs the top-ten screen");
      WatchFromTable(watched);
    } else if (what == "trace") {
      std::string full;
      TraceFull = (words >> full) && full == "full";
      Trace.open(file, std::ios::trunc);
      if (!Trace) Fail("cannot write " + file);
    } else {
      Fail("replay needs save, watch or trace");
    }
  }

  void Type(unsigned char c) {
    if (!Terminated) FormKeyPress(c);
  }

  void Key(bool down, const std::string& name) {
    Start();
    static const std::map<std::string, TGameKey> Polled = {
        {"Up", gkUp}, {"Down", gkDown}, {"Left", gkLeft}, {"Right", gkRight}, {"Space", gkSpace}, {"Z", gkZ},
        {"X", gkX},   {"H", gkH},       {"P", gkP},       {"Y", gkY},         {"N", gkN},         {"Esc", gkEsc}};
    static const std::map<std::string, int> Scancode = {
        {"Enter", ScReturn}, {"Backspace", ScBackspace}, {"Shift", ScLeftShift}, {"Ctrl", ScLeftCtrl},
        {"Alt", ScLeftAlt}};
    if (auto it = Scancode.find(name); it != Scancode.end()) Machine.Scancodes[it->second] = down;
    if (auto it = Polled.find(name); it != Polled.end()) {
      Machine.Keys[it->second] = down;
      if (!down) return;
      // The keys that type something do so on a real keyboard too.
      if (name == "Space") Type(' ');
      else if (name == "Esc") Type(27);
      else if (name.size() == 1) Type(static_cast<unsigned char>(ShiftHeld ? name[0] : name[0] - 'A' + 'a'));
      return;
    }
    if (name == "Shift" || name == "Ctrl") {
      const int vk = name == "Shift" ? VK_SHIFT : VK_CONTROL;
      if (name == "Shift") ShiftHeld = down;
      if (down) FormKeyDown(vk, AltHeld);
      else FormKeyUp(vk);
    } else if (name == "Alt") {
      AltHeld = down;
    } else if (name == "Enter") {
      if (!down) return FormKeyUp(VK_RETURN);
      FormKeyDown(VK_RETURN, AltHeld);
      if (!AltHeld) Type(13);  // Alt+Enter switches the display and types nothing
    } else if (name == "Backspace") {
      if (down) Type(8);
    } else if (name == "F11") {
      if (down) FormKeyDown(VK_F11, AltHeld);
    } else {
      Fail("unknown key '" + name + "'");
    }
  }

  void Pad(bool down, const std::string& name) {
    Start();
    static const char* const Names[PadButtonCount] = {"A",  "B",  "X",  "Y",  "Back", "Guide", "Start", "L3",
                                                      "R3", "LB", "RB", "Up", "Down", "Left",  "Right"};
    for (int b = 0; b < PadButtonCount; ++b) {
      if (name != Names[b]) continue;
      Machine.PadButtons[b] = down;
      // A and B are the pad's Enter and Esc in every screen.
      if (b == pbA && down) Type(13);
      if (b == pbB) Machine.Keys[gkEsc] = down;
      return;
    }
    Fail("unknown pad button '" + name + "'");
  }

  // Soak input: whatever a restless player could do, on every screen the
  // game reaches. Its own generator, so the game's random numbers are left
  // as the game draws them.
  void RandomInput(uint64_t seed, long long ticks) {
    Start();
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    auto next = [&state](uint32_t n) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      return static_cast<int>(state % n);
    };
    static const char* const KeyNames[] = {"Up", "Down", "Left", "Right", "Space", "Z", "X", "H", "P",
                                           "Y",  "N",    "Esc",  "Enter", "Backspace", "Shift", "Ctrl", "Alt"};
    static const unsigned char Odd[] = {8, 13, 27, '!', 0xA8, 0xB8, 0xC0, 0xDF, 0xE0, 0xFF, ' ', '0'};
    const long long end = Ticks + ticks;
    long long restarts = 0;
    unsigned screens = 0, windows = 0;
    while (Ticks < end) {
      screens |= 1u << GameScreen;
      windows |= 1u << OverlayWindow;
      if (Terminated) {
        // The player left the game; the next run starts from the saves it wrote.
        ++restarts;
        ResetGame();
        AltHeld = ShiftHeld = false;
        for (bool& k : Machine.Keys) k = false;
        FormCreate(Seed + static_cast<uint32_t>(restarts), false);
      }
      const int what = next(100);
      if (what < 30) {
        Key(next(3) != 0, KeyNames[next(sizeof KeyNames / sizeof *KeyNames)]);
      } else if (what < 42) {
        Type(next(3) == 0 ? Odd[next(sizeof Odd)] : static_cast<unsigned char>(next(2) ? 'a' + next(26) : 0xC0 + next(64)));
      } else if (what < 52) {
        MDXDrawMouseMove(next(812) - 10, next(612) - 10);
      } else if (what < 62) {
        // Onto one of the buttons shown, so that every screen is reached.
        const int first = std::max(FirstButton, 1), last = std::min(LastButton, ButtonSlots - 1);
        const TMenuButton* b = last >= first ? Buttons[first + next(static_cast<uint32_t>(last - first + 1))] : nullptr;
        if (b) {
          const int w = b->HitWidth == -1 ? b->Width : b->HitWidth, h = b->HitHeight == -1 ? b->Height : b->HitHeight;
          MDXDrawMouseMove(static_cast<int>(b->X) + next(static_cast<uint32_t>(std::max(w, 1))),
                           static_cast<int>(b->Y) + next(static_cast<uint32_t>(std::max(h, 1))));
        }
      } else if (what < 74) {
        MDXDrawClick();
        if (next(4) == 0 && !Terminated) MDXDrawClick();
      } else if (what < 75) {
        FormCloseQuery();
      } else if (what < 76) {
        static const int Rates[] = {60, 75, 85, 100, 144};
        Machine.Refresh = Rates[next(5)];
        ApplyDisplayMode();
      } else {
        Wait(1 + next(next(8) == 0 ? 120 : 12));
      }
    }
    std::string seen = "screens";
    for (int i = 1; i <= 7; ++i)
      if (screens & (1u << i)) seen += " " + std::to_string(i);
    seen += ", windows";
    for (int i = 1; i <= 9; ++i)
      if (windows & (1u << i)) seen += " " + std::to_string(i);
    std::printf("random: %lld ticks, %lld restarts, %s\n", ticks, restarts, seen.c_str());
    std::fflush(stdout);
  }

  void Run(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) {
      ++LineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::istringstream words(line);
      std::string cmd;
      if (!(words >> cmd) || cmd[0] == '#') continue;
      if (cmd == "seed") {
        long long n;
        if (!(words >> n)) Fail("seed needs a number");
        Seed = static_cast<uint32_t>(n);
      } else if (cmd == "refresh") {
        int hz;
        if (!(words >> hz) || hz < 0) Fail("refresh needs a rate in Hz");
        Machine.Refresh = hz;
        if (Started) ApplyDisplayMode();
      } else if (cmd == "wait") {
        long long n;
        if (!(words >> n) || n < 0) Fail("wait needs a tick count");
        if (Machine.Refresh <= 0) Fail("wait needs a refresh rate above 0");
        Wait(n);
      } else if (cmd == "key") {
        std::string dir, name;
        words >> dir >> name;
        if (dir != "down" && dir != "up") Fail("key needs 'down' or 'up'");
        Key(dir == "down", name);
      } else if (cmd == "scancode") {
        std::string dir;
        int code;
        if (!(words >> dir >> code) || (dir != "down" && dir != "up") || code <= 0 || code >= ScancodeCount)
          Fail("scancode needs 'down' or 'up' and a scancode 1..511");
        Start();
        Machine.Scancodes[code] = dir == "down";
      } else if (cmd == "pad") {
        std::string dir, name;
        words >> dir >> name;
        if (dir != "down" && dir != "up") Fail("pad needs 'down' or 'up'");
        Pad(dir == "down", name);
      } else if (cmd == "locale") {
        std::string locale;
        words >> locale;
        Machine.Locale = locale;
      } else if (cmd == "language") {
        std::string code;
        if (!(words >> code) || (code != "ru" && code != "en")) Fail("language needs 'ru' or 'en'");
        Start();
        if (!Terminated) SwitchLanguage(code == "en" ? lgEnglish : lgRussian);
      } else if (cmd == "type") {
        Start();
        std::string rest;
        std::getline(words, rest);
        if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
        for (char c : Cp1251FromUtf8(rest)) Type(static_cast<unsigned char>(c));
      } else if (cmd == "mouse") {
        int x, y;
        if (!(words >> x >> y)) Fail("mouse needs X and Y");
        Start();
        if (!Terminated) MDXDrawMouseMove(x, y);
      } else if (cmd == "click" || cmd == "doubleclick") {
        Start();
        if (!Terminated) MDXDrawClick();
        if (cmd == "doubleclick" && !Terminated) MDXDrawClick();
      } else if (cmd == "dump") {
        Start();
        std::cout << DumpState(Machine, Ticks) << std::endl;
      } else if (cmd == "shot") {
        std::string file;
        if (!(words >> file)) Fail("shot needs a file name");
        Start();
        if (!WritePng(file, BackSurface)) Fail("cannot write " + file);
      } else if (cmd == "map") {
        std::string file;
        if (!(words >> file)) Fail("map needs a file name");
        Start();
        if (!WriteTownMap(file)) Fail("cannot write " + file);
      } else if (cmd == "score") {
        long long n;
        if (!(words >> n) || n < INT32_MIN || n > INT32_MAX) Fail("score needs a 32-bit number");
        Start();
        Score = static_cast<int32_t>(n);
        SpoilRecording();
      } else if (cmd == "http") {
        int status;
        std::string when;
        if (!(words >> status) || status < 0) Fail("http needs a status (0: refused)");
        Machine.HttpStatus = status;
        Machine.HttpAnswerMs = 0;
        if (words >> when) {
          if (when == "hang") Machine.HttpAnswerMs = -1;
          else if (when.find_first_not_of("0123456789") == std::string::npos) Machine.HttpAnswerMs = std::stoi(when);
          else Fail("http needs MS or 'hang' after the status");
        }
      } else if (cmd == "world") {
        std::string file;
        if (!(words >> file)) Fail("world needs a file name");
        Start();
        std::ofstream out(file);
        if (!(out << DumpWorld() << '\n')) Fail("cannot write " + file);
      } else if (cmd == "give") {
        int kind;
        if (!(words >> kind) || kind < 1 || kind > 4) Fail("give needs a kind 1..4");
        Start();
        if (GameScreen != 6 || Player == nullptr) Fail("give needs a race");
        Player->GiveBonus(static_cast<uint8_t>(kind));
        SpoilRecording();
      } else if (cmd == "level") {
        int n;
        if (!(words >> n) || n < 1) Fail("level needs a level number from 1");
        Start();
        if (GameScreen != 6 || Player == nullptr) Fail("level needs a race");
        RecordLevelJump(n);
        Level = n - 1;
        StartLevel(true);
      } else if (cmd == "random") {
        long long seed, ticks;
        if (!(words >> seed >> ticks) || ticks < 0) Fail("random needs a seed and a tick count");
        if (Machine.Refresh <= 0) Fail("random needs a refresh rate above 0");
        RandomInput(static_cast<uint64_t>(seed), ticks);
      } else if (cmd == "replay") {
        Replay(words);
      } else if (cmd == "close") {
        Start();
        if (!Terminated) FormCloseQuery();
      } else {
        Fail("unknown command '" + cmd + "'");
      }
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  static TRunner runner;
  int arg = 1;
  if (arg < argc && std::string(argv[arg]) == "--real-network") {
    runner.RealNetwork = true;
    runner.Machine.UseRealNetwork();
    ++arg;
  }
  if (argc != arg + 1) {
    std::fprintf(stderr, "usage: voltrace2-script [--real-network] SCRIPT (or - for stdin)\n");
    return 2;
  }
  const std::string script = argv[arg];
  Platform = &runner.Machine;
  try {
    if (script == "-") {
      runner.Run(std::cin);
    } else {
      std::ifstream file(script);
      if (!file) {
        std::fprintf(stderr, "cannot open script %s\n", script.c_str());
        return 2;
      }
      runner.Run(file);
    }
  } catch (const std::exception& e) {
    // What stops the game at start-up: a bad archive, or a name the first
    // screen needs missing from it.
    runner.Machine.ShowError("Вольтрейс 2", e.what());
    return 1;
  }
  if (Terminated) RunLauncherCheck();
  return 0;
}
