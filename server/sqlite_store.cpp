#include "sqlite_store.h"

#include <condition_variable>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "service_log.h"

namespace {

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : sqlite3_errmsg(db);
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

// One statement, prepared for one call and finalized with it.
struct TStatement {
  sqlite3_stmt* St = nullptr;
  TStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &St, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  }
  ~TStatement() { sqlite3_finalize(St); }
  TStatement(const TStatement&) = delete;
  TStatement& operator=(const TStatement&) = delete;
  // Ready to be bound and stepped again.
  TStatement& Reset() {
    sqlite3_reset(St);
    return *this;
  }
  TStatement& Bytes(int at, const std::string& b) {
    sqlite3_bind_blob(St, at, b.data(), static_cast<int>(b.size()), SQLITE_STATIC);
    return *this;
  }
  TStatement& Text(int at, const std::string& t) {
    sqlite3_bind_text(St, at, t.data(), static_cast<int>(t.size()), SQLITE_STATIC);
    return *this;
  }
  TStatement& Int(int at, int64_t v) {
    sqlite3_bind_int64(St, at, v);
    return *this;
  }
  // SQLITE_ROW or SQLITE_DONE; anything else is a store failure.
  int Step(sqlite3* db) {
    const int rc = sqlite3_step(St);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    return rc;
  }
  std::string ColumnBytes(int col) {
    const void* data = sqlite3_column_blob(St, col);
    return std::string(static_cast<const char*>(data ? data : ""), static_cast<size_t>(sqlite3_column_bytes(St, col)));
  }
  int64_t Column(int col) { return sqlite3_column_int64(St, col); }
};

// Rows of (name, score, country, time, verified).
std::vector<TStoredScore> ReadRows(sqlite3* db, TStatement& st) {
  std::vector<TStoredScore> rows;
  while (st.Step(db) == SQLITE_ROW)
    rows.push_back(
        {st.ColumnBytes(0), static_cast<int32_t>(st.Column(1)), st.ColumnBytes(2), st.Column(3), st.Column(4) != 0});
  return rows;
}

// A damaged file is refused at the start rather than shown as an empty
// table later.
void QuickCheck(sqlite3* db) {
  TStatement check(db, "PRAGMA quick_check(1)");
  if (check.Step(db) != SQLITE_ROW) throw std::runtime_error("the integrity check gave no answer");
  const std::string answer = check.ColumnBytes(0);
  if (answer != "ok") throw std::runtime_error("damaged: " + answer);
}

