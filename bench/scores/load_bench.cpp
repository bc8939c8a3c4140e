// voltrace2-scores-bench: 2000 valid score reports from 16 parallel clients
// to a score service on loopback; checks that every report is stored exactly
// once and prints the throughput and the per-report latency.
//
//   voltrace2-scores-bench [REPORTS [CLIENTS]]
#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "score_service.h"
#include "screens/score_report.h"

namespace {

// What the game sends for one entry, built with the game's own encoder.
std::string ReportTarget(const std::string& name, int score) {
  std::string record = "type=0|name=" + name + "|score=" + std::to_string(score) + "|key=" + VT_REPORT_KEY +
                       "|p=|add=bench|z=";
  while (record.size() % 5 != 0) record += '0';
  return "/cgi/version.pl?hs&prg=Voltrace2&inf=" + EncodeBase32(EncodeBits(record));
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[static_cast<size_t>(p * static_cast<double>(v.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  const int reports = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int clients = argc > 2 ? std::atoi(argv[2]) : 16;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("voltrace2-scores-bench-" + std::to_string(::getpid()));
  fs::create_directories(dir);

  TServiceOptions options;
  options.Port = 0;
  options.Store = (dir / "scores.db").string();
  options.AccessLog = false;
  options.RatePerMinute = 0;  // every client is 127.0.0.1
  options.Key = VT_REPORT_KEY[0];
  TScoreService service(options);
  const int port = service.Bind();
  if (port < 0) return std::fprintf(stderr, "cannot bind\n"), 1;
  std::thread server([&] { service.Run(); });
  while (!service.Running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));

  std::vector<std::vector<double>> latency(static_cast<size_t>(clients));
  std::atomic<int> failures{0};
  const std::clock_t cpu0 = std::clock();
  const auto t0 = std::chrono::steady_clock::now();
  std::vector<std::thread> pool;
  for (int c = 0; c < clients; ++c) {
    pool.emplace_back([&, c] {
      httplib::Client client("127.0.0.1", port);
      client.set_keep_alive(false);  // the game opens a connection per report
      for (int i = c; i < reports; i += clients) {
        const auto s = std::chrono::steady_clock::now();
        auto res = client.Get(ReportTarget("p" + std::to_string(i), i * 7 - 5000));
        latency[static_cast<size_t>(c)].push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - s).count());
        if (!res || res->status != 200) ++failures;
      }
    });
  }
  for (auto& t : pool) t.join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  const double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
  service.Stop();
  server.join();

  std::map<std::string, int> seen;
  int wrong = 0;
  const std::vector<TStoredScore> stored = OpenScoreStore(options.Store)->All().value();
  for (const TStoredScore& s : stored) {
    ++seen[s.Name];
    const int i = std::atoi(s.Name.c_str() + 1);
    if (s.Score != i * 7 - 5000 || s.Country != "bench") ++wrong;
  }
  int once = 0;
  for (int i = 0; i < reports; ++i) once += seen["p" + std::to_string(i)] == 1;
  std::vector<double> all;
  for (auto& v : latency) all.insert(all.end(), v.begin(), v.end());

  std::printf("reports %d, clients %d, answered 200: %d, stored exactly once: %d, stored rows: %zu, wrong rows: %d\n",
              reports, clients, reports - failures.load(), once, stored.size(),
              wrong);
  std::printf("wall %.2f s, throughput %.0f reports/s, latency median %.2f ms, 95th percentile %.2f ms, "
              "processor time (service and clients) %.2f s\n",
              seconds, reports / seconds, Percentile(all, 0.5), Percentile(all, 0.95), cpu);
  fs::remove_all(dir);
  return failures == 0 && once == reports && wrong == 0 ? 0 : 1;
}
