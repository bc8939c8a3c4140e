#include "score_store.h"

#include <cstdlib>
#include <filesystem>

#include "postgres_store.h"
#include "sqlite_store.h"

bool TScoreStore::Add(const TStoredScore& entry) {
  TCommitResult ignored;
  return Commit({entry}, ignored);
}

bool IsPostgresAddress(const std::string& where) {
  return where.rfind("postgresql://", 0) == 0 || where.rfind("postgres://", 0) == 0;
}

std::unique_ptr<TScoreStore> OpenScoreStore(const std::string& where) {
  if (IsPostgresAddress(where)) return std::make_unique<TPostgresStore>(where);
  return std::make_unique<TSqliteStore>(where);
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