// Earlier services kept every report, the same one as often as it came,
// and found each player's best by scanning them all; this keeps each report
// once and the players' best beside them.
void BringUpToDate(sqlite3* db) {
  Exec(db, "BEGIN IMMEDIATE");
  try {
    Exec(db,
         "CREATE TABLE IF NOT EXISTS scores(id INTEGER PRIMARY KEY, name BLOB NOT NULL, score INTEGER NOT NULL,"
         " country BLOB NOT NULL, time INTEGER NOT NULL)");
    int64_t version = 0;
    {
      TStatement read(db, "PRAGMA user_version");
      read.Step(db);
      version = read.Column(0);
    }
    if (version < 2) {
      Exec(db, "DELETE FROM scores WHERE id NOT IN (SELECT min(id) FROM scores GROUP BY name, country, score)");
      Exec(db, "DROP INDEX IF EXISTS scores_by_player");
      Exec(db, "CREATE UNIQUE INDEX IF NOT EXISTS scores_once ON scores(name, country, score)");
      Exec(db,
           "CREATE TABLE IF NOT EXISTS players(name BLOB NOT NULL, country BLOB NOT NULL, score INTEGER NOT NULL,"
           " time INTEGER NOT NULL, report INTEGER NOT NULL, PRIMARY KEY(name, country))");
      Exec(db, "CREATE INDEX IF NOT EXISTS players_by_place ON players(score DESC, time, report)");
      Exec(db,
           "INSERT OR REPLACE INTO players SELECT name, country, score, time, id FROM scores s WHERE id = (SELECT id"
           " FROM scores t WHERE t.name = s.name AND t.country = s.country ORDER BY score DESC, time, id LIMIT 1)");
      Exec(db,
           "CREATE TABLE IF NOT EXISTS meta(one INTEGER PRIMARY KEY CHECK(one = 1), reports INTEGER NOT NULL,"
           " players INTEGER NOT NULL, top_version INTEGER NOT NULL)");
      Exec(db,
           "INSERT OR REPLACE INTO meta SELECT 1, (SELECT count(*) FROM scores), (SELECT count(*) FROM players),"
           " 1 + coalesce((SELECT top_version FROM meta), 0)");
      Exec(db, "PRAGMA user_version = 2");
    }
    // Recordings of the reported games, and the mark of a replayed score.
    if (version < 3) {
      Exec(db, "ALTER TABLE scores ADD COLUMN verified INTEGER NOT NULL DEFAULT 0");
      Exec(db,
           "CREATE TABLE IF NOT EXISTS recordings(report INTEGER PRIMARY KEY, bytes BLOB, outcome TEXT NOT NULL,"
           " time INTEGER NOT NULL, kept INTEGER NOT NULL DEFAULT 1)");
      Exec(db, "CREATE INDEX IF NOT EXISTS recordings_waiting ON recordings(report) WHERE outcome = 'waiting'");
      Exec(db,
           "CREATE TABLE IF NOT EXISTS verified_players(name BLOB NOT NULL, country BLOB NOT NULL,"
           " score INTEGER NOT NULL, time INTEGER NOT NULL, report INTEGER NOT NULL, PRIMARY KEY(name, country))");
      Exec(db, "CREATE INDEX IF NOT EXISTS verified_by_place ON verified_players(score DESC, time, report)");
      Exec(db, "PRAGMA user_version = 3");
    }
    Exec(db, "COMMIT");
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

// The WAL's pages go back into the database file, on the checkpointer's
// thread, each time the WAL has grown by this many (SQLite's own default).
constexpr int BackfillFrames = 1000;
// Past this length the next commit first waits for the checkpointer to take
// in the few pages left, so that it writes the WAL from its start again:
// the WAL keeps its length and is written over in place, and a commit syncs
// its pages without the file system's journal (a longer file would need it).
constexpr int RestartFrames = 4000;
// A checkpointer held up (a backup reading an old state) is not waited for
// longer than this: the WAL then grows a little more instead.
constexpr auto MostRestartWait = std::chrono::milliseconds(200);

}  // namespace

// The reporting path's statements, prepared once.
struct TSqliteStore::TKept {
  explicit TKept(sqlite3* db)
      : Begin(db, "BEGIN IMMEDIATE"),
        End(db, "COMMIT"),
        Insert(db,
               "INSERT INTO scores(name, score, country, time) VALUES(?1, ?2, ?3, ?4)"
               " ON CONFLICT(name, country, score) DO NOTHING"),
        Find(db, "SELECT score FROM players WHERE name = ?1 AND country = ?2"),
        Add(db, "INSERT INTO players(name, country, score, time, report) VALUES(?1, ?2, ?3, ?4, ?5)"),
        Raise(db, "UPDATE players SET score = ?3, time = ?4, report = ?5 WHERE name = ?1 AND country = ?2"),
        Last(db, "SELECT score, time, report FROM players ORDER BY score DESC, time, report LIMIT 1 OFFSET ?1"),
        Meta(db, "UPDATE meta SET reports = reports + ?1, players = players + ?2, top_version = top_version + ?3") {}
  TStatement Begin, End, Insert, Find, Add, Raise, Last, Meta;
};

// Checkpoints on a connection and a thread of their own: a commit syncs
// only the WAL, never the database file.
struct TSqliteStore::TCheckpointer {
  explicit TCheckpointer(const std::string& path) {
    if (sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
      const std::string message = Db ? sqlite3_errmsg(Db) : "cannot open";
      sqlite3_close(Db);
      throw std::runtime_error(message);
    }
    // The WAL is synced before its pages are copied, the database file
    // before the WAL is written over.
    Exec(Db, "PRAGMA synchronous=FULL");
    Thread = std::thread([this] { Loop(); });
  }
  ~TCheckpointer() {
    {
      std::lock_guard<std::mutex> hold(Lock);
      Stopping = true;
    }
    Wake.notify_all();
    Passed.notify_all();
    Thread.join();
    sqlite3_close(Db);
  }

  // After each commit, with the WAL's length in pages.
  void Committed(int frames) {
    {
      std::lock_guard<std::mutex> hold(Lock);
      if (frames < Frames) Asked = 0;  // written from its start again
      Frames = frames;
      if (frames - Asked < BackfillFrames) return;
      Asked = frames;
      Wanted = true;
    }
    Wake.notify_one();
  }

  // Before a commit, with no transaction open.
  void BeforeWrite() {
    std::unique_lock<std::mutex> hold(Lock);
    if (Frames < RestartFrames || !LastWhole) return;
    Wanted = true;
    const uint64_t pass = Started + 1;
    Wake.notify_one();
    Passed.wait_for(hold, MostRestartWait, [&] { return Finished >= pass || Stopping; });
    Frames = 0;
  }

  void Loop() {
    std::unique_lock<std::mutex> hold(Lock);
    while (true) {
      Wake.wait(hold, [this] { return Wanted || Stopping; });
      if (Stopping) return;
      Wanted = false;
      const uint64_t pass = ++Started;
      hold.unlock();
      int log = 0, copied = 0;
      const int rc = sqlite3_wal_checkpoint_v2(Db, "main", SQLITE_CHECKPOINT_PASSIVE, &log, &copied);
      // A checkpoint that fails leaves the WAL growing: told once, until
      // one succeeds again. (Busy only means another program's checkpoint
      // or a reader got there first.)
      const bool failed = rc != SQLITE_OK && rc != SQLITE_BUSY;
      if (failed && !Failing) LogLine(std::string("the store's checkpoint failed: ") + sqlite3_errmsg(Db));
      hold.lock();
      Failing = failed;
      Finished = pass;
      LastWhole = rc == SQLITE_OK && copied == log;
      Passed.notify_all();
    }
  }

  static int Hook(void* self, sqlite3*, const char*, int frames) {
    static_cast<TCheckpointer*>(self)->Committed(frames);
    return SQLITE_OK;
  }

  sqlite3* Db = nullptr;
  std::mutex Lock;
  std::condition_variable Wake, Passed;
  int Frames = 0;  // the WAL's length after the last commit
  int Asked = 0;   // its length when a pass was last asked for
  bool Wanted = false, Stopping = false, LastWhole = true, Failing = false;
  uint64_t Started = 0, Finished = 0;  // passes
  std::thread Thread;
};

TSqliteStore::TSqliteStore(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    std::string message = Db ? sqlite3_errmsg(Db) : "cannot open";
    sqlite3_close(Db);
    Db = nullptr;
    throw std::runtime_error(path + ": " + message);
  }
  // Another program (a backup, a removal) may hold the file for a moment.
  sqlite3_busy_timeout(Db, 5000);
  try {
    QuickCheck(Db);
    // WAL with a full sync on every commit: an answered report is on disk.
    Exec(Db, "PRAGMA journal_mode=WAL");
    Exec(Db, "PRAGMA synchronous=FULL");
    // Room for the indexes' upper pages of a table of millions of reports.
    Exec(Db, "PRAGMA cache_size=-32768");
    BringUpToDate(Db);
    Kept = std::make_unique<TKept>(Db);
    Checkpoints = std::make_unique<TCheckpointer>(path);
    // Takes the place of SQLite's own checkpoints, which a commit would
    // run itself, syncing the database file while its reports wait.
    sqlite3_wal_hook(Db, &TCheckpointer::Hook, Checkpoints.get());
  } catch (const std::exception& e) {
    Checkpoints.reset();
    Kept.reset();
    sqlite3_close(Db);
    Db = nullptr;
    throw std::runtime_error(path + ": " + e.what());
  }
}

