#include "score_service.h"

#include <httplib.h>

#include <ctime>
#include <set>
#include <vector>

#include "score_record.h"
#include "table_page.h"

namespace {

// The parts of a query between "&"s, which must all differ.
bool SplitQuery(const std::string& query, std::set<std::string>& parts, std::string& code) {
  size_t at = 0;
  while (true) {
    const size_t amp = query.find('&', at);
    std::string part = query.substr(at, amp == std::string::npos ? std::string::npos : amp - at);
    if (part.rfind("inf=", 0) == 0) {
      code = part.substr(4);
      part = "inf=";
    }
    if (!parts.insert(part).second) return false;
    if (amp == std::string::npos) return true;
    at = amp + 1;
  }
}

void Answer(httplib::Response& res, int status, const std::string& text) {
  res.status = status;
  res.set_content(text + "\n", "text/plain; charset=utf-8");
}

}  // namespace

TScoreService::TScoreService(TServiceOptions options)
    : Options(std::move(options)),
      Scores(std::make_unique<TScoreStore>(Options.StorePath.empty() ? DefaultStorePath() : Options.StorePath)),
      Http(std::make_unique<httplib::Server>()) {
  const int threads = Options.Threads > 0 ? Options.Threads : 1;
  Http->new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
  Http->set_read_timeout(5, 0);
  Http->set_write_timeout(5, 0);
  Http->set_keep_alive_max_count(100);
  Http->set_keep_alive_timeout(5);
  Http->set_payload_max_length(4096);

  Http->set_pre_routing_handler([this](const httplib::Request& req, httplib::Response& res) {
    if (!Allowed(req.remote_addr)) {
      res.set_header("Retry-After", "60");
      Answer(res, 429, "too many requests");
      return httplib::Server::HandlerResponse::Handled;
    }
    if (req.target.size() > Options.MaxTarget) {
      Answer(res, 400, "request too long");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });

  Http->Get("/cgi/version.pl", [this](const httplib::Request& req, httplib::Response& res) {
    // The raw query: the game's is not form-encoded ("hs" and "show" are
    // bare words), and the code needs no decoding.
    const size_t mark = req.target.find('?');
    const std::string query = mark == std::string::npos ? "" : req.target.substr(mark + 1);
    std::set<std::string> parts;
    std::string code;
    if (!SplitQuery(query, parts, code)) return Answer(res, 400, "repeated query part");
    if (parts == std::set<std::string>{"prg=Voltrace2", "show", "type=0"}) {
      res.set_header("Cache-Control", "no-store");
      res.set_content(TablePage(Scores->Table(100)), "text/html; charset=utf-8");
      return;
    }
    if (parts != std::set<std::string>{"hs", "prg=Voltrace2", "inf="}) return Answer(res, 400, "unknown request");
    const std::optional<std::string> record = DecodeReportCode(code);
    if (!record) return Answer(res, 400, "bad code");
    std::string why;
    const std::optional<TScoreReport> report = ParseReportRecord(*record, Options.Key, why);
    if (!report) return Answer(res, 400, why);
    if (!Scores->Add({report->Name, report->Score, report->Country, static_cast<int64_t>(std::time(nullptr))}))
      return Answer(res, 500, "cannot store");
    Answer(res, 200, "OK");
  });
}

TScoreService::~TScoreService() = default;

int TScoreService::Bind() {
  if (Options.Port == 0) return Http->bind_to_any_port(Options.Host);
  return Http->bind_to_port(Options.Host, Options.Port) ? Options.Port : -1;
}

void TScoreService::Run() { Http->listen_after_bind(); }

void TScoreService::Stop() { Http->stop(); }

bool TScoreService::Running() const { return Http->is_running(); }

// A token bucket per address: RatePerMinute tokens, refilled evenly.
bool TScoreService::Allowed(const std::string& address) {
  if (Options.RatePerMinute <= 0) return true;
  const auto now = std::chrono::steady_clock::now();
  const double rate = Options.RatePerMinute;
  std::lock_guard<std::mutex> hold(RateLock);
  // Forget addresses that have been quiet long enough to be full again.
  if (Buckets.size() > 10000) {
    for (auto it = Buckets.begin(); it != Buckets.end();)
      it = now - it->second.Last > std::chrono::minutes(1) ? Buckets.erase(it) : std::next(it);
  }
  auto [it, fresh] = Buckets.try_emplace(address);
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
