#include "score_verifier.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <cstring>
#include <sstream>

#include "service_log.h"

const char* const VerificationOutcomes[7] = {"verified",    "mismatch", "diverged", "unreadable",
                                             "implausible", "overtime", "failed"};

namespace {

using Clock = std::chrono::steady_clock;

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// The child's one line, read until it closes its output, the wall time has
// passed, or the service stops; false when it had to be killed.
bool ReadAnswer(int fd, Clock::time_point deadline, const std::atomic<bool>* abandon, std::string& answer) {
  char buffer[256];
  while (true) {
    if (abandon && *abandon) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, static_cast<int>(std::min<long long>(left, 100)));
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return true;
    // One short line is all a child has to say.
    if (answer.size() < 512) answer.append(buffer, static_cast<size_t>(n));
  }
}

TVerdict Judge(const std::string& answer, int32_t score) {
  std::istringstream line(answer);
  std::string word;
  line >> word;
  const std::string rest = answer.size() > word.size() + 1 ? answer.substr(word.size() + 1) : "";
  TVerdict v;
  v.Detail = rest.substr(0, rest.find('\n'));
  if (word == "finished") {
    int64_t reached = 0;
    line >> reached;
    // The name is not part of the race: only the score is compared.
    v.Outcome = line && reached == score ? "verified" : "mismatch";
    if (v.Outcome == "mismatch") v.Detail = "the replay ends with " + v.Detail + ", the report says " + std::to_string(score);
  } else if (word == "diverged" || word == "mismatch" || word == "unreadable" || word == "implausible") {
    v.Outcome = word;
  } else {
    v.Outcome = "failed";
    v.Detail = "no answer from the replay";
  }
  return v;
}

}  // namespace

TVerdict ReplayInChild(const std::string& bytes, int32_t score, const TVerifyOptions& options,
                       const std::atomic<bool>* abandon) {
  TVerdict verdict;
  if (options.GameData.empty()) return verdict.Outcome = "failed", verdict.Detail = "no game data", verdict;
  // The recording is handed over in a file in memory, so that the child
  // reads it at its own pace and the parent never waits on a full pipe.
  const int input = memfd_create("recording", MFD_CLOEXEC);
  int output[2] = {-1, -1};
  if (input < 0 || !WriteAll(input, bytes) || lseek(input, 0, SEEK_SET) != 0 || pipe2(output, O_CLOEXEC) != 0) {
    if (input >= 0) close(input);
    return verdict.Outcome = "failed", verdict.Detail = std::string("cannot start: ") + std::strerror(errno), verdict;
  }
  std::vector<std::string> args = {options.Program,   "verify-recording",   "--game-data", options.GameData,
                                   "--tick-cap",      std::to_string(options.TickCap), "--score",
                                   std::to_string(score)};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const rlimit processor{static_cast<rlim_t>(options.CpuSeconds), static_cast<rlim_t>(options.CpuSeconds) + 1};
  const rlimit memory{options.MemoryBytes, options.MemoryBytes};
  const rlimit none{0, 0};
  const rlimit files{32, 32};
  const Clock::time_point start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    // Only calls that are safe between fork and exec in a program with
    // threads: the limits hold from the first instruction of the child.
    dup2(input, 0);
    dup2(output[1], 1);
    // Nothing of the service's (its store, its clients) reaches the replay.
    close_range(3, ~0U, 0);
    setrlimit(RLIMIT_CPU, &processor);
    setrlimit(RLIMIT_AS, &memory);
    setrlimit(RLIMIT_CORE, &none);
    // A replay writes no file and opens few.
    setrlimit(RLIMIT_FSIZE, &none);
    setrlimit(RLIMIT_NOFILE, &files);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(input);
  close(output[1]);
  if (child < 0) {
    close(output[0]);
    return verdict.Outcome = "failed", verdict.Detail = std::string("cannot start: ") + std::strerror(errno), verdict;
  }
  std::string answer;
  const bool answered = ReadAnswer(output[0], start + std::chrono::seconds(options.WallSeconds), abandon, answer);
  close(output[0]);
  if (!answered) kill(child, SIGKILL);
  int status = 0;
  rusage usage{};
  while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  verdict.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  if (!answered || (WIFSIGNALED(status) && WTERMSIG(status) == SIGXCPU)) {
    verdict.Outcome = "overtime";
    verdict.Detail = abandon && *abandon ? "the service is stopping" : "the replay's time is spent";
    return verdict;
  }
  if (WIFSIGNALED(status)) {
    verdict.Outcome = "failed";
    verdict.Detail = std::string("the replay died: ") + strsignal(WTERMSIG(status));
    return verdict;
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    verdict.Outcome = "failed";
    verdict.Detail = "the replay ended with status " + std::to_string(WEXITSTATUS(status));
    return verdict;
  }
  const double cpu = verdict.CpuSeconds;
  verdict = Judge(answer, score);
  verdict.CpuSeconds = cpu;
  return verdict;
}