TSqliteStore::~TSqliteStore() {
  sqlite3_wal_hook(Db, nullptr, nullptr);
  Checkpoints.reset();
  Kept.reset();
  // The last connection takes the WAL in whole and removes it.
  sqlite3_close(Db);
}

bool TSqliteStore::Fail() {
  Error = sqlite3_errmsg(Db);
  sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

bool TSqliteStore::Commit(const std::vector<TStoredScore>& entries, TCommitResult& result) {
  result.Fresh.assign(entries.size(), false);
  result.TopChanged = false;
  TKept& k = *Kept;
  try {
    Checkpoints->BeforeWrite();
    k.Begin.Reset().Step(Db);
    struct TPlace {
      int32_t Score;
      int64_t Time, Report;
    };
    std::vector<TPlace> raised;
    int64_t reports = 0, players = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
      const TStoredScore& e = entries[i];
      k.Insert.Reset().Bytes(1, e.Name).Int(2, e.Score).Bytes(3, e.Country).Int(4, e.Time).Step(Db);
      if (sqlite3_changes(Db) == 0) continue;
      result.Fresh[i] = true;
      ++reports;
      const int64_t id = sqlite3_last_insert_rowid(Db);
      const bool known = k.Find.Reset().Bytes(1, e.Name).Bytes(2, e.Country).Step(Db) == SQLITE_ROW;
      if (known && k.Find.Column(0) >= e.Score) continue;
      TStatement& write = known ? k.Raise : k.Add;
      write.Reset().Bytes(1, e.Name).Bytes(2, e.Country).Int(3, e.Score).Int(4, e.Time).Int(5, id).Step(Db);
      players += known ? 0 : 1;
      raised.push_back({e.Score, e.Time, id});
    }
    // A raised best changes the first hundred when it now stands among them.
    const bool full = k.Last.Reset().Int(1, TablePlaces - 1).Step(Db) == SQLITE_ROW;
    for (const TPlace& p : raised)
      if (!full || PlacedAtOrAbove(p.Score, p.Time, p.Report, static_cast<int32_t>(k.Last.Column(0)),
                                   k.Last.Column(1), k.Last.Column(2)))
        result.TopChanged = true;
    // Nothing left reading while the transaction ends.
    for (TStatement* st : {&k.Insert, &k.Find, &k.Add, &k.Raise, &k.Last}) st->Reset();
    k.Meta.Reset().Int(1, reports).Int(2, players).Int(3, result.TopChanged ? 1 : 0).Step(Db);
    k.End.Reset().Step(Db);
    k.End.Reset();
    return true;
  } catch (const std::exception& e) {
    result.Fresh.assign(entries.size(), false);
    result.TopChanged = false;
    for (TStatement* st : {&k.Begin, &k.End, &k.Insert, &k.Find, &k.Add, &k.Raise, &k.Last, &k.Meta}) st->Reset();
    sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
    Error = e.what();
    return false;
  }
}

