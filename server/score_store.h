#pragma once
// The online table's storage: one SQLite file in WAL mode. Every report is
// committed to disk before the service answers it, so an answered report
// survives the service being killed at any moment.
#include <sqlite3.h>

#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

struct TStoredScore {
  std::string Name;     // the bytes as reported (Windows-1251)
  int32_t Score = 0;
  std::string Country;  // the bytes as reported
  int64_t Time = 0;     // seconds since 1970, UTC
};

class TScoreStore {
 public:
  // Opens (creating if need be) the file; throws std::runtime_error.
  explicit TScoreStore(const std::string& path);
  ~TScoreStore();
  TScoreStore(const TScoreStore&) = delete;
  TScoreStore& operator=(const TScoreStore&) = delete;

  // Stores one entry; false when the file could not be written.
  bool Add(const TStoredScore& entry);
  // The best entry of each name and country, best first; among equal
  // scores the one reached earlier stays above, as in the game's table.
  std::vector<TStoredScore> Table(int limit);
  // Every stored entry in the order stored.
  std::vector<TStoredScore> All();

 private:
  sqlite3* Db = nullptr;
  std::mutex Lock;
};

// Where the service keeps its table when no file is named: the user's data
// directory ($XDG_DATA_HOME, else ~/.local/share)/voltrace2-scores/scores.db.
std::string DefaultStorePath();
