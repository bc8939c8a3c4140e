#pragma once
// Runs voltrace2-script on a script and gives back its dumps, for the
// end-to-end tests.
#include <filesystem>
#include <string>
#include <vector>

struct TScriptResult {
  int ExitCode = -1;
  std::vector<std::string> Dumps;  // one JSON object per dump
  std::string Output;              // stdout and stderr together
};

// Runs in WorkDir (the build folder with Data/ when empty).
TScriptResult RunScript(const std::string& script, const std::string& workDir = "");

// The value of a number or boolean field of a dump line ("true" gives 1).
double JsonNumber(const std::string& json, const std::string& key);
std::string JsonText(const std::string& json, const std::string& key);  // raw value text

// A throw-away game folder holding copies of the built archives, for tests
// that break or change them. Removed again with the test.
struct TGameFolder {
  TGameFolder();
  ~TGameFolder();
  std::filesystem::path Root;
};
