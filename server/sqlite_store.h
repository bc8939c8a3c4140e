#pragma once
// The table in one SQLite file: the store of a service on its own. Every
// commit is synced before it returns (WAL, a full sync), and only the WAL
// is synced then: the pages go back into the database file on a thread of
// the store's own, which also keeps the WAL from growing, so that it is
// written over in place rather than lengthened (an overwrite syncs without
// the file system's journal).
#include <sqlite3.h>

#include <memory>

#include "score_store.h"

class TSqliteStore : public TScoreStore {
 public:
  // Opens or creates the file, checks it (a quick integrity check) and
  // brings an older table up to date; throws std::runtime_error.
  explicit TSqliteStore(const std::string& path);
  ~TSqliteStore() override;

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

  struct TKept;
  struct TCheckpointer;

 private:
  bool Fail();
  sqlite3* Db = nullptr;
  std::string Error;
  std::unique_ptr<TKept> Kept;
  std::unique_ptr<TCheckpointer> Checkpoints;
};

// Copies the store at from into a new file to while services keep using
// it (SQLite's online backup); false with the reason in why.
bool BackupSqliteStore(const std::string& from, const std::string& to, std::string& why);
