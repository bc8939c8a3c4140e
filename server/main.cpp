// voltrace2-scores: the online score table that "Вольтрейс 2" reports to.
// Run with --help for the commands and options.
#include <pthread.h>

#include <charconv>
#include <climits>
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <string>
#include <thread>

#include "client_address.h"
#include "score_verifier.h"
#include "gfx/cp1251.h"
#include "race/replay/recording.h"
#include "score_service.h"
#include "sqlite_store.h"

namespace {

const char Help[] =
    "usage: voltrace2-scores [OPTION...]                      serve the online table\n"
    "       voltrace2-scores backup FILE [--db STORE]         copy the table into a new SQLite file, while\n"
    "                                                         services keep using it\n"
    "       voltrace2-scores remove NAME COUNTRY [--db STORE] remove every report of one player\n"
    "       voltrace2-scores --help | --version\n"
    "\n"
    "  --listen ADDR:PORT       where to serve (127.0.0.1:8080); [::]:PORT takes IPv6 and IPv4\n"
    "  --db STORE               an SQLite file (~/.local/share/voltrace2-scores/scores.db), or a\n"
    "                           PostgreSQL database shared by several services:\n"
    "                           postgresql://USER@HOST:PORT/DATABASE\n"
    "  --rate N                 reports one client may send a minute (120; 0: no limit)\n"
    "  --trusted-proxy ADDR     a proxy in front of the service (TLS): on its connections the client\n"
    "                           is the last address of X-Forwarded-For; may be given again\n"
    "  --max-connections N      connections open at once, all clients together (4000)\n"
    "  --client-connections N   connections open at once from one client (32)\n"
    "  --request-timeout S      seconds a request may take to arrive whole (10)\n"
    "  --backlog N              connections the system holds until the service takes them (1024)\n"
    "  --no-access-log          tell only refusals and failures, not every request\n"
    "  --game-data DIR          the game's Data folder (holding Res/): recordings sent with the\n"
    "                           reports are replayed with it, and a score whose replay ends with\n"
    "                           it is marked verified; without it recordings are only kept\n"
    "  --replay-seconds S       processor seconds one replay may take (20); it is killed after\n"
    "                           twice that in wall time\n"
    "  --replays N              replays run at once (1)\n"
    "  --max-recording BYTES    the largest recording taken (4194304)\n"
    "\n"
    "A recording is sent after its report: POST /cgi/version.pl?rec&prg=Voltrace2&inf=CODE\n"
    "with the report's own code and the recording as the body. The page of verified scores\n"
    "alone is /cgi/version.pl?prg=Voltrace2&show&type=0&verified=1.\n"
    "A client is an IPv4 address or an IPv6 /64. Requests, refusals and failures are told on\n"
    "stderr; /health answers 200 while the store does, /metrics gives the counters.\n"
    "NAME and COUNTRY are given as the page shows them; an empty one as \"\".\n";

[[noreturn]] void Refuse(const std::string& why) {
  std::fprintf(stderr, "voltrace2-scores: %s\n(voltrace2-scores --help tells the options)\n", why.c_str());
  std::exit(2);
}

int Whole(const std::string& option, const std::string& text, int least, int most) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < least || value > most)
    Refuse(option + " wants a whole number from " + std::to_string(least) + " to " + std::to_string(most) +
           ", not \"" + text + "\"");
  return value;
}