namespace {

// How often the store is looked at for recordings when none was poked in
// (another service's, or ones whose outcome could not be stored).
constexpr auto LookEvery = std::chrono::seconds(5);

}  // namespace

TScoreVerifier::TScoreVerifier(TVerifyOptions options, std::unique_ptr<TScoreStore> store, TServiceMetrics& metrics)
    : Options(std::move(options)), Store(std::move(store)), Metrics(metrics) {
  Thread = std::thread([this] { Loop(); });
}

TScoreVerifier::~TScoreVerifier() { Stop(); }

void TScoreVerifier::Poke() {
  {
    std::lock_guard<std::mutex> hold(Lock);
    Poked = true;
  }
  Wake.notify_one();
}

void TScoreVerifier::Stop() {
  {
    std::lock_guard<std::mutex> hold(Lock);
    Stopping = true;
  }
  Abandon = true;
  Wake.notify_all();
  if (Thread.joinable()) Thread.join();
}

void TScoreVerifier::Loop() {
  while (true) {
    {
      std::unique_lock<std::mutex> hold(Lock);
      Wake.wait_for(hold, LookEvery, [this] { return Stopping || Poked; });
      if (Stopping) return;
      Poked = false;
    }
    const std::optional<std::vector<TWaitingRecording>> waiting = Store->WaitingRecordings(Options.Workers);
    if (!waiting) {
      LogLine("replays: the store does not answer: " + Store->LastError());
      continue;
    }
    std::vector<TVerdict> verdicts(waiting->size());
    std::vector<std::thread> replays;
    for (size_t i = 0; i < waiting->size(); ++i)
      replays.emplace_back([&, i] { verdicts[i] = ReplayInChild((*waiting)[i].Bytes, (*waiting)[i].Score, Options, &Abandon); });
    for (std::thread& t : replays) t.join();
    // Replays cut short by the stop are not outcomes: they stay waiting.
    if (Abandon) return;
    bool settled = true;
    for (size_t i = 0; i < waiting->size(); ++i) {
      const TWaitingRecording& w = (*waiting)[i];
      const TVerdict& v = verdicts[i];
      LogLine("report " + std::to_string(w.Report) + " " + v.Outcome + (v.Detail.empty() ? "" : ": ") + v.Detail);
      if (!Store->SettleRecording(w.Report, w.Kept, v.Outcome, v.Verified())) {
        LogLine("store failed, the replay of report " + std::to_string(w.Report) + " not kept: " + Store->LastError());
        settled = false;
      }
      // Counted once stored, so that a count seen means an outcome kept.
      Metrics.Verification(v.Outcome, v.CpuSeconds);
    }
    // A full batch: more may be waiting. An outcome the store did not take
    // is replayed again at the next look, not at once.
    if (settled && static_cast<int>(waiting->size()) == Options.Workers) Poke();
  }
}
