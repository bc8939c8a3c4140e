#include "postgres_store.h"

#include <arpa/inet.h>
#include <endian.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <numeric>
#include <stdexcept>

namespace {

// Parameters go to the server as binary values: names and countries are
// bytes (bytea), numbers big-endian.
struct TParams {
  std::vector<std::string> Values;
  TParams& Bytes(const std::string& b) {
    Values.push_back(b);
    return *this;
  }
  TParams& Int4(int32_t v) {
    const uint32_t be = htonl(static_cast<uint32_t>(v));
    Values.emplace_back(reinterpret_cast<const char*>(&be), 4);
    return *this;
  }
  TParams& Int8(int64_t v) {
    const uint64_t be = htobe64(static_cast<uint64_t>(v));
    Values.emplace_back(reinterpret_cast<const char*>(&be), 8);
    return *this;
  }
};

struct TResult {
  PGresult* R = nullptr;
  explicit TResult(PGresult* r) : R(r) {}
  ~TResult() { PQclear(R); }
  TResult(const TResult&) = delete;
  TResult& operator=(const TResult&) = delete;
  bool Ok() const {
    const ExecStatusType s = PQresultStatus(R);
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
  }
  int Rows() const { return PQntuples(R); }
  std::string Bytes(int row, int col) const {
    return std::string(PQgetvalue(R, row, col), static_cast<size_t>(PQgetlength(R, row, col)));
  }
  int32_t Int4(int row, int col) const {
    uint32_t be;
    std::memcpy(&be, PQgetvalue(R, row, col), 4);
    return static_cast<int32_t>(ntohl(be));
  }
  int64_t Int8(int row, int col) const {
    uint64_t be;
    std::memcpy(&be, PQgetvalue(R, row, col), 8);
    return static_cast<int64_t>(be64toh(be));
  }
  bool Bool(int row, int col) const { return PQgetvalue(R, row, col)[0] != 0; }
  // Another service's transaction crossed this one: worth another try.
  bool Crossed() const {
    const char* state = PQresultErrorField(R, PG_DIAG_SQLSTATE);
    return state && (std::strcmp(state, "40P01") == 0 || std::strcmp(state, "40001") == 0);
  }
};

TResult Run(PGconn* db, const char* statement, const TParams& params) {
  std::vector<const char*> values;
  std::vector<int> lengths, formats;
  for (const std::string& v : params.Values) {
    values.push_back(v.data());
    lengths.push_back(static_cast<int>(v.size()));
    formats.push_back(1);
  }
  return TResult(PQexecPrepared(db, statement, static_cast<int>(values.size()), values.data(), lengths.data(),
                                formats.data(), 1));
}

// One statement of a transaction; false with the reason in error.
bool Step(PGconn* db, std::string& error, const char* statement, const TParams& params) {
  TResult r = Run(db, statement, params);
  if (!r.Ok()) error = PQresultErrorMessage(r.R);
  return r.Ok();
}

const Oid Bytea = 17, Int8 = 20, Int4 = 23, Text = 25;

struct TPrepared {
  const char* Name;
  const char* Sql;
  std::vector<Oid> Types;
};

const TPrepared Statements[] = {
    {"add_report",
     "INSERT INTO scores(name, score, country, time) VALUES($1, $2, $3, $4)"
     " ON CONFLICT (name, country, score) DO NOTHING RETURNING id",
     {Bytea, Int4, Bytea, Int8}},
    // A new player, or a better score of a known one; xmax is 0 on a row
    // just inserted.
    {"raise_player",
     "INSERT INTO players(name, country, score, time, report) VALUES($1, $2, $3, $4, $5)"
     " ON CONFLICT (name, country) DO UPDATE SET score = EXCLUDED.score, time = EXCLUDED.time,"
     " report = EXCLUDED.report WHERE players.score < EXCLUDED.score RETURNING (xmax = 0)",
     {Bytea, Bytea, Int4, Int8, Int8}},
    {"last_place", "SELECT score, time, report FROM players ORDER BY score DESC, time, report LIMIT 1 OFFSET $1",
     {Int8}},
    {"count", "UPDATE meta SET reports = reports + $1, players = players + $2, top_version = top_version + $3",
     {Int8, Int8, Int8}},
    {"table",
     "SELECT p.name, p.score, p.country, p.time, s.verified FROM players p JOIN scores s ON s.id = p.report"
     " ORDER BY p.score DESC, p.time, p.report LIMIT $1",
     {Int8}},
    {"verified_table",
     "SELECT name, score, country, time, true FROM verified_players ORDER BY score DESC, time, report LIMIT $1",
     {Int8}},
    {"counts", "SELECT reports, players, top_version FROM meta", {}},
    {"all", "SELECT name, score, country, time, verified FROM scores ORDER BY id LIMIT $1", {Int8}},
    {"remove_recordings",
     "DELETE FROM recordings WHERE report IN (SELECT id FROM scores WHERE name = $1 AND country = $2)",
     {Bytea, Bytea}},
    {"remove_verified", "DELETE FROM verified_players WHERE name = $1 AND country = $2", {Bytea, Bytea}},
    {"remove_reports", "DELETE FROM scores WHERE name = $1 AND country = $2", {Bytea, Bytea}},
    // The report a recording is sent for; locked, so that a second
    // recording of it waits for the first's settling.
    {"find_report", "SELECT id, verified FROM scores WHERE name = $1 AND country = $2 AND score = $3 FOR UPDATE",
     {Bytea, Bytea, Int4}},
    {"keep_recording",
     "INSERT INTO recordings(report, bytes, outcome, time) VALUES($1, $2, 'waiting', $3)"
     " ON CONFLICT (report) DO UPDATE SET bytes = EXCLUDED.bytes, outcome = 'waiting', time = EXCLUDED.time,"
     " kept = recordings.kept + 1",
     {Int8, Bytea, Int8}},
    {"mark_verified", "UPDATE scores SET verified = true WHERE id = $1", {Int8}},
    {"raise_verified",
     "INSERT INTO verified_players(name, country, score, time, report) SELECT name, country, score, time, id"
     " FROM scores WHERE id = $1 ON CONFLICT (name, country) DO UPDATE SET score = EXCLUDED.score,"
     " time = EXCLUDED.time, report = EXCLUDED.report WHERE verified_players.score < EXCLUDED.score",
     {Int8}},
    {"recording_verified", "UPDATE recordings SET outcome = 'verified' WHERE report = $1 AND kept = $2", {Int8, Int8}},
    {"recording_refused",
     "UPDATE recordings SET outcome = $2, bytes = NULL WHERE report = $1 AND kept = $3 AND outcome <> 'verified'",
     {Int8, Text, Int8}},
    {"waiting_recordings",
     "SELECT r.report, r.kept, s.score, r.bytes FROM recordings r JOIN scores s ON s.id = r.report"
     " WHERE r.outcome = 'waiting' ORDER BY r.report LIMIT $1",
     {Int8}},
    {"recording_outcome", "SELECT outcome FROM recordings WHERE report = $1", {Int8}},
    {"remove_player", "DELETE FROM players WHERE name = $1 AND country = $2", {Bytea, Bytea}},
};

// Two services starting at once must not both make the tables.
const char* const Schema =
    "SELECT pg_advisory_xact_lock(7201320);"
    "CREATE TABLE IF NOT EXISTS scores(id bigserial PRIMARY KEY, name bytea NOT NULL, score integer NOT NULL,"
    " country bytea NOT NULL, time bigint NOT NULL, UNIQUE (name, country, score));"
    "CREATE TABLE IF NOT EXISTS players(name bytea NOT NULL, country bytea NOT NULL, score integer NOT NULL,"
    " time bigint NOT NULL, report bigint NOT NULL, PRIMARY KEY (name, country));"
    "CREATE INDEX IF NOT EXISTS players_by_place ON players(score DESC, time, report);"
    "CREATE TABLE IF NOT EXISTS meta(one integer PRIMARY KEY CHECK (one = 1), reports bigint NOT NULL,"
    " players bigint NOT NULL, top_version bigint NOT NULL);"
    "INSERT INTO meta VALUES(1, 0, 0, 1) ON CONFLICT DO NOTHING;"
    // Recordings of the reported games, and the mark of a replayed score.
    "ALTER TABLE scores ADD COLUMN IF NOT EXISTS verified boolean NOT NULL DEFAULT false;"
    "CREATE TABLE IF NOT EXISTS recordings(report bigint PRIMARY KEY REFERENCES scores(id) ON DELETE CASCADE,"
    " bytes bytea, outcome text NOT NULL, time bigint NOT NULL, kept bigint NOT NULL DEFAULT 1);"
    "CREATE INDEX IF NOT EXISTS recordings_waiting ON recordings(report) WHERE outcome = 'waiting';"
    "CREATE TABLE IF NOT EXISTS verified_players(name bytea NOT NULL, country bytea NOT NULL, score integer NOT NULL,"
    " time bigint NOT NULL, report bigint NOT NULL, PRIMARY KEY (name, country));"
    "CREATE INDEX IF NOT EXISTS verified_by_place ON verified_players(score DESC, time, report);";

}  // namespace

