#include "platform/http_client.h"

#include <atomic>
#include <thread>

#include "platform/curl_library.h"

namespace {

size_t DiscardBody(char*, size_t size, size_t n, void*) { return size * n; }

}  // namespace

// One request on its own thread, driven through curl's multi interface so
// that abandoning it wakes the thread at once instead of waiting for the
// next network event.
class THttpRequest {
 public:
  // Without libcurl the request ends at once with no answer, as an
  // unreachable server's does.
  explicit THttpRequest(const THttpGet& get) : Lib(Curl()), Body(get.Body) {
    if (!Lib) {
      Done = true;
      return;
    }
    Easy = Lib->easy_init();
    Multi = Lib->multi_init();
    if (!Easy || !Multi) {
      Done = true;
      return;
    }
    for (const std::string& h : get.Headers) HeaderList = Lib->slist_append(HeaderList, h.c_str());
    Lib->easy_setopt(Easy, CURLOPT_URL, get.Url.c_str());
    if (get.Post) {
      Lib->easy_setopt(Easy, CURLOPT_POST, 1L);
      Lib->easy_setopt(Easy, CURLOPT_POSTFIELDS, Body.data());
      Lib->easy_setopt(Easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(Body.size()));
    } else {
      Lib->easy_setopt(Easy, CURLOPT_HTTPGET, 1L);
    }
    Lib->easy_setopt(Easy, CURLOPT_HTTPHEADER, HeaderList);
    Lib->easy_setopt(Easy, CURLOPT_COOKIEFILE, "");  // cookies allowed, kept in memory
    Lib->easy_setopt(Easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(get.ConnectTimeoutMs));
    Lib->easy_setopt(Easy, CURLOPT_TIMEOUT_MS, static_cast<long>(get.TotalTimeoutMs));
    Lib->easy_setopt(Easy, CURLOPT_NOSIGNAL, 1L);
    Lib->easy_setopt(Easy, CURLOPT_WRITEFUNCTION, DiscardBody);
    Lib->multi_add_handle(Multi, Easy);
    Worker = std::thread([this] { Run(); });
  }

  ~THttpRequest() {
    Stop = true;
    if (Multi) Lib->multi_wakeup(Multi);
    if (Worker.joinable()) Worker.join();
    if (Multi && Easy) Lib->multi_remove_handle(Multi, Easy);
    if (Easy) Lib->easy_cleanup(Easy);
    if (Multi) Lib->multi_cleanup(Multi);
    if (HeaderList) Lib->slist_free_all(HeaderList);
  }

  bool Finished(int& status) const {
    if (!Done) return false;
    status = Status;
    return true;
  }

 private:
  void Run() {
    int running = 1;
    while (!Stop) {
      if (Lib->multi_perform(Multi, &running) != CURLM_OK || running == 0) break;
      Lib->multi_poll(Multi, nullptr, 0, 1000, nullptr);
    }
    int left = 0;
    while (CURLMsg* msg = Lib->multi_info_read(Multi, &left)) {
      if (msg->msg != CURLMSG_DONE || msg->data.result != CURLE_OK) continue;
      long code = 0;
      Lib->easy_getinfo(msg->easy_handle, CURLINFO_RESPONSE_CODE, &code);
      Status = static_cast<int>(code);
    }
    Done = true;
  }

  const TCurlLibrary* Lib;
  const std::string Body;  // a POST's, kept while curl sends it
  CURL* Easy = nullptr;
  CURLM* Multi = nullptr;
  curl_slist* HeaderList = nullptr;
  std::thread Worker;
  std::atomic<bool> Stop{false};
  std::atomic<bool> Done{false};
  std::atomic<int> Status{0};
};

THttpClient::THttpClient() = default;

THttpClient::~THttpClient() = default;

int THttpClient::Start(const THttpGet& get) {
  const int id = NextRequest++;
  Requests[id] = std::make_unique<THttpRequest>(get);
  return id;
}

bool THttpClient::Poll(int request, int& status) {
  auto it = Requests.find(request);
  if (it == Requests.end()) {
    status = 0;
    return true;
  }
  if (!it->second->Finished(status)) return false;
  Requests.erase(it);  // its thread has ended; joined here
  return true;
}

void THttpClient::Abandon(int request) { Requests.erase(request); }
