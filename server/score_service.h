#pragma once
// voltrace2-scores: the online table the game reports to.
//   GET /cgi/version.pl?hs&prg=Voltrace2&inf=CODE   stores one report (200),
//                                                    anything wrong gets 400
//   GET /cgi/version.pl?prg=Voltrace2&show&type=0   the table page
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "score_store.h"

namespace httplib {
class Server;
}

struct TServiceOptions {
  std::string Host = "127.0.0.1";
  int Port = 8080;           // 0: any free port
  std::string StorePath;     // empty: DefaultStorePath()
  int Threads = 8;           // requests served at once
  int RatePerMinute = 120;   // requests one address may make; 0: no limit
  size_t MaxTarget = 1024;   // the longest path and query accepted
  char Key = 'V';            // the key letter of the game's build
};

class TScoreService {
 public:
  explicit TScoreService(TServiceOptions options);  // opens the store; throws std::runtime_error
  ~TScoreService();
  // Binds the address; the port bound, or -1 when it cannot be bound.
  int Bind();
  // Serves until Stop (from another thread or a signal handler's helper).
  void Run();
  void Stop();
  // True once Run has begun serving (Stop before that does not stop it).
  bool Running() const;
  TScoreStore& Store() { return *Scores; }

 private:
  bool Allowed(const std::string& address);

  TServiceOptions Options;
  std::unique_ptr<TScoreStore> Scores;
  std::unique_ptr<httplib::Server> Http;
  struct TBucket {
    double Tokens = 0;
    std::chrono::steady_clock::time_point Last;
  };
  std::mutex RateLock;
  std::map<std::string, TBucket> Buckets;
};
