// The table's storage, the same tests against an SQLite file and against a
// PostgreSQL database: each player's best kept as reports arrive, each
// report stored once, the first hundred's changes told, a player removed;
// and SQLite's own cases: an older file brought up to date, a damaged one
// refused.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>

#include "postgres_server.h"
#include "score_store.h"
#include "service_process.h"

namespace {

class ScoreStore : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
    Where = GetParam() == "sqlite" ? (Scratch.Dir / "scores.db").string() : FreshPostgresDatabase();
    ASSERT_FALSE(Where.empty());
    Store = OpenScoreStore(Where);
  }
  std::vector<TStoredScore> Table() { return Store->Table(TablePlaces).value(); }
  TStoreCounts Counts() { return Store->Counts().value(); }
  TScratch Scratch;
  std::string Where;
  std::unique_ptr<TScoreStore> Store;
};

TEST_P(ScoreStore, KeepsEachPlayersBestInTheGamesOrder) {
  // Same name in two countries counts twice; the better of one player's
  // scores counts; equal scores: the one reached first stays above, and at
  // the same second the one reported first.
  ASSERT_TRUE(Store->Add({"Ann", 300, "UK", 1000}));
  ASSERT_TRUE(Store->Add({"Ann", 900, "UK", 1001}));
  ASSERT_TRUE(Store->Add({"Ann", 500, "FR", 1002}));
  ASSERT_TRUE(Store->Add({"Bob", 900, "UK", 999}));
  ASSERT_TRUE(Store->Add({"Cid", 900, "UK", 1003}));
  ASSERT_TRUE(Store->Add({"Dan", 900, "UK", 1003}));
  ASSERT_TRUE(Store->Add({"Ann", 700, "UK", 1004}));  // worse than her best: the best stays
  ASSERT_TRUE(Store->Add({"\xC2\xE0\xF1\xFF", -5, "", 1005}));
  const auto table = Table();
  ASSERT_EQ(table.size(), 6u);
  const std::vector<std::string> order = {"Bob", "Ann", "Cid", "Dan", "Ann", "\xC2\xE0\xF1\xFF"};
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(table[i].Name, order[i]) << i;
  EXPECT_EQ(table[1].Score, 900);
  EXPECT_EQ(table[1].Time, 1001);
  EXPECT_EQ(table[4].Country, "FR");
  EXPECT_EQ(table[5].Score, -5);
  EXPECT_EQ(Store->Table(2).value().size(), 2u);
  EXPECT_EQ(Counts().Reports, 8);
  EXPECT_EQ(Counts().Players, 6);
}

TEST_P(ScoreStore, ACommitStoresEachReportOnceAndTellsWhichWereNew) {
  TCommitResult result;
  ASSERT_TRUE(Store->Commit({{"Ann", 10, "UK", 1}, {"Bob", 5, "UK", 1}, {"Ann", 10, "UK", 2}}, result));
  EXPECT_EQ(result.Fresh, (std::vector<bool>{true, true, false}));
  ASSERT_TRUE(Store->Commit({{"Ann", 10, "UK", 3}, {"Ann", 11, "UK", 3}}, result));
  EXPECT_EQ(result.Fresh, (std::vector<bool>{false, true}));
  const auto all = Store->All().value();
  ASSERT_EQ(all.size(), 3u);
  EXPECT_EQ(all[0].Time, 1) << "the first of the same report is the one kept";
  EXPECT_EQ(Counts().Reports, 3);
  EXPECT_EQ(Counts().Players, 2);
}

TEST_P(ScoreStore, TellsWhenTheFirstHundredChange) {
  std::vector<TStoredScore> hundred;
  for (int i = 0; i < TablePlaces; ++i) hundred.push_back({"p" + std::to_string(i), 1000 + i, "", 10});
  TCommitResult result;
  ASSERT_TRUE(Store->Commit(hundred, result));
  EXPECT_TRUE(result.TopChanged);
  const int64_t version = Counts().TopVersion;
  struct TCase {
    TStoredScore Entry;
    bool Changes;
  };
  const TCase cases[] = {
      {{"low", 999, "", 20}, false},    // below the hundredth
      {{"low", 1000, "", 20}, false},   // level with the hundredth, but later
      {{"p0", 1001, "", 20}, true},     // the hundredth moves up
      {{"p50", 1020, "", 20}, false},   // worse than his best
      {{"p50", 5000, "", 20}, true},    // to the top
      {{"new", 1002, "", 5}, true},     // level with the hundredth, reached earlier
  };
  int64_t expected = version;
  for (const TCase& c : cases) {
    ASSERT_TRUE(Store->Commit({c.Entry}, result));
    EXPECT_EQ(result.TopChanged, c.Changes) << c.Entry.Name << " " << c.Entry.Score;
    expected += c.Changes ? 1 : 0;
    EXPECT_EQ(Counts().TopVersion, expected);
  }
  EXPECT_EQ(Table().front().Name, "p50");
  EXPECT_EQ(Table().back().Name, "p1") << "p0 reached 1001 after p1 did and fell off the hundred";
}

