#include "postgres_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "service_process.h"

namespace {

namespace fs = std::filesystem;

int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

// The newest server version installed, e.g. /usr/lib/postgresql/15/bin.
fs::path ServerPrograms() {
  fs::path best;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec))
    if (fs::exists(entry.path() / "bin/initdb") && (best.empty() || entry.path() > best.parent_path()))
      best = entry.path() / "bin";
  return best;
}

// The server refuses to run as root: the cluster belongs to "postgres" then.
std::string AsServerUser(const std::string& command) {
  return geteuid() == 0 ? "runuser -u postgres -- " + command : command;
}

std::string TempFolder(const char* pattern) {
  std::string path = (fs::temp_directory_path() / pattern).string();
  if (!mkdtemp(path.data())) return "";
  std::string output;
  if (geteuid() == 0) RunCommand("chown postgres: '" + path + "'", output);
  return path;
}

struct TServer {
  fs::path Programs, Dir;
  int Port = 0;
  std::string Failure;
  bool Kept = false;  // left running for the rest of the test run

  TServer() {
    Programs = ServerPrograms();
    if (Programs.empty()) {
      Failure = "the PostgreSQL server is not installed (tools/install-deps.sh installs it)";
      return;
    }
    const fs::path cluster = fs::path(VT_ARTIFACTS) / ("postgres-cluster-" + Programs.parent_path().filename().string());
    if (!MakeCluster(cluster)) return;
    Dir = TempFolder("voltrace2-postgres-XXXXXX");
    std::string output;
    RunCommand("cp -a '" + cluster.string() + "' '" + (Dir / "data").string() + "'", output);
    if (geteuid() == 0) RunCommand("chown -R postgres: '" + Dir.string() + "'", output);
    for (int attempt = 0; attempt < 3 && Port == 0; ++attempt) {
      const int port = FreePort();
      // Durability is the service's to test, not the server's: no syncs.
      const std::string settings = "-c listen_addresses=127.0.0.1 -p " + std::to_string(port) + " -k '" +
                                   Dir.string() + "' -c fsync=off -c full_page_writes=off -c shared_buffers=16MB";
      if (RunCommand(AsServerUser((Programs / "pg_ctl").string() + " -D '" + (Dir / "data").string() + "' -l '" +
                                  (Dir / "log").string() + "' -w -t 30 -o \"" + settings + "\" start"),
                     output) == 0)
        Port = port;
    }
    if (Port == 0) Failure = "the PostgreSQL server did not start: " + output;
  }

  // initdb once per build folder; later programs copy what it made.
  bool MakeCluster(const fs::path& cluster) {
    fs::create_directories(cluster.parent_path());
    const int lock = open((cluster.string() + ".lock").c_str(), O_CREAT | O_RDWR, 0644);
    flock(lock, LOCK_EX);
    std::string output;
    if (!fs::exists(cluster / "PG_VERSION")) {
      const std::string scratch = TempFolder("voltrace2-initdb-XXXXXX");
      const int rc = RunCommand(AsServerUser((Programs / "initdb").string() + " -D '" + scratch +
                                             "/data' -N -A trust -U postgres -E UTF8 --locale=C"),
                                output);
      if (rc == 0) {
        fs::remove_all(cluster.string() + ".new");
        RunCommand("cp -a '" + scratch + "/data' '" + cluster.string() + ".new'", output);
        fs::rename(cluster.string() + ".new", cluster);
      } else {
        Failure = "initdb failed: " + output;
      }
      fs::remove_all(scratch);
    }
    flock(lock, LOCK_UN);
    close(lock);
    return Failure.empty();
  }

  ~TServer() {
    if (!Kept) Stop(Dir, Port != 0);
  }

  static void Stop(const fs::path& dir, bool running) {
    if (dir.empty()) return;
    std::string output;
    if (running)
      RunCommand(AsServerUser((ServerPrograms() / "pg_ctl").string() + " -D '" + (dir / "data").string() +
                              "' -m immediate -w stop"),
                 output);
    fs::remove_all(dir);
  }
};

// The port of the run's shared server, and its folder.
bool ReadShared(const std::string& file, int& port, fs::path& dir) {
  std::ifstream in(file);
  std::string folder;
  if (!(in >> port) || !std::getline(in >> std::ws, folder)) return false;
  dir = folder;
  return true;
}

}  // namespace

bool StartSharedPostgres(const std::string& file, std::string& why) {
  StopSharedPostgres(file);
  TServer server;
  if (!server.Failure.empty()) {
    why = server.Failure;
    return false;
  }
  std::ofstream(file) << server.Port << "\n" << server.Dir.string() << "\n";
  server.Kept = true;
  return true;
}

void StopSharedPostgres(const std::string& file) {
  int port = 0;
  fs::path dir;
  if (ReadShared(file, port, dir)) TServer::Stop(dir, true);
  std::error_code ignored;
  fs::remove(file, ignored);
}

std::string FreshPostgresDatabase() {
  static int databases = 0;
  int port = 0;
  fs::path dir;
  const bool shared = ReadShared(VT_SHARED_POSTGRES, port, dir) &&
                      PQping(("postgresql://postgres@127.0.0.1:" + std::to_string(port) + "/postgres").c_str()) ==
                          PQPING_OK;
  if (!shared) {
    static TServer server;
    if (!server.Failure.empty()) {
      ADD_FAILURE() << server.Failure;
      return "";
    }
    port = server.Port;
  }
  const std::string base = "postgresql://postgres@127.0.0.1:" + std::to_string(port) + "/";
  // Test programs running side by side share the server.
  const std::string name = "scores" + std::to_string(getpid()) + "_" + std::to_string(++databases);
  PGconn* db = PQconnectdb((base + "postgres").c_str());
  PGresult* made = PQexec(db, ("CREATE DATABASE " + name).c_str());
  const bool ok = PQresultStatus(made) == PGRES_COMMAND_OK;
  if (!ok) ADD_FAILURE() << "CREATE DATABASE: " << PQerrorMessage(db);
  PQclear(made);
  PQfinish(db);
  return ok ? base + name : "";
}
