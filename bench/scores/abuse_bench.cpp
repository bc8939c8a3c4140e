// voltrace2-scores-abuse-bench: the score service under load and abuse on
// loopback, side by side in one run:
//   - commits of ten reports straight into the store, one by one;
//   - the HTTP library's trivial answer (the anchor) at 1, 16 and 64 clients;
//   - reports (each a new connection, as the game sends it, every one
//     stored once) at 1, 16 and 64 clients, against the anchor;
//   - the page and a report over tables of 1 k and 1 M reports (10 M with
//     --big): the event loop's processor time per page served, the read of
//     the first hundred through the index, a report's latency;
//   - a page request's latency alone, while 1000 slow clients from 250
//     addresses trickle their requests, and while 1000 come from one address.
// Only 127.0.0.0/8 is ever a target; every loop is bounded in count and time.
//
// Every report is answered only after its commit is synced to disk, so
// with N clients, each waiting for its answer, at most N reports share a
// sync: the bench first prints what a sync costs on this disk, after an
// append, after an overwrite in place and as an O_DSYNC write. The machine
// may be shared: beside each load it prints the processor time it took
// and the share of the machine other programs used meanwhile.
//
//   voltrace2-scores-abuse-bench [--big] [--quick] [--dir DIR]
//     --big: also a table of 10 M reports; --quick: only the anchor and the
//     reports; DIR: where the stores go (default the temp folder)
#include <arpa/inet.h>
#include <fcntl.h>
#include <httplib.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <pthread.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "score_service.h"
#include "score_store.h"
#include "screens/score_report.h"
#include "service_log.h"
#include "table_page.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char PagePath[] = "/cgi/version.pl?prg=Voltrace2&show&type=0";

std::string ReportTarget(const std::string& name, int score) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" VT_REPORT_KEY "|p=|add=bench|z=";
  while (record.size() % 5 != 0) record += '0';
  return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + EncodeBase32(EncodeBits(record));
}

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

