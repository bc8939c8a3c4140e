#pragma once
// The locale the desktop runs the game in, by the POSIX order of its
// variables: LC_ALL over LC_MESSAGES over LANG. "C" and "POSIX" name no
// language and read as none.
#include <cstdlib>
#include <string>

inline std::string LocaleFromEnvironment() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    const std::string locale = value;
    if (locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0) return "";
    return locale;
  }
  return "";
}
