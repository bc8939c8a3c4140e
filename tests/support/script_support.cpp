#include "support/script_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

TScriptResult RunScript(const std::string& script, const std::string& workDir) {
  namespace fs = std::filesystem;
  static int counter = 0;
  const fs::path file = fs::temp_directory_path() /
                        ("voltrace2-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + ".script");
  std::ofstream(file) << script;
  const std::string dir = workDir.empty() ? fs::current_path().string() : workDir;
  const std::string command = "cd '" + dir + "' && '" VT_SCRIPT_RUNNER "' '" + file.string() + "' 2>&1";
  TScriptResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) throw std::runtime_error("cannot start the script runner");
  char buf[4096];
  std::string line;
  while (fgets(buf, sizeof buf, pipe)) {
    line += buf;
    if (line.back() != '\n') continue;
    result.Output += line;
    if (line.front() == '{') result.Dumps.push_back(line.substr(0, line.size() - 1));
    line.clear();
  }
  result.Output += line;
  const int status = pclose(pipe);
  result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  fs::remove(file);
  return result;
}

std::string JsonText(const std::string& json, const std::string& key) {
  const std::string k = "\"" + key + "\":";
  const size_t at = json.find(k);
  if (at == std::string::npos) throw std::runtime_error("no field " + key + " in " + json);
  size_t begin = at + k.size();
  size_t end = begin;
  int depth = 0;
  bool inString = false;
  for (; end < json.size(); ++end) {
    const char c = json[end];
    if (inString) {
      if (c == '\\') ++end;
      else if (c == '"') inString = false;
      continue;
    }
    if (c == '"') inString = true;
    else if (c == '[' || c == '{') ++depth;
    else if (c == ']' || c == '}') {
      if (depth == 0) break;
      --depth;
    } else if (c == ',' && depth == 0) break;
  }
  return json.substr(begin, end - begin);
}

double JsonNumber(const std::string& json, const std::string& key) {
  const std::string v = JsonText(json, key);
  if (v == "true") return 1;
  if (v == "false") return 0;
  return std::strtod(v.c_str(), nullptr);
}

TGameFolder::TGameFolder() {
  namespace fs = std::filesystem;
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "-" + test->name();
  for (char& c : name)
    if (c == '/') c = '-';
  Root = fs::temp_directory_path() / ("voltrace2-" + std::to_string(getpid()) + "-" + name);
  fs::remove_all(Root);
  fs::create_directories(Root / "Data/Res");
  for (const char* f : {"Res1.dxg", "Res2.dxg", "Sounds.dxw"})
    fs::copy_file(fs::path("Data/Res") / f, Root / "Data/Res" / f);
}

TGameFolder::~TGameFolder() { std::filesystem::remove_all(Root); }
