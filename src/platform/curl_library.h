#pragma once
// libcurl, opened the first time the game reports a score rather than at
// start-up: loading it and the two dozen libraries it brings (TLS, Kerberos,
// LDAP, SSH...) cost more processor time than the rest of the start-up to
// the first menu frame, for a feature most sessions never use.
#include <curl/curl.h>

#include <string>

struct TCurlLibrary {
  CURL* (*easy_init)();
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
  CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
  void (*easy_cleanup)(CURL*);
  CURLM* (*multi_init)();
  CURLMcode (*multi_add_handle)(CURLM*, CURL*);
  CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
  CURLMcode (*multi_perform)(CURLM*, int*);
  CURLMcode (*multi_poll)(CURLM*, curl_waitfd*, unsigned int, int, int*);
  CURLMcode (*multi_wakeup)(CURLM*);
  CURLMsg* (*multi_info_read)(CURLM*, int*);
  CURLMcode (*multi_cleanup)(CURLM*);
  curl_slist* (*slist_append)(curl_slist*, const char*);
  void (*slist_free_all)(curl_slist*);
};

// The library, loaded and set up once on the first call from any thread;
// null when it cannot be, with the reason written once to stderr.
const TCurlLibrary* Curl();
