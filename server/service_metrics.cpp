#include "service_metrics.h"

#include <cstdio>

#include "score_verifier.h"

const char* const RefusalReasons[15] = {"bad_request",       "bad_report",          "rate_limited",   "method",
                                        "too_long",          "headers",             "client_connections",
                                        "total_connections", "deadline",            "shutting_down",
                                        "store_failed",      "table_unreadable",    "recording_too_large",
                                        "no_such_report",    "recordings_busy"};

namespace {

const double CommitBounds[10] = {0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025, 0.05, 0.1, 0.5, 2.5};

void Header(std::string& out, const char* name, const char* type, const char* help) {
  out += std::string("# HELP ") + name + " " + help + "\n# TYPE " + name + " " + type + "\n";
}

std::string Number(double v) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

}  // namespace

void TServiceMetrics::Request(const std::string& route, int status) {
  std::lock_guard<std::mutex> hold(Lock);
  ++Requests[{route, status}];
}

void TServiceMetrics::Refusal(const std::string& reason) {
  std::lock_guard<std::mutex> hold(Lock);
  ++Refusals[reason];
}

void TServiceMetrics::Commit(double seconds, int reports, int fresh, bool ok) {
  std::lock_guard<std::mutex> hold(Lock);
  ++Commits;
  CommitSeconds += seconds;
  for (int i = 0; i < 10; ++i)
    if (seconds <= CommitBounds[i]) ++CommitBuckets[i];
  if (!ok) {
    ++StoreFailures;
    return;
  }
  Stored += static_cast<uint64_t>(fresh);
  Repeated += static_cast<uint64_t>(reports - fresh);
}

void TServiceMetrics::Rows(const TStoreCounts& counts) {
  std::lock_guard<std::mutex> hold(Lock);
  Counts = counts;
}

void TServiceMetrics::Connections(int open) {
  std::lock_guard<std::mutex> hold(Lock);
  Open = open;
}

void TServiceMetrics::PageBuilt() {
  std::lock_guard<std::mutex> hold(Lock);
  ++PageBuilds;
}

void TServiceMetrics::Verification(const std::string& outcome, double cpuSeconds) {
  std::lock_guard<std::mutex> hold(Lock);
  ++Verifications[outcome];
  VerifySeconds += cpuSeconds;
}

std::string TServiceMetrics::Text() {
  std::lock_guard<std::mutex> hold(Lock);
  std::string out;
  Header(out, "voltrace2_requests_total", "counter", "Requests answered, by route and status.");
  for (const auto& [key, n] : Requests)
    out += "voltrace2_requests_total{route=\"" + key.first + "\",status=\"" + std::to_string(key.second) + "\"} " +
           std::to_string(n) + "\n";
  Header(out, "voltrace2_refusals_total", "counter", "Requests and connections refused, by reason.");
  for (const char* reason : RefusalReasons)
    out += std::string("voltrace2_refusals_total{reason=\"") + reason + "\"} " + std::to_string(Refusals[reason]) + "\n";
  Header(out, "voltrace2_reports_stored_total", "counter", "Reports stored.");
  out += "voltrace2_reports_stored_total " + std::to_string(Stored) + "\n";
  Header(out, "voltrace2_reports_repeated_total", "counter", "Reports answered that were stored already.");
  out += "voltrace2_reports_repeated_total " + std::to_string(Repeated) + "\n";
  Header(out, "voltrace2_store_commit_seconds", "histogram", "Time of each commit to the store.");
  for (int i = 0; i < 10; ++i)
    out += "voltrace2_store_commit_seconds_bucket{le=\"" + Number(CommitBounds[i]) + "\"} " +
           std::to_string(CommitBuckets[i]) + "\n";
  out += "voltrace2_store_commit_seconds_bucket{le=\"+Inf\"} " + std::to_string(Commits) + "\n";
  out += "voltrace2_store_commit_seconds_sum " + Number(CommitSeconds) + "\n";
  out += "voltrace2_store_commit_seconds_count " + std::to_string(Commits) + "\n";
  Header(out, "voltrace2_store_failures_total", "counter", "Commits the store refused.");
  out += "voltrace2_store_failures_total " + std::to_string(StoreFailures) + "\n";
  Header(out, "voltrace2_store_rows", "gauge", "Rows in the store: every report, and one per player.");
  out += "voltrace2_store_rows{table=\"reports\"} " + std::to_string(Counts.Reports) + "\n";
  out += "voltrace2_store_rows{table=\"players\"} " + std::to_string(Counts.Players) + "\n";
  Header(out, "voltrace2_page_builds_total", "counter", "Times the page of the first hundred was built anew.");
  out += "voltrace2_page_builds_total " + std::to_string(PageBuilds) + "\n";
  Header(out, "voltrace2_connections_open", "gauge", "Client connections open.");
  out += "voltrace2_connections_open " + std::to_string(Open) + "\n";
  Header(out, "voltrace2_verifications_total", "counter", "Recordings replayed, by outcome.");
  for (const char* outcome : VerificationOutcomes)
    out += std::string("voltrace2_verifications_total{outcome=\"") + outcome + "\"} " +
           std::to_string(Verifications[outcome]) + "\n";
  Header(out, "voltrace2_verification_cpu_seconds_total", "counter", "Processor time the replays took.");
  out += "voltrace2_verification_cpu_seconds_total " + Number(VerifySeconds) + "\n";

  return out;
}
