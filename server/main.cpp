// voltrace2-scores: the online score table that "Вольтрейс 2" reports to.
//
//   voltrace2-scores [--listen ADDR:PORT] [--db FILE] [--threads N] [--rate PER_MINUTE]
//
// Listens on 127.0.0.1:8080 unless told otherwise; keeps the table in FILE
// (default: the user's data directory, voltrace2-scores/scores.db). Point the
// game at it with VOLTRACE2_SCORE_SERVER=http://ADDR:PORT.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "score_service.h"

namespace {

TScoreService* Running = nullptr;

void Usage() {
  std::fprintf(stderr, "usage: voltrace2-scores [--listen ADDR:PORT] [--db FILE] [--threads N] [--rate PER_MINUTE]\n");
  std::exit(2);
}

}  // namespace

int main(int argc, char** argv) {
  TServiceOptions options;
  options.Key = VT_REPORT_KEY[0];
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) Usage();
    const std::string value = argv[++i];
    if (arg == "--listen") {
      const size_t colon = value.rfind(':');
      if (colon == std::string::npos) Usage();
      options.Host = value.substr(0, colon);
      options.Port = std::atoi(value.c_str() + colon + 1);
      if (options.Port < 0 || options.Port > 65535) Usage();
    } else if (arg == "--db") {
      options.StorePath = value;
    } else if (arg == "--threads") {
      options.Threads = std::atoi(value.c_str());
      if (options.Threads < 1) Usage();
    } else if (arg == "--rate") {
      options.RatePerMinute = std::atoi(value.c_str());
    } else {
      Usage();
    }
  }
  try {
    static TScoreService service(options);
    const int port = service.Bind();
    if (port < 0) {
      std::fprintf(stderr, "voltrace2-scores: cannot listen on %s:%d\n", options.Host.c_str(), options.Port);
      return 1;
    }
    std::printf("voltrace2-scores: http://%s:%d/cgi/version.pl?prg=Voltrace2&show&type=0\n", options.Host.c_str(), port);
    std::fflush(stdout);
    Running = &service;
    std::signal(SIGINT, [](int) { Running->Stop(); });
    std::signal(SIGTERM, [](int) { Running->Stop(); });
    service.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "voltrace2-scores: %s\n", e.what());
    return 1;
  }
  return 0;
}