TPostgresStore::TPostgresStore(const std::string& uri) {
  // A database that does not answer is given up after five seconds (unless
  // the address says otherwise), so that reports are refused rather than
  // kept waiting.
  const char* const keys[] = {"connect_timeout", "dbname", nullptr};
  const char* const values[] = {"5", uri.c_str(), nullptr};
  Db = PQconnectdbParams(keys, values, 1);
  if (PQstatus(Db) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(Db);
    PQfinish(Db);
    throw std::runtime_error("PostgreSQL: " + message);
  }
  // "already exists, skipping" and the like are not for the service's log.
  PQsetNoticeProcessor(Db, [](void*, const char*) {}, nullptr);
  TResult schema(PQexec(Db, ("BEGIN;" + std::string(Schema) + "COMMIT;").c_str()));
  if (!schema.Ok() || !Connected()) {
    const std::string message = schema.Ok() ? Error : PQresultErrorMessage(schema.R);
    PQfinish(Db);
    throw std::runtime_error("PostgreSQL: " + message);
  }
}

TPostgresStore::~TPostgresStore() { PQfinish(Db); }

// A lost connection is made again before the next call.
bool TPostgresStore::Connected() {
  if (PQstatus(Db) != CONNECTION_OK) {
    Prepared = false;
    PQreset(Db);
    if (PQstatus(Db) != CONNECTION_OK) {
      Error = PQerrorMessage(Db);
      return false;
    }
  }
  if (!Prepared) {
    for (const TPrepared& s : Statements) {
      TResult r(PQprepare(Db, s.Name, s.Sql, static_cast<int>(s.Types.size()), s.Types.data()));
      if (!r.Ok()) {
        Error = PQresultErrorMessage(r.R);
        return false;
      }
    }
    Prepared = true;
  }
  return true;
}

