#include "platform/curl_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace {

// The soname of libcurl's current interface, the one the headers describe.
constexpr const char* CurlSoname = "libcurl.so.4";

template <class T>
bool Bind(void* library, const char* name, T& slot) {
  slot = reinterpret_cast<T>(dlsym(library, name));
  return slot != nullptr;
}

const TCurlLibrary* Load() {
  static TCurlLibrary curl;
  void* library = dlopen(CurlSoname, RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    std::fprintf(stderr, "voltrace2: no online table (%s)\n", dlerror());
    return nullptr;
  }
  CURLcode (*globalInit)(long) = nullptr;
  const bool bound =
      Bind(library, "curl_global_init", globalInit) && Bind(library, "curl_easy_init", curl.easy_init) &&
      Bind(library, "curl_easy_setopt", curl.easy_setopt) && Bind(library, "curl_easy_getinfo", curl.easy_getinfo) &&
      Bind(library, "curl_easy_cleanup", curl.easy_cleanup) && Bind(library, "curl_multi_init", curl.multi_init) &&
      Bind(library, "curl_multi_add_handle", curl.multi_add_handle) &&
      Bind(library, "curl_multi_remove_handle", curl.multi_remove_handle) &&
      Bind(library, "curl_multi_perform", curl.multi_perform) && Bind(library, "curl_multi_poll", curl.multi_poll) &&
      Bind(library, "curl_multi_wakeup", curl.multi_wakeup) &&
      Bind(library, "curl_multi_info_read", curl.multi_info_read) &&
      Bind(library, "curl_multi_cleanup", curl.multi_cleanup) && Bind(library, "curl_slist_append", curl.slist_append) &&
      Bind(library, "curl_slist_free_all", curl.slist_free_all);
  if (!bound) {
    std::fprintf(stderr, "voltrace2: no online table (%s lacks %s)\n", CurlSoname, dlerror());
    return nullptr;
  }
  // The library stays loaded for the rest of the game: its threads and
  // handles may outlive any one request.
  if (globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    std::fprintf(stderr, "voltrace2: no online table (%s would not start)\n", CurlSoname);
    return nullptr;
  }
  return &curl;
}

}  // namespace

const TCurlLibrary* Curl() {
  // Function-local statics are set up once even when threads race here.
  static const TCurlLibrary* const loaded = Load();
  return loaded;
}
