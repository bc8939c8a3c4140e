#include "service_process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

TServiceProcess::TServiceProcess(const std::string& store, const std::vector<std::string>& extra,
                                 const std::string& log) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  std::vector<std::string> args = {VT_SCORES_SERVICE, "--listen", "127.0.0.1:0", "--db", store};
  args.insert(args.end(), extra.begin(), extra.end());
  Pid = fork();
  if (Pid == 0) {
    dup2(fds[1], 1);
    if (!log.empty()) {
      const int file = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      dup2(file, 2);
      close(file);
    }
    close(fds[0]);
    close(fds[1]);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(fds[1]);
  Output = fds[0];
  // The service names its address once it listens.
  std::string line;
  char c;
  while (read(Output, &c, 1) == 1 && c != '\n') line += c;
  const size_t at = line.find("127.0.0.1:");
  if (at == std::string::npos) throw std::runtime_error("the service did not start: " + line);
  Port = std::stoi(line.substr(at + 10));
  Base = "http://127.0.0.1:" + std::to_string(Port);
}

int TServiceProcess::Kill(int signal) {
  if (Pid <= 0) return -1;
  kill(Pid, signal);
  int status = 0;
  waitpid(Pid, &status, 0);
  Pid = -1;
  return status;
}

TServiceProcess::~TServiceProcess() {
  Kill(SIGTERM);
  if (Output >= 0) close(Output);
}

TScratch::TScratch() {
  const auto* t = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(t->test_suite_name()) + "-" + t->name();
  for (char& c : name)
    if (c == '/') c = '-';
  Dir = std::filesystem::temp_directory_path() / ("voltrace2-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir);
}

TScratch::~TScratch() { std::filesystem::remove_all(Dir); }

int RunCommand(const std::string& command, std::string& output) {
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return -1;
  char buf[4096];
  size_t n;
  output.clear();
  while ((n = fread(buf, 1, sizeof buf, pipe)) > 0) output.append(buf, n);
  const int status = pclose(pipe);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string WrittenSoFar(FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file)) > 0) text.append(buf, n);
  return text;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}