std::optional<std::vector<TStoredScore>> TSqliteStore::Table(int limit, bool verifiedOnly) {
  try {
    TStatement query(Db, verifiedOnly ? "SELECT name, score, country, time, 1 FROM verified_players"
                                        " ORDER BY score DESC, time, report LIMIT ?1"
                                      : "SELECT p.name, p.score, p.country, p.time, s.verified FROM players p"
                                        " JOIN scores s ON s.id = p.report ORDER BY p.score DESC, p.time, p.report"
                                        " LIMIT ?1");
    query.Int(1, limit);
    return ReadRows(Db, query);
  } catch (const std::exception&) {
    Error = sqlite3_errmsg(Db);
    return std::nullopt;
  }
}

std::optional<TStoreCounts> TSqliteStore::Counts() {
  try {
    TStatement query(Db, "SELECT reports, players, top_version FROM meta");
    if (query.Step(Db) != SQLITE_ROW) throw std::runtime_error("no counts");
    return TStoreCounts{query.Column(0), query.Column(1), query.Column(2)};
  } catch (const std::exception& e) {
    Error = e.what();
    return std::nullopt;
  }
}

int64_t TSqliteStore::Remove(const std::string& name, const std::string& country) {
  try {
    Exec(Db, "BEGIN IMMEDIATE");
    TStatement recordings(Db,
                          "DELETE FROM recordings WHERE report IN (SELECT id FROM scores WHERE name = ?1 AND country = ?2)");
    recordings.Bytes(1, name).Bytes(2, country).Step(Db);
    TStatement verified(Db, "DELETE FROM verified_players WHERE name = ?1 AND country = ?2");
    verified.Bytes(1, name).Bytes(2, country).Step(Db);
    TStatement reports(Db, "DELETE FROM scores WHERE name = ?1 AND country = ?2");
    reports.Bytes(1, name).Bytes(2, country).Step(Db);
    const int64_t removed = sqlite3_changes(Db);
    TStatement players(Db, "DELETE FROM players WHERE name = ?1 AND country = ?2");
    players.Bytes(1, name).Bytes(2, country).Step(Db);
    const int64_t gone = sqlite3_changes(Db);
    TStatement meta(Db, "UPDATE meta SET reports = reports - ?1, players = players - ?2, top_version = top_version + 1");
    meta.Int(1, removed).Int(2, gone).Step(Db);
    Exec(Db, "COMMIT");
    return removed;
  } catch (const std::exception&) {
    Fail();
    return -1;
  }
}

