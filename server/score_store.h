#pragma once
// The online table's storage, behind one interface: an SQLite file for a
// service on its own (the default), or a PostgreSQL database that several
// services share.
//
// Two tables: every report once ("scores": the same name, score and
// country sent again is the same report), and each player's best
// ("players": one row per name and country, kept as reports arrive and
// indexed in the table's order), so that the page reads its hundred rows
// through the index whatever the number of reports. A one-row "meta" keeps
// the counts and a number that grows whenever the first hundred change,
// which tells every service reading the store when its page is stale.
//
// Beside them, the recordings of reported games ("recordings", one per
// report): a recording waits there for its replay; the replay's outcome is
// kept with it, and a report whose replay ended with its score is marked
// verified. Each player's best verified report is kept too
// ("verified_players"), for the page that shows only those.
//
// A store is used by one thread at a time.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct TStoredScore {
  std::string Name;     // the bytes as reported (Windows-1251)
  int32_t Score = 0;
  std::string Country;  // the bytes as reported
  int64_t Time = 0;     // seconds since 1970, UTC
  bool Verified = false;  // read from the store; a replay of its recording gave this score
};

// What became of a recording sent for a report.
enum TKeepResult {
  krKept,             // stored, waiting for its replay
  krNoReport,         // no report of that name, score and country is stored
  krVerifiedAlready,  // the report is verified: the recording that did it stays
  krFailed,           // the store failed
};

// A recording waiting for its replay, with the score its report claims.
struct TWaitingRecording {
  int64_t Report = 0;
  int64_t Kept = 0;  // which of the recordings sent for the report (one may replace another)
  int32_t Score = 0;
  std::string Bytes;
};

struct TStoreCounts {
  int64_t Reports = 0;
  int64_t Players = 0;
  int64_t TopVersion = 0;  // grows whenever the first hundred change
};

// What one commit did.
struct TCommitResult {
  std::vector<bool> Fresh;  // per entry: false when that report was already stored
  bool TopChanged = false;  // the first hundred are not what they were
};

// The players' places: a better score first; among equal scores the one
// reached earlier, then the one reported earlier, stays above.
constexpr int TablePlaces = 100;

class TScoreStore {
 public:
  virtual ~TScoreStore() = default;
  // Stores the entries in one transaction, durable when it returns true.
  virtual bool Commit(const std::vector<TStoredScore>& entries, TCommitResult& result) = 0;
  // The best of each player, best first (with verifiedOnly, the best
  // verified report of each player); nullopt when the store cannot be read.
  virtual std::optional<std::vector<TStoredScore>> Table(int limit, bool verifiedOnly = false) = 0;
  virtual std::optional<TStoreCounts> Counts() = 0;
  // Removes every report of one player; the number removed, or -1.
  virtual int64_t Remove(const std::string& name, const std::string& country) = 0;
  // Every stored report in the order stored (for checks and small tables).
  virtual std::optional<std::vector<TStoredScore>> All() = 0;
  // Keeps the recording sent for the report (name, score, country), in
  // place of one still unverified; report is set to the report's id.
  virtual TKeepResult KeepRecording(const std::string& name, int32_t score, const std::string& country,
                                    const std::string& bytes, int64_t& report) = 0;
  // The end of a recording's replay (kept: the one WaitingRecordings
  // gave): outcome is a word of VerificationOutcomes. Verified marks the
  // report (and raises the player's best verified); otherwise the
  // recording's bytes are dropped and the report stays unmarked, unless
  // another recording has replaced it meanwhile. A verified report is never
  // unmarked.
  virtual bool SettleRecording(int64_t report, int64_t kept, const std::string& outcome, bool verified) = 0;
  // Recordings waiting for their replay, oldest first.
  virtual std::optional<std::vector<TWaitingRecording>> WaitingRecordings(int limit) = 0;
  // The outcome kept for a report's recording; "" when it has none.
  virtual std::optional<std::string> RecordingOutcome(int64_t report) = 0;
  // Why the last call failed, for the log.
  virtual std::string LastError() const = 0;

  // One entry in its own commit; false when it could not be stored.
  bool Add(const TStoredScore& entry);
};

// Opens a store: "postgresql://..." (or "postgres://...") names a
// PostgreSQL database, anything else an SQLite file (created if need be,
// checked at opening). Throws std::runtime_error when it cannot be used.
std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& where);
bool IsPostgresAddress(const std::string& where);

// Where the service keeps its table when no store is named: the user's data
// directory ($XDG_DATA_HOME, else ~/.local/share)/voltrace2-scores/scores.db.
std::string DefaultStorePath();

// True when a (score, time, report) place is at or above another's.
inline bool PlacedAtOrAbove(int32_t score, int64_t time, int64_t report, int32_t score2, int64_t time2,
                            int64_t report2) {
  if (score != score2) return score > score2;
  if (time != time2) return time < time2;
  return report <= report2;
}