void ParseListen(const std::string& value, TServiceOptions& options) {
  const size_t colon = value.rfind(':');
  if (colon == std::string::npos || colon == 0) Refuse("--listen wants ADDR:PORT, not \"" + value + "\"");
  std::string host = value.substr(0, colon);
  if (host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  options.Host = host;
  options.Port = Whole("--listen's port", value.substr(colon + 1), 0, 65535);
}

// A name or country as typed at the terminal, in the bytes the game sends.
std::string GameText(const std::string& utf8) {
  const std::string bytes = Cp1251FromUtf8(utf8);
  if (Utf8FromCp1251(bytes) != utf8) Refuse("\"" + utf8 + "\" holds a character the game cannot send");
  return bytes;
}

int Backup(const std::string& store, const std::string& file) {
  if (IsPostgresAddress(store)) Refuse("a PostgreSQL store is backed up with pg_dump");
  std::string why;
  if (!BackupSqliteStore(store, file, why)) {
    std::fprintf(stderr, "voltrace2-scores: %s\n", why.c_str());
    return 1;
  }
  std::printf("voltrace2-scores: %s copied to %s\n", store.c_str(), file.c_str());
  return 0;
}

int Remove(const std::string& store, const std::string& name, const std::string& country) {
  const std::unique_ptr<TScoreStore> scores = OpenScoreStore(store);
  const int64_t removed = scores->Remove(GameText(name), GameText(country));
  if (removed < 0) {
    std::fprintf(stderr, "voltrace2-scores: %s\n", scores->LastError().c_str());
    return 1;
  }
  std::printf("voltrace2-scores: %lld reports of \"%s\" (%s) removed\n", static_cast<long long>(removed), name.c_str(),
              country.c_str());
  return 0;
}

int Serve(TServiceOptions& options) {
  // SIGTERM and SIGINT are taken by one thread of our own, which stops the
  // service; no other thread ever sees them.
  sigset_t stopping;
  sigemptyset(&stopping);
  sigaddset(&stopping, SIGTERM);
  sigaddset(&stopping, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
  TScoreService service(options);
  const int port = service.Bind();
  if (port < 0) return 1;
  const bool ipv6 = options.Host.find(':') != std::string::npos;
  std::printf("voltrace2-scores: http://%s%s%s:%d/cgi/version.pl?prg=Voltrace2&show&type=0\n", ipv6 ? "[" : "",
              options.Host.c_str(), ipv6 ? "]" : "", port);
  std::fflush(stdout);
  std::thread waiter([&] {
    int signal = 0;
    sigwait(&stopping, &signal);
    service.Stop();
  });
  service.Run();
  waiter.join();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  TServiceOptions options;
  options.Key = VT_REPORT_KEY[0];
  std::vector<std::string> words;
  uint32_t tickCap = ReplayTickCap;
  int32_t claimed = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(Help, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("voltrace2-scores %s\n", VT_SCORES_VERSION);
      return 0;
    }
    if (arg == "--no-access-log") {
      options.AccessLog = false;
      continue;
    }
    if (arg.rfind("--", 0) != 0) {
      words.push_back(arg);
      continue;
    }
    if (i + 1 >= argc) Refuse(arg + " wants a value");
    const std::string value = argv[++i];
    if (arg == "--listen") ParseListen(value, options);
    else if (arg == "--db") options.Store = value;
    else if (arg == "--rate") options.RatePerMinute = Whole(arg, value, 0, 1000000);
    else if (arg == "--trusted-proxy") {
      if (!CanonicalAddress(value)) Refuse("--trusted-proxy wants a numeric address, not \"" + value + "\"");
      options.TrustedProxies.push_back(value);
    } else if (arg == "--max-connections") options.MaxConnections = Whole(arg, value, 16, 1000000);
    else if (arg == "--client-connections") options.ConnectionsPerClient = Whole(arg, value, 1, 1000000);
    else if (arg == "--request-timeout") options.RequestSeconds = Whole(arg, value, 1, 3600);
    else if (arg == "--backlog") options.Backlog = Whole(arg, value, 1, 65535);
    else if (arg == "--game-data") options.Verify.GameData = value;
    else if (arg == "--replay-seconds") options.Verify.CpuSeconds = Whole(arg, value, 1, 3600);
    else if (arg == "--replays") options.Verify.Workers = Whole(arg, value, 1, 64);
    else if (arg == "--max-recording")
      options.MaxRecording = static_cast<size_t>(Whole(arg, value, 1024, static_cast<int>(MaxRecordingFileBytes)));
    // The replay's own, given by the service to its child.
    else if (arg == "--tick-cap") tickCap = static_cast<uint32_t>(Whole(arg, value, 1, INT32_MAX));
    else if (arg == "--score") claimed = Whole(arg, value, INT32_MIN, INT32_MAX);
    else Refuse("unknown option " + arg);
  }
  options.Verify.WallSeconds = 2 * options.Verify.CpuSeconds;
  // The child of a replay: it opens no store.
  if (words.size() == 1 && words[0] == "verify-recording") return VerifyRecordingCommand(options.Verify.GameData, tickCap, claimed);
  if (!options.Verify.GameData.empty() && !std::filesystem::is_regular_file(options.Verify.GameData + "/Res/Res1.dxg"))
    Refuse("--game-data wants the game's Data folder, and " + options.Verify.GameData + "/Res/Res1.dxg is not there");
  const std::string store = options.Store.empty() ? DefaultStorePath() : options.Store;
  try {
    if (words.empty()) return Serve(options);
    if (words[0] == "backup" && words.size() == 2) return Backup(store, words[1]);
    if (words[0] == "remove" && words.size() == 3) return Remove(store, words[1], words[2]);
    Refuse("unknown command \"" + words[0] + "\" or wrong number of words");
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voltrace2-scores: %s\n", e.what());
    return 1;
  }
}
