#include "table_keeper.h"

#include <chrono>

#include "service_log.h"
#include "table_page.h"

namespace {

using Clock = std::chrono::steady_clock;

// How often the store is asked whether someone else changed the first
// hundred (and for the row counts).
constexpr auto LookEvery = std::chrono::milliseconds(250);
// The most reports one commit holds.
constexpr size_t MostInOneCommit = 512;

}  // namespace

TTableKeeper::TTableKeeper(std::unique_ptr<TScoreStore> store, std::function<void(TCommitJob&)> done,
                           TServiceMetrics& metrics)
    : Store(std::move(store)), Done(std::move(done)), Metrics(metrics) {
  Rebuild();
  Thread = std::thread([this] { Loop(); });
}

TTableKeeper::~TTableKeeper() { Stop(); }

bool TTableKeeper::Submit(TCommitJob* job) {
  {
    std::lock_guard<std::mutex> hold(Lock);
    if (Stopping) return false;
    Queue.push_back(job);
  }
  Wake.notify_one();
  return true;
}

std::shared_ptr<const TPage> TTableKeeper::Page(bool verifiedOnly) const {
  std::lock_guard<std::mutex> hold(Lock);
  return verifiedOnly ? CurrentVerified : Current;
}


void TTableKeeper::Stop() {
  {
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = true;
  }
  Wake.notify_one();
  if (Thread.joinable()) Thread.join();
}

void TTableKeeper::Loop() {
  Clock::time_point looked = Clock::now();
  while (true) {
    std::deque<TCommitJob*> jobs;
    {
      std::unique_lock<std::mutex> hold(Lock);
      Wake.wait_until(hold, looked + LookEvery, [this] { return !Queue.empty() || Stopping; });
      if (Queue.empty() && Stopping) return;
      // Whatever arrived while the last commit was being written goes
      // into the next one together. Under load (the last commit held more
      // than one) the clients answered by it are still on their way back:
      // waiting a fraction of a commit's time lets them share this one.
      if (LastBatch > 1 && Queue.size() < LastBatch && !Stopping) {
        const auto gather = std::min(LastCommit / 2, std::chrono::steady_clock::duration(std::chrono::milliseconds(2)));
        Wake.wait_for(hold, gather, [this] { return Queue.size() >= LastBatch || Stopping; });
      }
      while (!Queue.empty() && jobs.size() < MostInOneCommit) {
        jobs.push_back(Queue.front());
        Queue.pop_front();
      }
    }
    if (!jobs.empty()) Settle(jobs);
    if (Clock::now() - looked >= LookEvery) {
      Look();
      looked = Clock::now();
    }
  }
}

void TTableKeeper::Settle(std::deque<TCommitJob*>& jobs) {
  std::vector<TStoredScore> entries;
  std::vector<TCommitJob*> reports;
  bool healthAsked = false;
  for (TCommitJob* job : jobs) {
    if (job->Health) {
      healthAsked = true;
    } else if (job->Recording) {
      // Kept after the reports of this round: a report and its recording
      // never arrive together, as the game sends the one after the other's
      // answer.
    } else {
      entries.push_back(job->Entry);
      reports.push_back(job);
    }
  }
  if (!entries.empty()) {
    TCommitResult result;
    const Clock::time_point start = Clock::now();
    const bool ok = Store->Commit(entries, result);
    LastCommit = Clock::now() - start;
    LastBatch = entries.size();
    int fresh = 0;
    for (size_t i = 0; i < reports.size(); ++i) {
      reports[i]->Ok = ok;
      reports[i]->Fresh = ok && result.Fresh[i];
      fresh += reports[i]->Fresh ? 1 : 0;
    }
    Metrics.Commit(std::chrono::duration<double>(Clock::now() - start).count(), static_cast<int>(entries.size()),
                   fresh, ok);
    if (!ok) LogLine("store failed, " + std::to_string(entries.size()) + " reports refused: " + Store->LastError());
    // The page is made anew before the reports are answered, so that a
    // player who sent a score sees it on the page he opens next.
    if (ok && result.TopChanged) Rebuild();
  }
  for (TCommitJob* job : jobs) {
    if (!job->Recording) continue;
    job->Kept = Store->KeepRecording(job->Entry.Name, job->Entry.Score, job->Entry.Country, job->Bytes, job->Report);
    job->Ok = job->Kept != krFailed;
    if (!job->Ok) LogLine("store failed, a recording refused: " + Store->LastError());
  }
  if (healthAsked) {
    const std::optional<TStoreCounts> counts = Store->Counts();
    if (!counts) LogLine("health: the store does not answer: " + Store->LastError());
    for (TCommitJob* job : jobs)
      if (job->Health) job->Ok = counts.has_value();
  }
  for (TCommitJob* job : jobs) Done(*job);
}

void TTableKeeper::Rebuild() {
  const std::optional<TStoreCounts> counts = Store->Counts();
  const std::optional<std::vector<TStoredScore>> rows = counts ? Store->Table(TablePlaces) : std::nullopt;
  const std::optional<std::vector<TStoredScore>> verified = rows ? Store->Table(TablePlaces, true) : std::nullopt;
  auto page = std::make_shared<TPage>();
  auto verifiedPage = std::make_shared<TPage>();
  page->Ok = verifiedPage->Ok = rows && verified;
  if (page->Ok) {
    page->Html = TablePage(*rows);
    verifiedPage->Html = TablePage(*verified, true);
    SeenVersion = counts->TopVersion;
    Metrics.Rows(*counts);
    Metrics.PageBuilt();
  }
  std::lock_guard<std::mutex> hold(Lock);
  if (!page->Ok && (!Current || Current->Ok)) LogLine("the table cannot be read: " + Store->LastError());
  Current = std::move(page);
  CurrentVerified = std::move(verifiedPage);
}

// Another service or program may have changed the first hundred.
void TTableKeeper::Look() {
  const std::optional<TStoreCounts> counts = Store->Counts();
  if (counts) Metrics.Rows(*counts);
  if (!counts || counts->TopVersion != SeenVersion || !Page()->Ok) Rebuild();
}