double ThreadCpuSeconds(pthread_t thread) {
  clockid_t clock;
  timespec t{};
  if (pthread_getcpuclockid(thread, &clock) != 0 || clock_gettime(clock, &t) != 0) return 0;
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ProcessCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Processor time the whole machine spent busy, from /proc/stat.
double MachineBusySeconds() {
  std::ifstream stat("/proc/stat");
  std::string cpu;
  double user = 0, nice = 0, system = 0, idle = 0, iowait = 0, irq = 0, softirq = 0, steal = 0;
  stat >> cpu >> user >> nice >> system >> idle >> iowait >> irq >> softirq >> steal;
  return (user + nice + system + irq + softirq + steal) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A load's processor time: this process's, and what other programs took
// of the machine meanwhile (they make the figures noisy).
struct TCpu {
  double Own = 0, Others = 0, Seconds = 0;
  TCpu() : Own(ProcessCpuSeconds()), Others(MachineBusySeconds()), Seconds(Wall()) {}
  static double Wall() { return std::chrono::duration<double>(Clock::now().time_since_epoch()).count(); }
  // Since construction.
  TCpu Spent() const {
    TCpu now;
    TCpu d = now;
    d.Own = now.Own - Own;
    d.Seconds = now.Seconds - Seconds;
    d.Others = std::max(0.0, now.Others - Others - d.Own);
    return d;
  }
  // The others' share of the machine's processors.
  double OthersShare() const {
    return Seconds > 0 ? Others / (Seconds * std::max(1u, std::thread::hardware_concurrency())) : 0;
  }
};

struct TRun {
  int Done = 0, Failed = 0;
  double Seconds = 0;
  std::vector<double> Ms;
  TCpu Cpu;
  double Rate() const { return Seconds > 0 ? Done / Seconds : 0; }
};

// clients threads, each a new connection per request, until count requests
// in all or the time is up.
template <class Target>
TRun Load(int port, int clients, int count, double mostSeconds, Target target) {
  TRun run;
  std::vector<std::vector<double>> ms(static_cast<size_t>(clients));
  std::atomic<int> next{0}, failed{0};
  const Clock::time_point start = Clock::now();
  const TCpu cpu;
  std::vector<std::thread> pool;
  for (int c = 0; c < clients; ++c) {
    pool.emplace_back([&, c] {
      httplib::Client client("127.0.0.1", port);
      client.set_keep_alive(false);
      client.set_read_timeout(10, 0);
      for (int i = next++; i < count; i = next++) {
        if (std::chrono::duration<double>(Clock::now() - start).count() > mostSeconds) break;
        const Clock::time_point s = Clock::now();
        auto res = client.Get(target(i));
        ms[static_cast<size_t>(c)].push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
        if (!res || res->status != 200) ++failed;
      }
    });
  }
  for (auto& t : pool) t.join();
  run.Cpu = cpu.Spent();
  run.Seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (auto& v : ms) run.Ms.insert(run.Ms.end(), v.begin(), v.end());
  run.Done = static_cast<int>(run.Ms.size());
  run.Failed = failed;
  return run;
}

void Row(const std::string& what, const TRun& run, double anchor) {
  std::printf("%-44s %8.0f /s  median %7.2f ms  p95 %7.2f ms", what.c_str(), run.Rate(), Percentile(run.Ms, 0.5),
              Percentile(run.Ms, 0.95));
  if (anchor > 0) std::printf("  %.2f of the anchor", run.Rate() / anchor);
  if (run.Failed) std::printf("  (%d failed)", run.Failed);
  std::printf("\n    processor %5.1f us a request (clients and service), others used %2.0f%% of the machine\n",
              run.Done ? run.Cpu.Own / run.Done * 1e6 : 0, 100 * run.Cpu.OthersShare());
}

// The library's trivial answer, on its own event-loop thread.
MHD_Result Trivial(void*, MHD_Connection* c, const char*, const char*, const char*, const char*, size_t* size,
                   void** context) {
  static int first;
  if (*context == nullptr) {
    *context = &first;
    return MHD_YES;
  }
  *size = 0;
  static char ok[] = "OK\n";
  MHD_Response* r = MHD_create_response_from_buffer(3, ok, MHD_RESPMEM_PERSISTENT);
  const MHD_Result q = MHD_queue_response(c, 200, r);
  MHD_destroy_response(r);
  return q;
}

// A service of our own on a store, served from a thread of the bench.
struct TRunning {
  explicit TRunning(const std::string& store) {
    TServiceOptions options;
    options.Port = 0;
    options.Store = store;
    options.RatePerMinute = 0;  // every client is loopback
    options.AccessLog = false;
    options.ConnectionsPerClient = 1000;  // every client is 127.0.0.1
    options.Key = VT_REPORT_KEY[0];
    Service = std::make_unique<TScoreService>(options);
    Port = Service->Bind();
    Thread = std::thread([this] { Service->Run(); });
    while (!Service->Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TRunning() {
    Service->Stop();
    Thread.join();
  }
  std::unique_ptr<TScoreService> Service;
  std::thread Thread;
  int Port = 0;
};

void Sql(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "fill: %s: %s\n", sql.c_str(), error ? error : "");
    std::exit(1);
  }
}

// A table of n reports from n / 2 players, each player's best beside them,
// as the store keeps it; written into the file in bulk (no journal, no
// sync, the indexes made once at the end), which takes minutes for 10 M
// where reports through the store take half an hour.
void Fill(const std::string& path, int64_t n) {
  OpenScoreStore(path);  // the tables and indexes as the store makes them
  sqlite3* db = nullptr;
  if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) std::exit(1);
  std::vector<std::pair<std::string, std::string>> indexes;  // name, how it is made
  {
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql NOT NULL", -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
      indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                           reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
  }
  Sql(db, "PRAGMA journal_mode=OFF");
  Sql(db, "PRAGMA synchronous=OFF");
  Sql(db, "PRAGMA cache_size=-262144");
  for (const auto& index : indexes) Sql(db, "DROP INDEX \"" + index.first + "\"");
  sqlite3_stmt* report = nullptr;
  sqlite3_stmt* player = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO scores(id, name, score, country, time) VALUES(?1, ?2, ?3, 'bench', ?4)", -1,
                     &report, nullptr);
  sqlite3_prepare_v2(db, "INSERT INTO players(name, country, score, time, report) VALUES(?1, 'bench', ?2, ?3, ?4)",
                     -1, &player, nullptr);
  auto score = [](int64_t i) { return (i * 7919) % 1000003; };
  char name[24];
  Sql(db, "BEGIN");
  for (int64_t i = 0; i < n; ++i) {
    // Names in the players' key order, so that their table is appended to.
    const int length = std::snprintf(name, sizeof name, "p%09lld", static_cast<long long>(i / 2));
    sqlite3_reset(report);
    sqlite3_bind_int64(report, 1, i + 1);
    sqlite3_bind_blob(report, 2, name, length, SQLITE_STATIC);
    sqlite3_bind_int64(report, 3, score(i));
    sqlite3_bind_int64(report, 4, 1700000000 + i);
    sqlite3_step(report);
    const int64_t other = i ^ 1;
    if (i % 2 == 1 || i + 1 == n) {
      // The player's best of his one or two reports.
      const int64_t best = other < n && score(other) > score(i) ? other : i;
      sqlite3_reset(player);
      sqlite3_bind_blob(player, 1, name, length, SQLITE_STATIC);
      sqlite3_bind_int64(player, 2, score(best));
      sqlite3_bind_int64(player, 3, 1700000000 + best);
      sqlite3_bind_int64(player, 4, best + 1);
      sqlite3_step(player);
    }
    if (i % 1000000 == 999999) Sql(db, "COMMIT; BEGIN");
  }
  Sql(db, "COMMIT");
  sqlite3_finalize(report);
  sqlite3_finalize(player);
  for (const auto& index : indexes) Sql(db, index.second);
  Sql(db, "UPDATE meta SET reports = (SELECT count(*) FROM scores), players = (SELECT count(*) FROM players),"
          " top_version = top_version + 1");
  Sql(db, "PRAGMA journal_mode=WAL");
  sqlite3_close(db);
}