TEST_P(ScoreStore, RemovesEveryReportOfOnePlayer) {
  ASSERT_TRUE(Store->Add({"Ann", 300, "UK", 1}));
  ASSERT_TRUE(Store->Add({"Ann", 900, "UK", 2}));
  ASSERT_TRUE(Store->Add({"Ann", 500, "FR", 3}));
  const int64_t version = Counts().TopVersion;
  EXPECT_EQ(Store->Remove("Ann", "UK"), 2);
  const auto table = Table();
  ASSERT_EQ(table.size(), 1u);
  EXPECT_EQ(table[0].Country, "FR");
  EXPECT_EQ(Counts().Reports, 1);
  EXPECT_EQ(Counts().Players, 1);
  EXPECT_GT(Counts().TopVersion, version);
  EXPECT_EQ(Store->Remove("Nobody", "UK"), 0);
}

// A recording waits with its report; its replay's outcome either marks the
// report (and raises the player's best verified) or drops the recording.
TEST_P(ScoreStore, KeepsRecordingsAndMarksOnlyTheReplayedScores) {
  ASSERT_TRUE(Store->Add({"Ann", 300, "UK", 1}));
  ASSERT_TRUE(Store->Add({"Ann", 900, "UK", 2}));
  ASSERT_TRUE(Store->Add({"Bob", 600, "UK", 3}));
  int64_t ann300 = 0, ann900 = 0, bob = 0, none = 0;
  EXPECT_EQ(Store->KeepRecording("Ann", 300, "UK", "three hundred", ann300), krKept);
  EXPECT_EQ(Store->KeepRecording("Ann", 900, "UK", "first try", ann900), krKept);
  EXPECT_EQ(Store->KeepRecording("Bob", 600, "UK", "six hundred", bob), krKept);
  EXPECT_EQ(Store->KeepRecording("Ann", 301, "UK", "x", none), krNoReport);
  EXPECT_EQ(Store->KeepRecording("Ann", 300, "FR", "x", none), krNoReport);
  const auto waiting = Store->WaitingRecordings(10).value();
  ASSERT_EQ(waiting.size(), 3u);
  EXPECT_EQ(waiting[0].Report, ann300);
  EXPECT_EQ(waiting[0].Score, 300);
  EXPECT_EQ(waiting[1].Bytes, "first try");
  EXPECT_EQ(Store->WaitingRecordings(1).value().size(), 1u);
  // A second recording for her 900 arrives while the first is replayed: the
  // first's failure does not touch the second.
  EXPECT_EQ(Store->KeepRecording("Ann", 900, "UK", "nine hundred", ann900), krKept);
  ASSERT_TRUE(Store->SettleRecording(ann900, waiting[1].Kept, "diverged", false));
  EXPECT_EQ(Store->WaitingRecordings(10).value().at(1).Bytes, "nine hundred");
  EXPECT_EQ(Store->RecordingOutcome(ann900).value(), "waiting");

  const int64_t version = Counts().TopVersion;
  ASSERT_TRUE(Store->SettleRecording(ann300, waiting[0].Kept, "verified", true));
  ASSERT_TRUE(Store->SettleRecording(bob, waiting[2].Kept, "mismatch", false));
  EXPECT_GT(Counts().TopVersion, version) << "the page shows the mark";
  EXPECT_EQ(Store->RecordingOutcome(ann300).value(), "verified");
  EXPECT_EQ(Store->RecordingOutcome(bob).value(), "mismatch");
  EXPECT_EQ(Store->RecordingOutcome(none).value(), "");
  ASSERT_EQ(Store->WaitingRecordings(10).value().size(), 1u);
  // Her best (900) is not verified; her verified best is 300.
  auto table = Table();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Score, 900);
  EXPECT_FALSE(table[0].Verified);
  EXPECT_FALSE(table[1].Verified);
  auto verified = Store->Table(TablePlaces, true).value();
  ASSERT_EQ(verified.size(), 1u);
  EXPECT_EQ(verified[0].Name, "Ann");
  EXPECT_EQ(verified[0].Score, 300);
  EXPECT_TRUE(verified[0].Verified);

  const int64_t kept = Store->WaitingRecordings(10).value().at(0).Kept;
  ASSERT_TRUE(Store->SettleRecording(ann900, kept, "verified", true));
  EXPECT_EQ(Store->KeepRecording("Ann", 900, "UK", "junk", ann900), krVerifiedAlready);
  // A late replay of another recording never takes the mark away.
  ASSERT_TRUE(Store->SettleRecording(ann900, kept, "unreadable", false));
  table = Table();
  EXPECT_TRUE(table[0].Verified);
  EXPECT_EQ(Store->RecordingOutcome(ann900).value(), "verified");
  verified = Store->Table(TablePlaces, true).value();
  ASSERT_EQ(verified.size(), 1u);
  EXPECT_EQ(verified[0].Score, 900) << "the player's best verified is raised";
  // A later, better report is not verified: the page shows it unmarked.
  ASSERT_TRUE(Store->Add({"Ann", 1000, "UK", 4}));
  EXPECT_FALSE(Table()[0].Verified);
  EXPECT_EQ(Store->Table(TablePlaces, true).value()[0].Score, 900);

  // Removing a player removes her recordings and her verified best.
  EXPECT_EQ(Store->Remove("Ann", "UK"), 3);
  EXPECT_TRUE(Store->Table(TablePlaces, true).value().empty());
  EXPECT_EQ(Store->RecordingOutcome(ann900).value(), "");
}

