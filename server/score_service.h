#pragma once
// voltrace2-scores: the online table the game reports to.
//   GET /cgi/version.pl?hs&prg=Voltrace2&inf=CODE   stores one report (200),
//                                                    anything wrong gets 400
//   POST /cgi/version.pl?rec&prg=Voltrace2&inf=CODE the recording of a stored
//                                                    report's game (202: kept,
//                                                    to be replayed)
//   GET /cgi/version.pl?prg=Voltrace2&show&type=0   the table page
//   GET ...&show&type=0&verified=1                  verified scores only
//   GET /health                                     200 when the store answers
//   GET /metrics                                    counters, Prometheus text
//
// One thread serves every connection from one event loop, so that no client
// holds anything while it is slow: a request must arrive whole within a
// deadline counted from the connection's opening (or from the previous
// answer on a kept-alive one), one client may hold only so many
// connections, and all clients together only so many more. Reports wait,
// without holding that thread, for the commit that stores them.
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "report_limit.h"
#include "score_store.h"
#include "score_verifier.h"
#include "service_metrics.h"
#include "table_keeper.h"

struct MHD_Daemon;
struct MHD_Connection;

struct TServiceOptions {
  std::string Host = "127.0.0.1";  // numeric; "::" takes IPv6 and IPv4
  int Port = 8080;                 // 0: any free port
  std::string Store;               // a file or a postgresql:// address; empty: DefaultStorePath()
  int RatePerMinute = 120;         // reports one client may send; 0: no limit
  std::vector<std::string> TrustedProxies;  // peers whose X-Forwarded-For names the client
  int MaxConnections = 4000;       // open at once, all clients together
  int ConnectionsPerClient = 32;   // open at once from one client (a trusted proxy has no limit)
  int RequestSeconds = 10;         // a request arrives whole within this
  int Backlog = 1024;              // connections the system keeps waiting for the service
  size_t MaxTarget = 1024;         // the longest path and query accepted
  int MaxHeaders = 50;             // header lines in one request
  size_t HeadBytes = 16384;        // the request line and headers together
  bool AccessLog = true;           // a line per request (refusals and failures are always told)
  char Key = 'V';                  // the key letter of the game's build
  size_t MaxRecording = RecordingMaxBytes;  // the largest recording taken
  size_t BodiesBudget = 64u << 20;  // recordings on their way in, all together
  TVerifyOptions Verify;           // without GameData recordings are kept, not replayed
};

class TScoreService {
 public:
  // Opens the store named in the options; throws std::runtime_error.
  explicit TScoreService(TServiceOptions options);
  // Serves a store already opened.
  TScoreService(TServiceOptions options, std::unique_ptr<TScoreStore> store);
  ~TScoreService();
  // Binds the address; the port bound, or -1 (with the reason logged).
  int Bind();
  // Serves until Stop; then answers what it had taken and closes.
  void Run();
  // From any thread, or a signal handler.
  void Stop();
  // True once Run has begun serving.
  bool Running() const { return Serving; }

  // The service's side of one client connection and of the request on it
  // (one at a time).
  struct TConnection;

 private:
  friend struct TServiceCallbacks;
  int Answer(MHD_Connection* mhd, TConnection& c, const char* method);
  int Route(MHD_Connection* mhd, TConnection& c);
  int Reply(MHD_Connection* mhd, TConnection& c, int status, const std::string& body,
            const char* type = "text/plain; charset=utf-8");
  int Refuse(MHD_Connection* mhd, TConnection& c, int status, const char* reason, const std::string& why);
  int Wait(MHD_Connection* mhd, TConnection& c);
  int Recording(MHD_Connection* mhd, TConnection& c, const std::string& code);
  void DropBody(TConnection& c);
  std::string ClientOf(MHD_Connection* mhd, const std::string& peer);
  void Reap();

  TServiceOptions Options;
  TServiceMetrics Metrics;
  std::unique_ptr<TTableKeeper> Keeper;
  std::unique_ptr<TScoreVerifier> Verifier;
  TReportLimit Limit;
  std::vector<std::string> Proxies;  // canonical addresses
  MHD_Daemon* Daemon = nullptr;
  int ListenFd = -1;
  int WakeFd = -1;
  std::atomic<bool> StopAsked{false};
  std::atomic<bool> Serving{false};
  bool Draining = false;  // stopping: reports are no longer taken
  size_t BodiesHeld = 0;  // bytes of the recordings on their way in or waiting for the keeper
  std::unordered_set<TConnection*> Open;
  std::unordered_map<std::string, int> PerClient;
  std::chrono::steady_clock::time_point LastReap;
};
