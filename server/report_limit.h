#pragma once
// How many reports one client may send: a bucket of PerMinute reports per
// client, refilled evenly. Page views are not counted: the page is kept
// ready and costs the service nothing to send again.
#include <chrono>
#include <string>
#include <unordered_map>

class TReportLimit {
 public:
  explicit TReportLimit(int perMinute) : PerMinute(perMinute) {}
  // True when the client (a ClientGroup) may send one more now; 0 a minute
  // lets everyone through.
  bool Allowed(const std::string& client, std::chrono::steady_clock::time_point now);

 private:
  struct TBucket {
    double Tokens = 0;
    std::chrono::steady_clock::time_point Last;
  };
  int PerMinute;
  std::unordered_map<std::string, TBucket> Buckets;
};
