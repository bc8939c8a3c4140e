#include "score_service.h"

#include <fcntl.h>
#include <microhttpd.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <set>

#include "client_address.h"
#include "score_record.h"
#include "service_log.h"

using Clock = std::chrono::steady_clock;

struct TScoreService::TConnection {
  MHD_Connection* Mhd = nullptr;
  int Fd = -1;
  std::string Peer;    // the socket's address
  std::string Group;   // the peer as the connection limit counts it
  bool Proxy = false;  // the peer is a trusted proxy
  Clock::time_point Deadline;  // for the next request to be whole
  bool Dropped = false;
  // The request on it.
  enum { None, Arrived, Waiting, Answered } Phase = None;
  bool Busy = false;  // the request is whole: it is being answered
  Clock::time_point Start;
  std::string Target, Method, Client, Route;
  int Status = 0;
  TCommitJob Job;
  std::string Body;       // a recording on its way in (then in Job.Bytes)
  size_t Held = 0;        // its bytes, as BodiesHeld counts them
  bool BodyTooLarge = false;
  bool BodyRefused = false;  // the recordings arriving together hold too much already
};

namespace {

// How often connections are checked against their deadline.
constexpr auto ReapEvery = std::chrono::milliseconds(100);

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

TScoreService::TConnection* ContextOf(MHD_Connection* mhd) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_SOCKET_CONTEXT);
  return info ? static_cast<TScoreService::TConnection*>(info->socket_context) : nullptr;
}

// The most connections the process may open, raised to what the limits need.
void RaiseDescriptorLimit(int connections) {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  const rlim_t wanted = std::min<rlim_t>(limit.rlim_max, static_cast<rlim_t>(connections) + 320);
  if (limit.rlim_cur < wanted) {
    limit.rlim_cur = wanted;
    setrlimit(RLIMIT_NOFILE, &limit);
  }
}

