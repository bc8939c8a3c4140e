#pragma once
// The service's counters, served at /metrics in the Prometheus text format.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include "score_store.h"

class TServiceMetrics {
 public:
  void Request(const std::string& route, int status);
  // reason: one of the names RefusalReasons lists.
  void Refusal(const std::string& reason);
  void Commit(double seconds, int reports, int fresh, bool ok);
  void Rows(const TStoreCounts& counts);
  void Connections(int open);
  void PageBuilt();
  // A replay's end: its outcome (one of VerificationOutcomes) and the
  // processor time it took.
  void Verification(const std::string& outcome, double cpuSeconds);
  std::string Text();

 private:
  std::mutex Lock;
  std::map<std::pair<std::string, int>, uint64_t> Requests;
  std::map<std::string, uint64_t> Refusals;
  uint64_t CommitBuckets[10] = {};
  uint64_t Commits = 0, StoreFailures = 0, Stored = 0, Repeated = 0, PageBuilds = 0;
  double CommitSeconds = 0;
  TStoreCounts Counts;
  int Open = 0;
  std::map<std::string, uint64_t> Verifications;
  double VerifySeconds = 0;
};

// Every reason a request or a connection is refused, as the log and the
// metrics name it.
extern const char* const RefusalReasons[15];
