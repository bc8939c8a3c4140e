// The service as a public address meets it: clients that trickle their
// request byte by byte or send nothing at all are cut off at the request
// deadline (however steadily they trickle), one client cannot hold more
// than its share of connections, others are answered all the while, and
// SIGTERM ends the service at once whatever the clients do.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "service_process.h"

namespace {

using Clock = std::chrono::steady_clock;

const char PageRequestLine[] = "GET /cgi/version.pl?prg=Voltrace2&show&type=0 HTTP/1.1\r\n";

// A connection from a loopback address of its own choosing.
struct TSlowClient {
  TSlowClient(const std::string& from, int port) {
    Fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    inet_pton(AF_INET, from.c_str(), &a.sin_addr);
    bind(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    a.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &a.sin_addr);
    Connected = connect(Fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  ~TSlowClient() { close(Fd); }
  void Send(const std::string& bytes) const { send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  // True once the service has closed its end.
  bool Closed() const {
    pollfd p{Fd, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0) return false;
    char c;
    return recv(Fd, &c, 1, MSG_DONTWAIT | MSG_PEEK) <= 0;
  }
  int Fd = -1;
  bool Connected = false;
};

std::string Address(int i) { return "127.0." + std::to_string(1 + i / 200) + "." + std::to_string(1 + i % 200); }

int PageStatus(int port) {
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(5, 0);
  client.set_read_timeout(5, 0);
  auto res = client.Get("/cgi/version.pl?prg=Voltrace2&show&type=0");
  return res ? res->status : 0;
}

TEST(ScoreAbuse, TricklingAndSilentClientsAreCutAtTheDeadlineWhileOthersAreAnswered) {
  TScratch scratch;
  const std::string log = (scratch.Dir / "log").string();
  TServiceProcess service((scratch.Dir / "scores.db").string(), {"--request-timeout", "1"}, log);
  std::vector<std::unique_ptr<TSlowClient>> trickling, silent;
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < 150; ++i) {
    trickling.push_back(std::make_unique<TSlowClient>(Address(i), service.Port));
    silent.push_back(std::make_unique<TSlowClient>(Address(i + 150), service.Port));
    ASSERT_TRUE(trickling.back()->Connected && silent.back()->Connected);
    trickling.back()->Send(PageRequestLine);
  }
  EXPECT_EQ(PageStatus(service.Port), 200) << "answered while 300 connections are held";
  // A header byte every 200 ms: never idle for the deadline's second, and
  // still cut off at it.
  double firstClosed = -1, lastClosed = -1;
  size_t closed = 0;
  while (closed < 300 && Clock::now() - start < std::chrono::seconds(4)) {
    for (auto& c : trickling) c->Send("X");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    size_t now = 0;
    for (auto* set : {&trickling, &silent})
      for (auto& c : *set) now += c->Closed() ? 1 : 0;
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (now > 0 && firstClosed < 0) firstClosed = seconds;
    if (now == 300 && lastClosed < 0) lastClosed = seconds;
    closed = now;
  }
  EXPECT_EQ(closed, 300u);
  EXPECT_GE(firstClosed, 0.9) << "not before the deadline";
  EXPECT_GT(lastClosed, 0);
  EXPECT_LT(lastClosed, 3.0) << "every one at the deadline, trickling or not";
  EXPECT_EQ(PageStatus(service.Port), 200);
  service.Kill(SIGTERM);
  EXPECT_NE(ReadFile(log).find("127.0.1.1 dropped deadline: no whole request within 1 s"), std::string::npos);
}

// Twenty connections held against a limit of 8 per client (all from one
// address) or of 16 in all (each from an address of its own): the ones
// past the limit are closed, counted and told, and a freed place is taken.
struct TConnectionLimit {
  const char* Option;
  const char* Value;
  bool OneAddress;
  int Refused;
  const char* Reason;
  const char* Told;
};

class ScoreConnectionLimit : public ::testing::TestWithParam<TConnectionLimit> {};

TEST_P(ScoreConnectionLimit, ConnectionsPastTheLimitAreRefusedCountedAndTold) {
  const TConnectionLimit& limit = GetParam();
  TScratch scratch;
  const std::string log = (scratch.Dir / "log").string();
  TServiceProcess service((scratch.Dir / "scores.db").string(), {limit.Option, limit.Value}, log);
  auto from = [&](int i) { return limit.OneAddress ? std::string("127.0.0.2") : Address(i); };
  std::vector<std::unique_ptr<TSlowClient>> held;
  for (int i = 0; i < 20; ++i) held.push_back(std::make_unique<TSlowClient>(from(i), service.Port));
  if (limit.OneAddress) {
    EXPECT_EQ(PageStatus(service.Port), 200) << "another client is answered";
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  int closed = 0;
  for (auto& c : held) closed += c->Closed() ? 1 : 0;
  EXPECT_EQ(closed, limit.Refused);
  // One freed place is one more connection.
  held.front().reset();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  TSlowClient again(from(0), service.Port);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_FALSE(again.Closed());
  held.clear();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  httplib::Client client("127.0.0.1", service.Port);
  const auto metrics = client.Get("/metrics");
  ASSERT_TRUE(metrics);
  EXPECT_NE(metrics->body.find("voltrace2_refusals_total{reason=\"" + std::string(limit.Reason) + "\"} " +
                               std::to_string(limit.Refused) + "\n"),
            std::string::npos)
      << metrics->body;
  service.Kill(SIGTERM);
  EXPECT_NE(ReadFile(log).find(limit.Told), std::string::npos) << ReadFile(log);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ScoreConnectionLimit,
    ::testing::Values(TConnectionLimit{"--client-connections", "8", true, 12, "client_connections",
                                       "127.0.0.2 refused client_connections: 8 open already"},
                      TConnectionLimit{"--max-connections", "16", false, 4, "total_connections",
                                       "127.0.1.17 refused total_connections: 16 open already"}),
    [](const auto& info) { return std::string(info.param.Reason); });

TEST(ScoreAbuse, SigtermEndsTheServiceWithinTwoSecondsWhateverTheClientsDo) {
  TScratch scratch;
  TServiceProcess service((scratch.Dir / "scores.db").string(), {"--rate", "0", "--no-access-log"});
  std::vector<std::unique_ptr<TSlowClient>> held;
  for (int i = 0; i < 200; ++i) {
    held.push_back(std::make_unique<TSlowClient>(Address(i), service.Port));
    if (i % 2) held.back()->Send(PageRequestLine);
  }
  std::atomic<bool> done{false};
  std::thread reporter([&] {
    httplib::Client client("127.0.0.1", service.Port);
    client.set_read_timeout(3, 0);
    for (int i = 0; i < 100000 && !done; ++i)
      client.Get("/cgi/version.pl?hs&prg=Voltrace2&inf=QT61A3K7GB8G62MPNW81265DP73GLRKSRTXYL8K7L38HARM6NFUGJRM6RJ8VANBS");
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const Clock::time_point asked = Clock::now();
  const int status = service.Kill(SIGTERM);
  const double seconds = std::chrono::duration<double>(Clock::now() - asked).count();
  done = true;
  reporter.join();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_LT(seconds, 2.0);
}

}  // namespace
