#include "report_limit.h"

#include <algorithm>

bool TReportLimit::Allowed(const std::string& client, std::chrono::steady_clock::time_point now) {
  if (PerMinute <= 0) return true;
  const double rate = PerMinute;
  // Forget clients that have been quiet long enough to be full again.
  if (Buckets.size() > 100000) {
    for (auto it = Buckets.begin(); it != Buckets.end();)
      it = now - it->second.Last > std::chrono::minutes(1) ? Buckets.erase(it) : std::next(it);
  }
  auto [it, fresh] = Buckets.try_emplace(client);
  TBucket& b = it->second;
  if (fresh) {
    b.Tokens = rate;
  } else {
    const double minutes = std::chrono::duration<double>(now - b.Last).count() / 60.0;
    b.Tokens = std::min(rate, b.Tokens + minutes * rate);
  }
  b.Last = now;
  if (b.Tokens < 1) return false;
  b.Tokens -= 1;
  return true;
}