TEST_P(ScoreStore, AnotherHandleOnTheSameStoreSeesEachCommit) {
  const auto other = OpenScoreStore(Where);
  const int64_t version = other->Counts().value().TopVersion;
  ASSERT_TRUE(Store->Add({"Ann", 300, "UK", 1}));
  EXPECT_EQ(other->Counts().value().TopVersion, version + 1);
  ASSERT_EQ(other->Table(TablePlaces).value().size(), 1u);
  TCommitResult result;
  ASSERT_TRUE(other->Commit({{"Ann", 300, "UK", 9}}, result));
  EXPECT_FALSE(result.Fresh[0]) << "the same report through either handle";
}

INSTANTIATE_TEST_SUITE_P(Stores, ScoreStore, ::testing::Values("sqlite", "postgresql"),
                         [](const auto& info) { return info.param; });

void Sql(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
}

// A file written by the earlier service: every report as often as it came.
TEST(SqliteStore, AnOlderFileIsBroughtUpToDate) {
  TScratch scratch;
  const std::string path = (scratch.Dir / "scores.db").string();
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  Sql(db,
      "CREATE TABLE scores(id INTEGER PRIMARY KEY, name BLOB NOT NULL, score INTEGER NOT NULL, country BLOB NOT NULL,"
      " time INTEGER NOT NULL);"
      "CREATE INDEX scores_by_player ON scores(name, country, score DESC, time, id);"
      "INSERT INTO scores(name, score, country, time) VALUES"
      " (x'416E6E', 300, x'554B', 1), (x'416E6E', 900, x'554B', 2), (x'416E6E', 900, x'554B', 3),"
      " (x'426F62', 900, x'554B', 1), (x'416E6E', 300, x'554B', 4);");
  sqlite3_close(db);
  const auto store = OpenScoreStore(path);
  const auto all = store->All().value();
  ASSERT_EQ(all.size(), 3u) << "repeats removed";
  EXPECT_EQ(all[1].Time, 2) << "the first of each kept";
  const auto table = store->Table(TablePlaces).value();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Name, "Bob");
  EXPECT_EQ(table[1].Name, "Ann");
  EXPECT_EQ(table[1].Time, 2);
  EXPECT_EQ(store->Counts()->Reports, 3);
  EXPECT_EQ(store->Counts()->Players, 2);
  ASSERT_TRUE(store->Add({"Ann", 950, "UK", 5}));
  EXPECT_EQ(store->Table(1).value()[0].Name, "Ann");
}

// Commits keep only the WAL synced; the pages must still go back into the
// database file, and the WAL be written from its start again rather than
// grow with every report ever made.
TEST(SqliteStore, TheWalIsWrittenOverRatherThanLengthened) {
  TScratch scratch;
  const std::string path = (scratch.Dir / "scores.db").string();
  const auto store = OpenScoreStore(path);
  uintmax_t longest = 0;
  for (int batch = 0; batch < 40; ++batch) {
    std::vector<TStoredScore> rows;
    // Long names far apart in the index: each commit writes most of its pages.
    for (int i = 0; i < 200; ++i)
      rows.push_back({std::to_string((batch * 200 + i) * 2654435761u) + std::string(300, 'x'), i, "UK", i});
    TCommitResult result;
    ASSERT_TRUE(store->Commit(rows, result));
    longest = std::max(longest, std::filesystem::file_size(path + "-wal"));
  }
  EXPECT_EQ(store->Counts()->Reports, 8000);
  // Without the WAL written over, these commits make it some 90 MiB long; written over, some 20.
  EXPECT_LT(longest, 32u << 20);
  EXPECT_GT(std::filesystem::file_size(path), 8000u * 600) << "the reports are in the database file";
}

TEST(SqliteStore, ADamagedFileIsRefusedAtOpening) {
  TScratch scratch;
  const std::string path = (scratch.Dir / "scores.db").string();
  {
    const auto store = OpenScoreStore(path);
    std::vector<TStoredScore> rows;
    for (int i = 0; i < 3000; ++i) rows.push_back({"player" + std::to_string(i), i, "UK", i});
    TCommitResult result;
    ASSERT_TRUE(store->Commit(rows, result));
  }
  ASSERT_GT(std::filesystem::file_size(path), 12u * 4096);
  {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(6 * 4096);
    const std::string garbage(4 * 4096, '\xAB');
    file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
  }
  try {
    OpenScoreStore(path);
    ADD_FAILURE() << "a damaged file was taken";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
  }
}

}  // namespace