// What one sync costs here, three ways taken in turn (so that a change in
// the machine's load meets each alike): a page appended and fdatasync'd
// (the file system's journal records the new length), a page written over
// in place and fdatasync'd, and a page written over through O_DSYNC.
struct TSyncs {
  std::vector<double> Append, Overwrite, Dsync;
};

TSyncs SyncMs(const fs::path& dir, int rounds) {
  TSyncs ms;
  const std::string page(4096, 'x');
  const std::string appended = (dir / "sync-append").string(), written = (dir / "sync-overwrite").string();
  const int append = open(appended.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int over = open(written.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  for (int i = 0; i < rounds && over >= 0; ++i)
    if (write(over, page.data(), page.size()) < 0) break;
  if (over >= 0) fsync(over);
  const int dsync = open(written.c_str(), O_WRONLY | O_DSYNC);
  auto since = [](Clock::time_point s) { return std::chrono::duration<double, std::milli>(Clock::now() - s).count(); };
  for (int i = 0; i < rounds && append >= 0 && over >= 0 && dsync >= 0; ++i) {
    const off_t at = static_cast<off_t>(i) * 4096;
    Clock::time_point s = Clock::now();
    if (write(append, page.data(), page.size()) < 0 || fdatasync(append) != 0) break;
    ms.Append.push_back(since(s));
    s = Clock::now();
    if (pwrite(over, page.data(), page.size(), at) < 0 || fdatasync(over) != 0) break;
    ms.Overwrite.push_back(since(s));
    s = Clock::now();
    if (pwrite(dsync, page.data(), page.size(), at) < 0) break;
    ms.Dsync.push_back(since(s));
  }
  for (int fd : {append, over, dsync})
    if (fd >= 0) close(fd);
  fs::remove(appended);
  fs::remove(written);
  return ms;
}

void TableSize(const fs::path& dir, int64_t n, const char* label) {
  const std::string path = (dir / ("table" + std::to_string(n) + ".db")).string();
  const Clock::time_point filling = Clock::now();
  Fill(path, n);
  const double filled = std::chrono::duration<double>(Clock::now() - filling).count();
  // The fill's pages go to disk now, not while the reports wait for syncs.
  sync();
  // The first hundred read through the index and made into the page, as a
  // rebuild does after a change.
  std::vector<double> readUs;
  {
    const auto store = OpenScoreStore(path);
    for (int i = 0; i < 200; ++i) {
      const double c0 = ThreadCpuSeconds(pthread_self());
      const std::optional<std::vector<TStoredScore>> rows = store->Table(TablePlaces);
      const std::string page = rows ? TablePage(*rows) : "";
      readUs.push_back((ThreadCpuSeconds(pthread_self()) - c0) * 1e6);
    }
  }
  TRunning running(path);
  const pthread_t loop = running.Thread.native_handle();
  // Pages over one kept-alive connection: the event loop's processor time.
  httplib::Client client("127.0.0.1", running.Port);
  std::vector<double> pageMs;
  const double cpu0 = ThreadCpuSeconds(loop);
  const int pages = 2000;
  for (int i = 0; i < pages; ++i) {
    const Clock::time_point s = Clock::now();
    auto res = client.Get(PagePath);
    pageMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
    if (!res || res->status != 200) std::fprintf(stderr, "page failed\n");
  }
  const double pageCpuUs = (ThreadCpuSeconds(loop) - cpu0) / pages * 1e6;
  const TSyncs sync = SyncMs(dir, 50);
  const TRun reports = Load(running.Port, 1, 200, 20, [&](int i) { return ReportTarget("r" + std::to_string(i), i); });
  std::printf("%-8s (filled in %5.1f s): page served %6.1f us loop CPU, median %5.2f ms, p95 %5.2f ms;"
              " first hundred read + page built %6.1f us CPU median, p95 %6.1f us; report median %5.2f ms, p95 %5.2f ms,"
              " %5.1f us processor each (overwrite sync median %.2f ms; others used %.0f%% of the machine)\n",
              label, filled, pageCpuUs, Percentile(pageMs, 0.5), Percentile(pageMs, 0.95), Percentile(readUs, 0.5),
              Percentile(readUs, 0.95), Percentile(reports.Ms, 0.5), Percentile(reports.Ms, 0.95),
              reports.Done ? reports.Cpu.Own / reports.Done * 1e6 : 0, Percentile(sync.Overwrite, 0.5),
              100 * reports.Cpu.OthersShare());
  std::fflush(stdout);
  fs::remove(path);
  fs::remove(path + "-wal");
  fs::remove(path + "-shm");
}

// The store alone: commits of ten new reports each, as the service makes
// them at 16 clients, timed one by one (syncs and checkpoints included).
void StoreCommits(const fs::path& dir) {
  const std::string path = (dir / "commits.db").string();
  std::vector<double> ms;
  double cpu = 0;
  {
    const auto store = OpenScoreStore(path);
    const Clock::time_point start = Clock::now();
    const double c0 = ThreadCpuSeconds(pthread_self());
    for (int i = 0; i < 5000 && Clock::now() - start < std::chrono::seconds(30); ++i) {
      std::vector<TStoredScore> rows;
      for (int j = 0; j < 10; ++j) rows.push_back({"s" + std::to_string(i * 10 + j), i * 10 + j, "bench", 1700000000 + i});
      TCommitResult result;
      const Clock::time_point s = Clock::now();
      if (!store->Commit(rows, result)) std::fprintf(stderr, "commit: %s\n", store->LastError().c_str());
      ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - s).count());
    }
    cpu = ThreadCpuSeconds(pthread_self()) - c0;
  }
  std::printf("store alone, %zu commits of 10 reports: median %.2f ms, p95 %.2f ms, p99 %.2f ms, longest %.2f ms;"
              " %.0f us processor each on the committing thread\n",
              ms.size(), Percentile(ms, 0.5), Percentile(ms, 0.95), Percentile(ms, 0.99), Percentile(ms, 1.0),
              ms.empty() ? 0 : cpu / static_cast<double>(ms.size()) * 1e6);
  std::fflush(stdout);
  fs::remove(path);
  fs::remove(path + "-wal");
  fs::remove(path + "-shm");
}