bool TPostgresStore::TryCommit(const std::vector<TStoredScore>& entries, TCommitResult& result, bool& retry) {
  result.Fresh.assign(entries.size(), false);
  result.TopChanged = false;
  auto fail = [&](const TResult& r) {
    Error = PQresultErrorMessage(r.R);
    retry = r.Crossed();
    TResult(PQexec(Db, "ROLLBACK"));
    return false;
  };
  // Every service takes the rows' locks in the same order, so that two
  // commits never wait for each other.
  std::vector<size_t> order(entries.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const TStoredScore &x = entries[a], &y = entries[b];
    return std::tie(x.Name, x.Country, x.Score) < std::tie(y.Name, y.Country, y.Score);
  });
  TResult begin(PQexec(Db, "BEGIN"));
  if (!begin.Ok()) return fail(begin);
  struct TPlace {
    int32_t Score;
    int64_t Time, Report;
  };
  std::vector<TPlace> raised;
  int64_t reports = 0, players = 0;
  for (size_t i : order) {
    const TStoredScore& e = entries[i];
    TResult added = Run(Db, "add_report", TParams().Bytes(e.Name).Int4(e.Score).Bytes(e.Country).Int8(e.Time));
    if (!added.Ok()) return fail(added);
    if (added.Rows() == 0) continue;
    result.Fresh[i] = true;
    ++reports;
    const int64_t id = added.Int8(0, 0);
    TResult player =
        Run(Db, "raise_player", TParams().Bytes(e.Name).Bytes(e.Country).Int4(e.Score).Int8(e.Time).Int8(id));
    if (!player.Ok()) return fail(player);
    if (player.Rows() == 0) continue;
    players += player.Bool(0, 0) ? 1 : 0;
    raised.push_back({e.Score, e.Time, id});
  }
  TResult last = Run(Db, "last_place", TParams().Int8(TablePlaces - 1));
  if (!last.Ok()) return fail(last);
  for (const TPlace& p : raised)
    if (last.Rows() == 0 || PlacedAtOrAbove(p.Score, p.Time, p.Report, last.Int4(0, 0), last.Int8(0, 1), last.Int8(0, 2)))
      result.TopChanged = true;
  TResult counted = Run(Db, "count", TParams().Int8(reports).Int8(players).Int8(result.TopChanged ? 1 : 0));
  if (!counted.Ok()) return fail(counted);
  TResult commit(PQexec(Db, "COMMIT"));
  if (!commit.Ok()) return fail(commit);
  return true;
}

