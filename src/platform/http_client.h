#pragma once
// The real network's GET, run on a thread of its own so that the frame
// loop never waits for a server. Both the window build and the script
// runner's real-network mode use it.
#include <map>
#include <memory>

#include "platform/platform.h"

class THttpRequest;

class THttpClient {
 public:
  THttpClient();
  ~THttpClient();  // abandons whatever is still running
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  int Start(const THttpGet& get);
  bool Poll(int request, int& status);
  void Abandon(int request);
  int Pending() const { return static_cast<int>(Requests.size()); }

 private:
  std::map<int, std::unique_ptr<THttpRequest>> Requests;
  int NextRequest = 1;
};