// Connections that send a request line and then one byte every half
// second, from the given loopback addresses.
struct TSlowClients {
  TSlowClients(int port, int count, int addresses) {
    for (int i = 0; i < count; ++i) {
      const int fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in a{};
      a.sin_family = AF_INET;
      const int n = i % addresses;
      const std::string from = "127.0." + std::to_string(10 + n / 250) + "." + std::to_string(1 + n % 250);
      inet_pton(AF_INET, from.c_str(), &a.sin_addr);
      bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
      a.sin_port = htons(static_cast<uint16_t>(port));
      inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
      if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const char line[] = "GET /cgi/version.pl?prg=Voltrace2&show&type=0 HTTP/1.1\r\nX-Slow: ";
        send(fd, line, sizeof line - 1, MSG_NOSIGNAL);
      }
      Fds.push_back(fd);
    }
    Trickle = std::thread([this] {
      // At most 20 s, whatever happens.
      for (int round = 0; round < 40 && !Done; ++round) {
        for (int fd : Fds) send(fd, "x", 1, MSG_NOSIGNAL | MSG_DONTWAIT);
        for (int i = 0; i < 10 && !Done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
      }
    });
  }
  ~TSlowClients() {
    Done = true;
    Trickle.join();
    for (int fd : Fds) close(fd);
  }
  std::vector<int> Fds;
  std::atomic<bool> Done{false};
  std::thread Trickle;
};