bool TPostgresStore::Commit(const std::vector<TStoredScore>& entries, TCommitResult& result) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (!Connected()) break;
    bool retry = false;
    if (TryCommit(entries, result, retry)) return true;
    if (!retry) break;
  }
  result.Fresh.assign(entries.size(), false);
  result.TopChanged = false;
  return false;
}

std::optional<std::vector<TStoredScore>> TPostgresStore::Rows(const char* statement, int64_t limit) {
  if (!Connected()) return std::nullopt;
  TResult r = Run(Db, statement, TParams().Int8(limit));
  if (!r.Ok()) {
    Error = PQresultErrorMessage(r.R);
    return std::nullopt;
  }
  std::vector<TStoredScore> rows;
  rows.reserve(static_cast<size_t>(r.Rows()));
  for (int i = 0; i < r.Rows(); ++i)
    rows.push_back({r.Bytes(i, 0), r.Int4(i, 1), r.Bytes(i, 2), r.Int8(i, 3), r.Bool(i, 4)});
  return rows;
}

std::optional<std::vector<TStoredScore>> TPostgresStore::Table(int limit, bool verifiedOnly) {
  return Rows(verifiedOnly ? "verified_table" : "table", limit);
}

std::optional<std::vector<TStoredScore>> TPostgresStore::All() { return Rows("all", INT64_MAX); }

std::optional<TStoreCounts> TPostgresStore::Counts() {
  if (!Connected()) return std::nullopt;
  TResult r = Run(Db, "counts", TParams());
  if (!r.Ok() || r.Rows() != 1) {
    Error = r.Ok() ? "no counts" : PQresultErrorMessage(r.R);
    return std::nullopt;
  }
  return TStoreCounts{r.Int8(0, 0), r.Int8(0, 1), r.Int8(0, 2)};
}

