#include "service_log.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace {

std::mutex Lock;
FILE* Sink = nullptr;

}  // namespace

void SetLogSink(FILE* sink) {
  std::lock_guard<std::mutex> hold(Lock);
  Sink = sink;
}

void LogLine(const std::string& text) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const long ms = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm tm{};
  gmtime_r(&seconds, &tm);
  char stamp[40];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &tm);
  char line[64];
  std::snprintf(line, sizeof line, "%s.%03ldZ ", stamp, ms);
  const std::string whole = line + text + "\n";
  std::lock_guard<std::mutex> hold(Lock);
  std::fwrite(whole.data(), 1, whole.size(), Sink ? Sink : stderr);
}

std::string LoggedTarget(const std::string& target) {
  std::string shown = target;
  const size_t code = shown.find("inf=");
  if (code != std::string::npos) {
    const size_t end = shown.find('&', code);
    const size_t length = (end == std::string::npos ? shown.size() : end) - code - 4;
    if (length > 8)
      shown = shown.substr(0, code + 12) + "...(" + std::to_string(length) + ")" +
              (end == std::string::npos ? "" : shown.substr(end));
  }
  std::string out;
  for (unsigned char c : shown) {
    if (out.size() >= 160) {
      out += "...";
      break;
    }
    if (c > 32 && c < 127 && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}