// A listening socket of our own, so that the backlog and the address
// family are ours to choose; -1 with the reason logged.
int Listen(const std::string& host, int port, int backlog, bool& ipv6) {
  addrinfo hints{};
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int rc = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (rc != 0) {
    LogLine("cannot listen on " + host + ": " + gai_strerror(rc));
    return -1;
  }
  const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  ipv6 = found->ai_family == AF_INET6;
  const int one = 1, zero = 0;
  if (fd >= 0) {
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (ipv6) setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
  }
  const bool ok = fd >= 0 && bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, backlog) == 0;
  freeaddrinfo(found);
  if (!ok) {
    LogLine("cannot listen on " + host + ":" + std::to_string(port) + ": " + std::strerror(errno));
    if (fd >= 0) close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

// The event loop's calls into the service.
struct TServiceCallbacks {
  static MHD_Result Accept(void* cls, const sockaddr* address, socklen_t) {
    auto* self = static_cast<TScoreService*>(cls);
    const std::string peer = AddressText(address);
    // The total is kept here rather than left to the library, which would
    // refuse without telling anyone.
    if (self->Open.size() >= static_cast<size_t>(self->Options.MaxConnections)) {
      self->Metrics.Refusal("total_connections");
      LogLine(peer + " refused total_connections: " + std::to_string(self->Open.size()) + " open already");
      return MHD_NO;
    }
    if (std::find(self->Proxies.begin(), self->Proxies.end(), peer) != self->Proxies.end()) return MHD_YES;
    const auto it = self->PerClient.find(ClientGroup(peer));
    if (it == self->PerClient.end() || it->second < self->Options.ConnectionsPerClient) return MHD_YES;
    self->Metrics.Refusal("client_connections");
    LogLine(peer + " refused client_connections: " + std::to_string(it->second) + " open already");
    return MHD_NO;
  }

  static void Connection(void* cls, MHD_Connection* mhd, void** context, MHD_ConnectionNotificationCode code) {
    auto* self = static_cast<TScoreService*>(cls);
    if (code == MHD_CONNECTION_NOTIFY_STARTED) {
      auto* c = new TScoreService::TConnection;
      c->Mhd = mhd;
      c->Fd = MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CONNECTION_FD)->connect_fd;
      c->Peer = AddressText(MHD_get_connection_info(mhd, MHD_CONNECTION_INFO_CLIENT_ADDRESS)->client_addr);
      c->Group = ClientGroup(c->Peer);
      c->Proxy = std::find(self->Proxies.begin(), self->Proxies.end(), c->Peer) != self->Proxies.end();
      c->Deadline = Clock::now() + std::chrono::seconds(self->Options.RequestSeconds);
      // Answers go out at once, not after the client's acknowledgement.
      const int one = 1;
      setsockopt(c->Fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
      if (!c->Proxy) ++self->PerClient[c->Group];
      self->Open.insert(c);
      self->Metrics.Connections(static_cast<int>(self->Open.size()));
      *context = c;
      return;
    }
    auto* c = static_cast<TScoreService::TConnection*>(*context);
    if (!c) return;
    if (c->Dropped)
      LogLine(c->Peer + " dropped deadline: no whole request within " + std::to_string(self->Options.RequestSeconds) +
              " s " + LoggedTarget(c->Target));
    if (!c->Proxy) {
      const auto it = self->PerClient.find(c->Group);
      if (it != self->PerClient.end() && --it->second <= 0) self->PerClient.erase(it);
    }
    self->DropBody(*c);
    self->Open.erase(c);
    self->Metrics.Connections(static_cast<int>(self->Open.size()));
    delete c;
    *context = nullptr;
  }

  // The request line has arrived; the headers may still be on their way.
  static void* RequestLine(void*, const char* uri, MHD_Connection* mhd) {
    TScoreService::TConnection* c = ContextOf(mhd);
    if (c) {
      c->Target = uri;
      c->Start = Clock::now();
    }
    return c;
  }

  static MHD_Result Request(void* cls, MHD_Connection* mhd, const char*, const char* method, const char*,
                            const char* upload, size_t* uploadSize, void** requestContext) {
    auto* self = static_cast<TScoreService*>(cls);
    auto* c = static_cast<TScoreService::TConnection*>(*requestContext);
    if (!c) *requestContext = c = ContextOf(mhd);
    if (!c) return MHD_NO;
    // Only a recording has a body worth reading; it is taken up to the
    // cap and the rest is read and dropped, so that the refusal reaches
    // the client.
    if (*uploadSize != 0) {
      if (c->Method == MHD_HTTP_METHOD_POST && !c->BodyTooLarge && !c->BodyRefused) {
        if (c->Body.size() + *uploadSize > self->Options.MaxRecording) {
          c->BodyTooLarge = true;
          self->DropBody(*c);
        } else if (self->BodiesHeld + *uploadSize > self->Options.BodiesBudget) {
          c->BodyRefused = true;
          self->DropBody(*c);
        } else {
          c->Body.append(upload, *uploadSize);
          c->Held += *uploadSize;
          self->BodiesHeld += *uploadSize;
        }
      }
      *uploadSize = 0;
      return MHD_YES;
    }
    return self->Answer(mhd, *c, method) ? MHD_YES : MHD_NO;
  }

  static void Completed(void* cls, MHD_Connection* mhd, void** requestContext, MHD_RequestTerminationCode how) {
    auto* self = static_cast<TScoreService*>(cls);
    auto* c = static_cast<TScoreService::TConnection*>(*requestContext);
    if (!c) c = ContextOf(mhd);
    if (!c) return;
    if (c->Status != 0) {
      self->Metrics.Request(c->Route, c->Status);
      if (self->Options.AccessLog) {
        char ms[32];
        std::snprintf(ms, sizeof ms, "%.1fms",
                      std::chrono::duration<double, std::milli>(Clock::now() - c->Start).count());
        LogLine(c->Client + " " + c->Method + " " + LoggedTarget(c->Target) + " " + std::to_string(c->Status) + " " +
                ms + (how == MHD_REQUEST_TERMINATED_COMPLETED_OK ? "" : " (not delivered)"));
      }
    }
    c->Phase = TScoreService::TConnection::None;
    c->Busy = false;
    c->Status = 0;
    c->Target.clear();
    self->DropBody(*c);
    c->BodyTooLarge = c->BodyRefused = false;
    c->Job = TCommitJob{};
    c->Deadline = Clock::now() + std::chrono::seconds(self->Options.RequestSeconds);
    *requestContext = nullptr;
  }

  static void Log(void*, const char* format, va_list args) {
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    std::string line = text;
    while (!line.empty() && line.back() == '\n') line.pop_back();
    LogLine("http: " + line);
  }
};

TScoreService::TScoreService(TServiceOptions options)
    : TScoreService(options, OpenScoreStore(options.Store.empty() ? DefaultStorePath() : options.Store)) {}

TScoreService::TScoreService(TServiceOptions options, std::unique_ptr<TScoreStore> store)
    : Options(std::move(options)), Limit(Options.RatePerMinute) {
  for (const std::string& p : Options.TrustedProxies) {
    const std::optional<std::string> canonical = CanonicalAddress(p);
    if (!canonical) throw std::runtime_error("not an address: " + p);
    Proxies.push_back(*canonical);
  }
  WakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  // The replays read and settle the recordings through a handle of their
  // own on the same store.
  if (!Options.Verify.GameData.empty()) {
    Options.Verify.TickCap = Options.Verify.TickCap ? Options.Verify.TickCap : ReplayTickCap;
    Verifier = std::make_unique<TScoreVerifier>(
        Options.Verify, OpenScoreStore(Options.Store.empty() ? DefaultStorePath() : Options.Store), Metrics);
  } else {
    LogLine("no game data (--game-data): recordings are kept but not replayed, and no score is marked verified");
  }
  // A settled job's request is resumed, and the event loop woken to answer it.
  Keeper = std::make_unique<TTableKeeper>(
      std::move(store),
      [this](TCommitJob& job) {
        if (job.Recording && job.Kept == krKept && Verifier) Verifier->Poke();
        MHD_resume_connection(static_cast<TConnection*>(job.Owner)->Mhd);
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(WakeFd, &one, sizeof one);
      },
      Metrics);
}

TScoreService::~TScoreService() {
  if (Daemon) MHD_stop_daemon(Daemon);
  Verifier.reset();
  Keeper.reset();
  if (ListenFd >= 0) close(ListenFd);
  if (WakeFd >= 0) close(WakeFd);
}

int TScoreService::Bind() {
  RaiseDescriptorLimit(Options.MaxConnections);
  bool ipv6 = false;
  ListenFd = Listen(Options.Host, Options.Port, Options.Backlog, ipv6);
  if (ListenFd < 0) return -1;
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(ListenFd, reinterpret_cast<sockaddr*>(&bound), &length);
  const int port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port
                                                     : reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
  const unsigned flags = MHD_USE_EPOLL | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ERROR_LOG | (ipv6 ? MHD_USE_IPv6 : 0);
  Daemon = MHD_start_daemon(
      flags, 0, &TServiceCallbacks::Accept, this, &TServiceCallbacks::Request, this, MHD_OPTION_EXTERNAL_LOGGER,
      &TServiceCallbacks::Log, this, MHD_OPTION_LISTEN_SOCKET, ListenFd, MHD_OPTION_CONNECTION_LIMIT,
      // Only a safety net: connections still being closed count there too.
      static_cast<unsigned>(Options.MaxConnections + 64),
      // Only a safety net for a client that stops reading an answer: the
      // deadline for a whole request is kept by Reap.
      MHD_OPTION_CONNECTION_TIMEOUT, static_cast<unsigned>(Options.RequestSeconds + 1),
      MHD_OPTION_CONNECTION_MEMORY_LIMIT, Options.HeadBytes, MHD_OPTION_URI_LOG_CALLBACK,
      &TServiceCallbacks::RequestLine, this, MHD_OPTION_NOTIFY_COMPLETED, &TServiceCallbacks::Completed, this,
      MHD_OPTION_NOTIFY_CONNECTION, &TServiceCallbacks::Connection, this, MHD_OPTION_END);
  if (!Daemon) {
    LogLine("cannot start serving on " + Options.Host + ":" + std::to_string(port));
    return -1;
  }
  ListenFd = -1;  // the daemon's now
  return port;
}

void TScoreService::Run() {
  if (!Daemon) return;
  const int loop = epoll_create1(EPOLL_CLOEXEC);
  epoll_event watch{};
  watch.events = EPOLLIN;
  watch.data.fd = MHD_get_daemon_info(Daemon, MHD_DAEMON_INFO_EPOLL_FD)->epoll_fd;
  epoll_ctl(loop, EPOLL_CTL_ADD, watch.data.fd, &watch);
  watch.data.fd = WakeFd;
  epoll_ctl(loop, EPOLL_CTL_ADD, WakeFd, &watch);
  auto turn = [&](int mostMs) {
    MHD_UNSIGNED_LONG_LONG due = 0;
    int waitMs = mostMs;
    if (MHD_get_timeout(Daemon, &due) == MHD_YES) waitMs = static_cast<int>(std::min<MHD_UNSIGNED_LONG_LONG>(due, mostMs));
    epoll_event events[4];
    const int n = epoll_wait(loop, events, 4, waitMs);
    for (int i = 0; i < n; ++i) {
      if (events[i].data.fd != WakeFd) continue;
      uint64_t count;
      while (read(WakeFd, &count, sizeof count) > 0) {
      }
    }
    MHD_run(Daemon);
    if (Clock::now() - LastReap >= ReapEvery) Reap();
  };
  LastReap = Clock::now();
  Serving = true;
  while (!StopAsked) turn(static_cast<int>(ReapEvery.count()));
  // No new connections; the reports already taken are stored and answered,
  // then every connection is closed. Within a second whatever the clients do.
  Draining = true;
  const int listening = MHD_quiesce_daemon(Daemon);
  if (listening >= 0) close(listening);
  // Replays under way are cut short: their recordings wait in the store.
  if (Verifier) Verifier->Stop();
  Keeper->Stop();
  const Clock::time_point giveUp = Clock::now() + std::chrono::milliseconds(500);
  auto waiting = [&] {
    for (TConnection* c : Open)
      if (c->Phase == TConnection::Waiting) return true;
    return false;
  };
  while (Clock::now() < giveUp && waiting()) turn(20);
  turn(0);
  MHD_stop_daemon(Daemon);
  Daemon = nullptr;
  close(loop);
  Serving = false;
}

void TScoreService::Stop() {
  StopAsked = true;
  if (WakeFd >= 0) {
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = write(WakeFd, &one, sizeof one);
  }
}

// A client that has not sent a whole request by its deadline is cut off,
// however steadily it trickles bytes.
void TScoreService::Reap() {
  LastReap = Clock::now();
  for (TConnection* c : Open) {
    if (c->Busy || c->Dropped || LastReap < c->Deadline) continue;
    c->Dropped = true;
    Metrics.Refusal("deadline");
    shutdown(c->Fd, SHUT_RDWR);
  }
}

std::string TScoreService::ClientOf(MHD_Connection* mhd, const std::string& peer) {
  if (std::find(Proxies.begin(), Proxies.end(), peer) == Proxies.end()) return peer;
  const char* forwarded = MHD_lookup_connection_value(mhd, MHD_HEADER_KIND, "X-Forwarded-For");
  const std::optional<std::string> client = forwarded ? LastForwardedAddress(forwarded) : std::nullopt;
  return client ? *client : peer;
}

int TScoreService::Answer(MHD_Connection* mhd, TConnection& c, const char* method) {
  if (c.Phase == TConnection::Waiting) {
    if (c.Job.Health) return c.Job.Ok ? Reply(mhd, c, 200, "ok\n") : Refuse(mhd, c, 503, "store_failed", "the store does not answer");
    if (c.Job.Recording) {
      switch (c.Job.Kept) {
        case krKept: return Reply(mhd, c, 202, Verifier ? "kept, to be replayed\n" : "kept\n");
        case krVerifiedAlready: return Reply(mhd, c, 200, "verified already\n");
        case krNoReport: return Refuse(mhd, c, 404, "no_such_report", "no such report");
        case krFailed: return Refuse(mhd, c, 500, "store_failed", "cannot store");
      }
    }
    if (!c.Job.Ok) return Refuse(mhd, c, 500, "store_failed", "cannot store");
    return Reply(mhd, c, 200, "OK\n");
  }
  // The first call only says the head is whole: an answer queued before
  // the (empty) body has been read would cost the kept-alive connection.
  // A recording announced larger than the cap is refused at once.
  if (c.Phase == TConnection::None) {
    c.Phase = TConnection::Arrived;
    c.Busy = true;
    c.Method = method;
    c.Client = ClientOf(mhd, c.Peer);
    c.Route = "other";
    const char* length = MHD_lookup_connection_value(mhd, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (c.Method == MHD_HTTP_METHOD_POST && length && std::strtoull(length, nullptr, 10) > Options.MaxRecording)
      return Refuse(mhd, c, 413, "recording_too_large", "a recording of at most " + std::to_string(Options.MaxRecording) + " bytes");
    return true;
  }
  if (c.Phase != TConnection::Arrived) return true;
  return Route(mhd, c);
}

int TScoreService::Route(MHD_Connection* mhd, TConnection& c) {
  const bool head = c.Method == MHD_HTTP_METHOD_HEAD;
  const bool post = c.Method == MHD_HTTP_METHOD_POST;
  if (c.Method != MHD_HTTP_METHOD_GET && !head && !post) return Refuse(mhd, c, 405, "method", "only GET, HEAD and POST");
  if (MHD_get_connection_values(mhd, MHD_HEADER_KIND, nullptr, nullptr) > Options.MaxHeaders)
    return Refuse(mhd, c, 431, "headers", "too many header lines");
  if (c.Target.size() > Options.MaxTarget) return Refuse(mhd, c, 400, "too_long", "request too long");
  const size_t mark = c.Target.find('?');
  const std::string path = c.Target.substr(0, mark);
  // The raw query: the game's is not form-encoded ("hs" and "show" are
  // bare words), and the code needs no decoding.
  const std::string query = mark == std::string::npos ? "" : c.Target.substr(mark + 1);
  // Only a recording is sent with POST.
  if (post && path != "/cgi/version.pl") return Refuse(mhd, c, 405, "method", "only a recording is sent with POST");
  if (path == "/health") {
    c.Route = "health";
    c.Job = TCommitJob{};
    c.Job.Health = true;
    return Wait(mhd, c);
  }
  if (path == "/metrics") {
    c.Route = "metrics";
    return Reply(mhd, c, 200, Metrics.Text(), "text/plain; version=0.0.4; charset=utf-8");
  }
  if (path != "/cgi/version.pl") return Reply(mhd, c, 404, "not found\n");
  std::set<std::string> parts;
  std::string code;
  if (!SplitQuery(query, parts, code)) return Refuse(mhd, c, 400, "bad_request", "repeated query part");
  const bool verifiedOnly = parts == std::set<std::string>{"prg=Voltrace2", "show", "type=0", "verified=1"};
  if (verifiedOnly || parts == std::set<std::string>{"prg=Voltrace2", "show", "type=0"}) {
    c.Route = "page";
    const std::shared_ptr<const TPage> page = Keeper->Page(verifiedOnly);
    if (!page->Ok) return Refuse(mhd, c, 500, "table_unreadable", "the table cannot be read");
    return Reply(mhd, c, 200, page->Html, "text/html; charset=utf-8");
  }
  if (parts == std::set<std::string>{"rec", "prg=Voltrace2", "inf="}) return Recording(mhd, c, code);
  if (post) return Refuse(mhd, c, 405, "method", "only a recording is sent with POST");
  if (parts != std::set<std::string>{"hs", "prg=Voltrace2", "inf="})
    return Refuse(mhd, c, 400, "bad_request", "unknown request");
  c.Route = "report";
  // A look at a report's address (a link checker, a proxy) stores nothing.
  if (head) return Refuse(mhd, c, 405, "method", "a report is sent with GET");
  const std::optional<std::string> record = DecodeReportCode(code);
  if (!record) return Refuse(mhd, c, 400, "bad_report", "bad code");
  std::string why;
  const std::optional<TScoreReport> report = ParseReportRecord(*record, Options.Key, why);
  if (!report) return Refuse(mhd, c, 400, "bad_report", why);
  if (!Limit.Allowed(ClientGroup(c.Client), Clock::now()))
    return Refuse(mhd, c, 429, "rate_limited", "more than " + std::to_string(Options.RatePerMinute) + " a minute");
  c.Job = TCommitJob{};
  c.Job.Entry = {report->Name, report->Score, report->Country, static_cast<int64_t>(std::time(nullptr))};
  return Wait(mhd, c);
}

// A recording sent after its report, naming the same report code: kept with
// the report's row, where it waits for its replay. The replay alone decides
// whether the report is marked; a recording that does not replay to its
// score is kept unmarked (its outcome told in the log and the metrics), not
// refused here, as only the replay can tell.
int TScoreService::Recording(MHD_Connection* mhd, TConnection& c, const std::string& code) {
  c.Route = "recording";
  if (c.Method != MHD_HTTP_METHOD_POST) return Refuse(mhd, c, 405, "method", "a recording is sent with POST");
  if (c.BodyTooLarge)
    return Refuse(mhd, c, 413, "recording_too_large", "a recording of at most " + std::to_string(Options.MaxRecording) + " bytes");
  if (c.BodyRefused) return Refuse(mhd, c, 503, "recordings_busy", "too many recordings arriving at once");
  const std::optional<std::string> record = DecodeReportCode(code);
  if (!record) return Refuse(mhd, c, 400, "bad_report", "bad code");
  std::string why;
  const std::optional<TScoreReport> report = ParseReportRecord(*record, Options.Key, why);
  if (!report) return Refuse(mhd, c, 400, "bad_report", why);
  if (c.Body.empty()) return Refuse(mhd, c, 400, "bad_request", "no recording");
  if (!Limit.Allowed(ClientGroup(c.Client), Clock::now()))
    return Refuse(mhd, c, 429, "rate_limited", "more than " + std::to_string(Options.RatePerMinute) + " a minute");
  c.Job = TCommitJob{};
  c.Job.Recording = true;
  c.Job.Entry = {report->Name, report->Score, report->Country, 0};
  c.Job.Bytes = std::move(c.Body);
  return Wait(mhd, c);
}

// A connection's recording is let go (its bytes, wherever they are).
void TScoreService::DropBody(TConnection& c) {
  BodiesHeld -= c.Held;
  c.Held = 0;
  std::string().swap(c.Body);
  std::string().swap(c.Job.Bytes);
}

// The request waits for the keeper without holding the event loop.
int TScoreService::Wait(MHD_Connection* mhd, TConnection& c) {
  if (Draining) return Refuse(mhd, c, 503, "shutting_down", "the service is stopping");
  c.Job.Owner = &c;
  c.Phase = TConnection::Waiting;
  // Suspended before the keeper can see it, so that its resume always
  // finds a suspended connection.
  MHD_suspend_connection(mhd);
  Keeper->Submit(&c.Job);
  return true;
}

int TScoreService::Reply(MHD_Connection* mhd, TConnection& c, int status, const std::string& body, const char* type) {
  MHD_Response* response =
      MHD_create_response_from_buffer(body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
  if (!response) return false;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
  MHD_add_response_header(response, MHD_HTTP_HEADER_CACHE_CONTROL, "no-store");
  if (status == 429 || (status == 503 && c.Route == "recording")) MHD_add_response_header(response, MHD_HTTP_HEADER_RETRY_AFTER, "60");
  if (status == 405)
    MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW,
                            c.Route == "report" ? "GET" : c.Route == "recording" ? "POST" : "GET, HEAD");
  const MHD_Result queued = MHD_queue_response(mhd, static_cast<unsigned>(status), response);
  MHD_destroy_response(response);
  c.Status = status;
  c.Phase = TConnection::Answered;
  return queued == MHD_YES;
}

int TScoreService::Refuse(MHD_Connection* mhd, TConnection& c, int status, const char* reason, const std::string& why) {
  Metrics.Refusal(reason);
  LogLine(c.Client + " refused " + reason + ": " + why + " " + c.Method + " " + LoggedTarget(c.Target));
  return Reply(mhd, c, status, why + "\n");
}