int64_t TPostgresStore::Remove(const std::string& name, const std::string& country) {
  if (!Connected()) return -1;
  auto fail = [&](const TResult& r) {
    Error = PQresultErrorMessage(r.R);
    TResult(PQexec(Db, "ROLLBACK"));
    return int64_t{-1};
  };
  TResult begin(PQexec(Db, "BEGIN"));
  if (!begin.Ok()) return fail(begin);
  TResult recordings = Run(Db, "remove_recordings", TParams().Bytes(name).Bytes(country));
  if (!recordings.Ok()) return fail(recordings);
  TResult verified = Run(Db, "remove_verified", TParams().Bytes(name).Bytes(country));
  if (!verified.Ok()) return fail(verified);
  TResult reports = Run(Db, "remove_reports", TParams().Bytes(name).Bytes(country));
  if (!reports.Ok()) return fail(reports);
  TResult player = Run(Db, "remove_player", TParams().Bytes(name).Bytes(country));
  if (!player.Ok()) return fail(player);
  const int64_t removed = std::atoll(PQcmdTuples(reports.R));
  const int64_t gone = std::atoll(PQcmdTuples(player.R));
  TResult counted = Run(Db, "count", TParams().Int8(-removed).Int8(-gone).Int8(1));
  if (!counted.Ok()) return fail(counted);
  TResult commit(PQexec(Db, "COMMIT"));
  if (!commit.Ok()) return fail(commit);
  return removed;
}

// A few statements in one transaction; false (rolled back) at the first
// that fails.
bool TPostgresStore::InTransaction(const std::function<bool()>& body) {
  if (!Connected()) return false;
  TResult begin(PQexec(Db, "BEGIN"));
  if (!begin.Ok()) {
    Error = PQresultErrorMessage(begin.R);
    return false;
  }
  if (!body()) {
    TResult(PQexec(Db, "ROLLBACK"));
    return false;
  }
  TResult commit(PQexec(Db, "COMMIT"));
  if (!commit.Ok()) {
    Error = PQresultErrorMessage(commit.R);
    return false;
  }
  return true;
}


TKeepResult TPostgresStore::KeepRecording(const std::string& name, int32_t score, const std::string& country,
                                          const std::string& bytes, int64_t& report) {
  TKeepResult result = krFailed;
  const bool ok = InTransaction([&] {
    TResult found = Run(Db, "find_report", TParams().Bytes(name).Bytes(country).Int4(score));
    if (!found.Ok()) {
      Error = PQresultErrorMessage(found.R);
      return false;
    }
    if (found.Rows() == 0) {
      result = krNoReport;
      return true;
    }
    report = found.Int8(0, 0);
    if (found.Bool(0, 1)) {
      result = krVerifiedAlready;
      return true;
    }
    result = krKept;
    return Step(Db, Error, "keep_recording", TParams().Int8(report).Bytes(bytes).Int8(std::time(nullptr)));
  });
  return ok ? result : krFailed;
}

bool TPostgresStore::SettleRecording(int64_t report, int64_t kept, const std::string& outcome, bool verified) {
  return InTransaction([&] {
    // Nothing worth keeping in a recording that does not give its score.
    if (!verified) return Step(Db, Error, "recording_refused", TParams().Int8(report).Bytes(outcome).Int8(kept));
    // The mark shows on the page: it is made anew.
    return Step(Db, Error, "mark_verified", TParams().Int8(report)) &&
           Step(Db, Error, "raise_verified", TParams().Int8(report)) &&
           Step(Db, Error, "recording_verified", TParams().Int8(report).Int8(kept)) &&
           Step(Db, Error, "count", TParams().Int8(0).Int8(0).Int8(1));
  });
}

std::optional<std::vector<TWaitingRecording>> TPostgresStore::WaitingRecordings(int limit) {
  if (!Connected()) return std::nullopt;
  TResult r = Run(Db, "waiting_recordings", TParams().Int8(limit));
  if (!r.Ok()) {
    Error = PQresultErrorMessage(r.R);
    return std::nullopt;
  }
  std::vector<TWaitingRecording> waiting;
  for (int i = 0; i < r.Rows(); ++i) waiting.push_back({r.Int8(i, 0), r.Int8(i, 1), r.Int4(i, 2), r.Bytes(i, 3)});
  return waiting;
}

std::optional<std::string> TPostgresStore::RecordingOutcome(int64_t report) {
  if (!Connected()) return std::nullopt;
  TResult r = Run(Db, "recording_outcome", TParams().Int8(report));
  if (!r.Ok()) {
    Error = PQresultErrorMessage(r.R);
    return std::nullopt;
  }
  return r.Rows() == 0 ? std::string() : r.Bytes(0, 0);
}