double Metric(const std::string& text, const std::string& name) {
  const size_t at = text.find("\n" + name + " ");
  return at == std::string::npos ? 0 : std::atof(text.c_str() + at + name.size() + 2);
}

TRun LegitimatePages(int port) {
  return Load(port, 1, 200, 5, [](int) { return std::string(PagePath); });
}

}  // namespace

int main(int argc, char** argv) {
  bool big = false, quick = false;
  fs::path base = fs::temp_directory_path();
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--big") == 0) big = true;
    else if (std::strcmp(argv[i], "--quick") == 0) quick = true;
    else if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) base = argv[++i];
    else return std::fprintf(stderr, "usage: voltrace2-scores-abuse-bench [--big] [--quick] [--dir DIR]\n"), 2;
  }
  std::signal(SIGPIPE, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = std::min<rlim_t>(limit.rlim_max, 16384);
  setrlimit(RLIMIT_NOFILE, &limit);
  FILE* quiet = std::fopen("/dev/null", "w");
  SetLogSink(quiet);
  const fs::path dir = base / ("voltrace2-scores-abuse-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const TCpu probing;
  const TSyncs sync = SyncMs(dir, 200);
  std::printf("voltrace2-scores load and abuse bench: loopback, SQLite in %s, %u processors\n", dir.c_str(),
              std::thread::hardware_concurrency());
  std::printf("a 4 KiB page synced: appended + fdatasync median %.2f ms, p95 %.2f ms; written over + fdatasync"
              " median %.2f ms, p95 %.2f ms; written over with O_DSYNC median %.2f ms, p95 %.2f ms"
              " (others used %.0f%% of the machine)\n",
              Percentile(sync.Append, 0.5), Percentile(sync.Append, 0.95), Percentile(sync.Overwrite, 0.5),
              Percentile(sync.Overwrite, 0.95), Percentile(sync.Dsync, 0.5), Percentile(sync.Dsync, 0.95),
              100 * probing.Spent().OthersShare());

  StoreCommits(dir);

  // The anchor.
  MHD_Daemon* trivial = MHD_start_daemon(MHD_USE_EPOLL | MHD_USE_INTERNAL_POLLING_THREAD, 0, nullptr, nullptr,
                                         &Trivial, nullptr, MHD_OPTION_CONNECTION_LIMIT, 4000u, MHD_OPTION_END);
  const int trivialPort = MHD_get_daemon_info(trivial, MHD_DAEMON_INFO_BIND_PORT)->port;
  std::map<int, double> anchor;
  for (int clients : {1, 16, 64}) {
    const TRun run = Load(trivialPort, clients, clients == 1 ? 3000 : 20000, 10, [](int) { return std::string("/"); });
    anchor[clients] = run.Rate();
    Row("anchor (trivial answer), " + std::to_string(clients) + " clients", run, 0);
  }
  MHD_stop_daemon(trivial);

  for (int clients : {1, 16, 64}) {
    const std::string path = (dir / ("reports" + std::to_string(clients) + ".db")).string();
    TRun run;
    std::string commits;
    {
      TRunning running(path);
      run = Load(running.Port, clients, clients == 1 ? 500 : 20000, 10,
                 [&](int i) { return ReportTarget("c" + std::to_string(clients) + "n" + std::to_string(i), i); });
      httplib::Client client("127.0.0.1", running.Port);
      commits = client.Get("/metrics")->body;
    }
    std::map<std::string, int> seen;
    const std::optional<std::vector<TStoredScore>> stored = OpenScoreStore(path)->All();
    if (stored)
      for (const TStoredScore& s : *stored) ++seen[s.Name];
    int once = 0;
    for (const auto& [name, n] : seen) once += n == 1;
    Row("reports, " + std::to_string(clients) + " clients", run, anchor[clients]);
    const double count = Metric(commits, "voltrace2_store_commit_seconds_count");
    // A commit that also put the WAL back into the database file takes
    // several syncs: the longest commits show whether any did.
    std::printf("  %.0f commits, %.1f reports each, %.2f ms each; %.0f over 10 ms, %.0f over 25 ms\n", count,
                run.Done / std::max(1.0, count), 1000 * Metric(commits, "voltrace2_store_commit_seconds_sum") / std::max(1.0, count),
                count - Metric(commits, "voltrace2_store_commit_seconds_bucket{le=\"0.01\"}"),
                count - Metric(commits, "voltrace2_store_commit_seconds_bucket{le=\"0.025\"}"));
    if (once != run.Done - run.Failed || static_cast<int>(seen.size()) != once)
      std::printf("  !! answered %d, stored once %d, stored names %zu\n", run.Done - run.Failed, once, seen.size());
    std::fflush(stdout);
  }

  if (!quick) TableSize(dir, 1000, "1 k");
  if (!quick && !std::getenv("VT_BENCH_SMALL")) TableSize(dir, 1000000, "1 M");
  if (big) TableSize(dir, 10000000, "10 M");

  if (!quick) {
    TRunning running((dir / "slow.db").string());
    Row("page alone", LegitimatePages(running.Port), 0);
    {
      TSlowClients slow(running.Port, 1000, 250);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      Row("page, 1000 slow clients from 250 addresses", LegitimatePages(running.Port), 0);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    {
      TSlowClients slow(running.Port, 1000, 1);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      Row("page, 1000 slow clients from 1 address", LegitimatePages(running.Port), 0);
    }
  }
  fs::remove_all(dir);
  SetLogSink(nullptr);
  std::fclose(quiet);
  return 0;
}
