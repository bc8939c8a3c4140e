#include "score_store.h"

#include <cstdlib>
#include <filesystem>

namespace {

void Exec(sqlite3* db, const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error(message);
  }
}

std::string ColumnBytes(sqlite3_stmt* st, int col) {
  const void* data = sqlite3_column_blob(st, col);
  return std::string(static_cast<const char*>(data ? data : ""), static_cast<size_t>(sqlite3_column_bytes(st, col)));
}

struct TStatement {
  sqlite3_stmt* St = nullptr;
  TStatement(sqlite3* db, const char* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &St, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  }
  ~TStatement() { sqlite3_finalize(St); }
};

std::vector<TStoredScore> ReadRows(sqlite3_stmt* st) {
  std::vector<TStoredScore> rows;
  while (sqlite3_step(st) == SQLITE_ROW)
    rows.push_back({ColumnBytes(st, 0), static_cast<int32_t>(sqlite3_column_int64(st, 1)), ColumnBytes(st, 2),
                    sqlite3_column_int64(st, 3)});
  return rows;
}

}  // namespace

TScoreStore::TScoreStore(const std::string& path) {
  if (sqlite3_open_v2(path.c_str(), &Db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr) !=
      SQLITE_OK) {
    std::string message = Db ? sqlite3_errmsg(Db) : "cannot open";
    sqlite3_close(Db);
    Db = nullptr;
    throw std::runtime_error(path + ": " + message);
  }
  sqlite3_busy_timeout(Db, 5000);
  try {
    // WAL with a full sync on every commit: an answered report is on disk.
    Exec(Db, "PRAGMA journal_mode=WAL");
    Exec(Db, "PRAGMA synchronous=FULL");
    // Names and countries are kept as the exact bytes the game sent.
    Exec(Db,
         "CREATE TABLE IF NOT EXISTS scores(id INTEGER PRIMARY KEY, name BLOB NOT NULL, score INTEGER NOT NULL,"
         " country BLOB NOT NULL, time INTEGER NOT NULL)");
    Exec(Db, "CREATE INDEX IF NOT EXISTS scores_by_player ON scores(name, country, score DESC, time, id)");
  } catch (...) {
    sqlite3_close(Db);
    throw;
  }
}

TScoreStore::~TScoreStore() { sqlite3_close(Db); }

bool TScoreStore::Add(const TStoredScore& entry) {
  std::lock_guard<std::mutex> hold(Lock);
  TStatement insert(Db, "INSERT INTO scores(name, score, country, time) VALUES(?, ?, ?, ?)");
  sqlite3_bind_blob(insert.St, 1, entry.Name.data(), static_cast<int>(entry.Name.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(insert.St, 2, entry.Score);
  sqlite3_bind_blob(insert.St, 3, entry.Country.data(), static_cast<int>(entry.Country.size()), SQLITE_TRANSIENT);
  sqlite3_bind_int64(insert.St, 4, entry.Time);
  return sqlite3_step(insert.St) == SQLITE_DONE;
}

std::vector<TStoredScore> TScoreStore::Table(int limit) {
  std::lock_guard<std::mutex> hold(Lock);
  TStatement query(Db,
                   "SELECT name, score, country, time FROM scores s WHERE id = (SELECT id FROM scores t"
                   " WHERE t.name = s.name AND t.country = s.country ORDER BY score DESC, time, id LIMIT 1)"
                   " ORDER BY score DESC, time, id LIMIT ?");
  sqlite3_bind_int(query.St, 1, limit);
  return ReadRows(query.St);
}

std::vector<TStoredScore> TScoreStore::All() {
  std::lock_guard<std::mutex> hold(Lock);
  TStatement query(Db, "SELECT name, score, country, time FROM scores ORDER BY id");
  return ReadRows(query.St);
}

std::string DefaultStorePath() {
  namespace fs = std::filesystem;
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home) base = fs::path(home) / ".local" / "share";
  else base = ".";
  const fs::path dir = base / "voltrace2-scores";
  std::error_code ignored;
  fs::create_directories(dir, ignored);
  return (dir / "scores.db").string();
}