std::optional<std::vector<TStoredScore>> TSqliteStore::All() {
  try {
    TStatement query(Db, "SELECT name, score, country, time, verified FROM scores ORDER BY id");
    return ReadRows(Db, query);
  } catch (const std::exception&) {
    Error = sqlite3_errmsg(Db);
    return std::nullopt;
  }
}

TKeepResult TSqliteStore::KeepRecording(const std::string& name, int32_t score, const std::string& country,
                                        const std::string& bytes, int64_t& report) {
  try {
    Exec(Db, "BEGIN IMMEDIATE");
    TStatement find(Db, "SELECT id, verified FROM scores WHERE name = ?1 AND country = ?2 AND score = ?3");
    const bool known = find.Bytes(1, name).Bytes(2, country).Int(3, score).Step(Db) == SQLITE_ROW;
    const TKeepResult result = !known ? krNoReport : find.Column(1) != 0 ? krVerifiedAlready : krKept;
    if (known) report = find.Column(0);
    sqlite3_reset(find.St);
    if (result == krKept) {
      TStatement keep(Db,
                      "INSERT INTO recordings(report, bytes, outcome, time) VALUES(?1, ?2, 'waiting', ?3)"
                      " ON CONFLICT(report) DO UPDATE SET bytes = excluded.bytes, outcome = 'waiting',"
                      " time = excluded.time, kept = recordings.kept + 1");
      keep.Int(1, report).Bytes(2, bytes).Int(3, static_cast<int64_t>(std::time(nullptr))).Step(Db);
    }
    Exec(Db, "COMMIT");
    return result;
  } catch (const std::exception&) {
    Fail();
    return krFailed;
  }
}

