#pragma once
// The table in a PostgreSQL database that several services may share: each
// report is stored once whichever service takes it, and each service's page
// follows the others' reports.
#include <libpq-fe.h>

#include <functional>

#include "score_store.h"

class TPostgresStore : public TScoreStore {
 public:
  // Connects (a libpq URI, "postgresql://user@host:port/database") and
  // makes the tables if they are missing; throws std::runtime_error.
  explicit TPostgresStore(const std::string& uri);
  ~TPostgresStore() override;

  bool Commit(const std::vector<TStoredScore>& entries, TCommitResult& result) override;
  std::optional<std::vector<TStoredScore>> Table(int limit, bool verifiedOnly) override;
  std::optional<TStoreCounts> Counts() override;
  int64_t Remove(const std::string& name, const std::string& country) override;
  std::optional<std::vector<TStoredScore>> All() override;
  TKeepResult KeepRecording(const std::string& name, int32_t score, const std::string& country,
                            const std::string& bytes, int64_t& report) override;
  bool SettleRecording(int64_t report, int64_t kept, const std::string& outcome, bool verified) override;
  std::optional<std::vector<TWaitingRecording>> WaitingRecordings(int limit) override;
  std::optional<std::string> RecordingOutcome(int64_t report) override;
  std::string LastError() const override { return Error; }

 private:
  bool Connected();
  bool TryCommit(const std::vector<TStoredScore>& entries, TCommitResult& result, bool& retry);
  std::optional<std::vector<TStoredScore>> Rows(const char* statement, int64_t limit);
  bool InTransaction(const std::function<bool()>& body);

  PGconn* Db = nullptr;
  bool Prepared = false;
  std::string Error;
};
