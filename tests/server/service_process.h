#pragma once
// voltrace2-scores run as its own process on a free loopback port, and a
// scratch folder per test, for the tests that go through the real program.
#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

struct TServiceProcess {
  // Starts the service on 127.0.0.1, any free port, keeping its table in
  // store (a file or a postgresql:// address); its log goes to log when
  // one is named, else to the test's own stderr.
  explicit TServiceProcess(const std::string& store, const std::vector<std::string>& extra = {},
                           const std::string& log = "");
  ~TServiceProcess();  // SIGTERM, then waits for it
  // Sends the signal and waits for the process to end; its exit status.
  int Kill(int signal);
  pid_t Pid = -1;
  int Port = 0;
  std::string Base;  // "http://127.0.0.1:PORT"
 private:
  int Output = -1;
};

// An empty folder named after the running test, removed with it.
struct TScratch {
  TScratch();
  ~TScratch();
  std::filesystem::path Dir;
};

// Runs a shell command, giving its exit code and output.
int RunCommand(const std::string& command, std::string& output);

// Everything written so far to a file the test keeps open (a service's log).
std::string WrittenSoFar(FILE* file);

// The whole text of a file ("" when there is none).
std::string ReadFile(const std::filesystem::path& path);