bool TSqliteStore::SettleRecording(int64_t report, int64_t kept, const std::string& outcome, bool verified) {
  try {
    Exec(Db, "BEGIN IMMEDIATE");
    if (verified) {
      TStatement mark(Db, "UPDATE scores SET verified = 1 WHERE id = ?1");
      mark.Int(1, report).Step(Db);
      TStatement raise(Db,
                       "INSERT INTO verified_players(name, country, score, time, report)"
                       " SELECT name, country, score, time, id FROM scores WHERE id = ?1"
                       " ON CONFLICT(name, country) DO UPDATE SET score = excluded.score, time = excluded.time,"
                       " report = excluded.report WHERE excluded.score > verified_players.score");
      raise.Int(1, report).Step(Db);
      TStatement settle(Db, "UPDATE recordings SET outcome = 'verified' WHERE report = ?1 AND kept = ?2");
      settle.Int(1, report).Int(2, kept).Step(Db);
      // The mark shows on the page: it is made anew.
      Exec(Db, "UPDATE meta SET top_version = top_version + 1");
    } else {
      // Nothing worth keeping in a recording that does not give its score.
      TStatement drop(Db,
                      "UPDATE recordings SET outcome = ?2, bytes = NULL WHERE report = ?1 AND kept = ?3"
                      " AND outcome <> 'verified'");
      drop.Int(1, report).Text(2, outcome).Int(3, kept).Step(Db);
    }
    Exec(Db, "COMMIT");
    return true;
  } catch (const std::exception&) {
    return Fail();
  }
}

std::optional<std::vector<TWaitingRecording>> TSqliteStore::WaitingRecordings(int limit) {
  try {
    TStatement query(Db,
                     "SELECT r.report, r.kept, s.score, r.bytes FROM recordings r JOIN scores s ON s.id = r.report"
                     " WHERE r.outcome = 'waiting' ORDER BY r.report LIMIT ?1");
    query.Int(1, limit);
    std::vector<TWaitingRecording> waiting;
    while (query.Step(Db) == SQLITE_ROW)
      waiting.push_back({query.Column(0), query.Column(1), static_cast<int32_t>(query.Column(2)), query.ColumnBytes(3)});
    return waiting;
  } catch (const std::exception&) {
    Error = sqlite3_errmsg(Db);
    return std::nullopt;
  }
}

std::optional<std::string> TSqliteStore::RecordingOutcome(int64_t report) {
  try {
    TStatement query(Db, "SELECT outcome FROM recordings WHERE report = ?1");
    query.Int(1, report);
    return query.Step(Db) == SQLITE_ROW ? query.ColumnBytes(0) : std::string();
  } catch (const std::exception&) {
    Error = sqlite3_errmsg(Db);
    return std::nullopt;
  }
}

bool BackupSqliteStore(const std::string& from, const std::string& to, std::string& why) {
  std::error_code ec;
  if (std::filesystem::exists(to, ec)) return why = to + " exists already", false;
  sqlite3* source = nullptr;
  sqlite3* copy = nullptr;
  bool ok = false;
  if (sqlite3_open_v2(from.c_str(), &source, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    why = from + ": " + sqlite3_errmsg(source);
  } else if (sqlite3_open_v2(to.c_str(), &copy, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    why = to + ": " + sqlite3_errmsg(copy);
  } else {
    sqlite3_busy_timeout(source, 5000);
    // One step copies every page under one read of the WAL file: the
    // services keep writing meanwhile, and the copy is the table as it was
    // at one commit.
    sqlite3_backup* backup = sqlite3_backup_init(copy, "main", source, "main");
    if (!backup) {
      why = to + ": " + sqlite3_errmsg(copy);
    } else {
      const int rc = sqlite3_backup_step(backup, -1);
      sqlite3_backup_finish(backup);
      ok = rc == SQLITE_DONE;
      if (!ok) why = std::string("backup failed: ") + sqlite3_errstr(rc);
    }
  }
  sqlite3_close(source);
  sqlite3_close(copy);
  if (!ok) {
    std::filesystem::remove(to, ec);
  }
  return ok;
}
