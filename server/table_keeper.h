#pragma once
// The one writer of the table: reports that arrive together are stored in
// one commit, each answered only once the commit that holds it is on disk
// (a recording sent for a report is stored in turn with them);
// and the pages of the first hundred (all, and verified only) are kept built, made anew only when they
// change (by this service's reports, or by another program writing to the
// store: a second service, a removal), so that a page view costs no read.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "score_store.h"
#include "service_metrics.h"

struct TCommitJob {
  bool Health = false;  // only asks whether the store answers
  bool Recording = false;  // keeps Bytes, the recording of Entry's game
  TStoredScore Entry;
  std::string Bytes;
  void* Owner = nullptr;  // the waiting request
  // Set before Done is called:
  bool Ok = false;
  bool Fresh = false;  // the report was not stored before
  TKeepResult Kept = krFailed;  // what became of the recording
  int64_t Report = 0;           // the report it was kept with
};

struct TPage {
  bool Ok = false;  // false: the table could not be read
  std::string Html;
};

class TTableKeeper {
 public:
  // done is called on the keeper's thread for each job, once it is settled.
  TTableKeeper(std::unique_ptr<TScoreStore> store, std::function<void(TCommitJob&)> done, TServiceMetrics& metrics);
  ~TTableKeeper();
  // False once stopping: the job is not taken.
  bool Submit(TCommitJob* job);
  std::shared_ptr<const TPage> Page(bool verifiedOnly = false) const;
  // Settles the jobs already taken, then ends the thread.
  void Stop();

 private:
  void Loop();
  void Settle(std::deque<TCommitJob*>& jobs);
  void Rebuild();
  void Look();

  std::unique_ptr<TScoreStore> Store;
  std::function<void(TCommitJob&)> Done;
  TServiceMetrics& Metrics;
  mutable std::mutex Lock;
  std::condition_variable Wake;
  std::deque<TCommitJob*> Queue;
  bool Stopping = false;
  std::shared_ptr<const TPage> Current, CurrentVerified;
  int64_t SeenVersion = -1;
  size_t LastBatch = 0;  // reports in the last commit, and its time
  std::chrono::steady_clock::duration LastCommit{};
  std::thread Thread;
};
