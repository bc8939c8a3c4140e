#include "client_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

#include <cstring>

namespace {

// An IPv4 address reached through an IPv6 socket (::ffff:a.b.c.d) is that
// IPv4 address.
std::string FromIpv6(const in6_addr& a) {
  char text[INET6_ADDRSTRLEN] = {};
  if (IN6_IS_ADDR_V4MAPPED(&a)) {
    in_addr v4;
    std::memcpy(&v4, a.s6_addr + 12, 4);
    inet_ntop(AF_INET, &v4, text, sizeof text);
  } else {
    inet_ntop(AF_INET6, &a, text, sizeof text);
  }
  return text;
}

}  // namespace

std::string AddressText(const sockaddr* address) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address && address->sa_family == AF_INET) {
    inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(address)->sin_addr, text, sizeof text);
    return text;
  }
  if (address && address->sa_family == AF_INET6) return FromIpv6(reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
  return "?";
}

std::optional<std::string> CanonicalAddress(const std::string& text) {
  char out[INET6_ADDRSTRLEN] = {};
  in_addr v4;
  if (inet_pton(AF_INET, text.c_str(), &v4) == 1) return std::string(inet_ntop(AF_INET, &v4, out, sizeof out));
  in6_addr v6;
  if (inet_pton(AF_INET6, text.c_str(), &v6) == 1) return FromIpv6(v6);
  return std::nullopt;
}

std::string ClientGroup(const std::string& address) {
  in6_addr v6;
  if (address.find(':') == std::string::npos || inet_pton(AF_INET6, address.c_str(), &v6) != 1) return address;
  std::memset(v6.s6_addr + 8, 0, 8);
  char text[INET6_ADDRSTRLEN] = {};
  inet_ntop(AF_INET6, &v6, text, sizeof text);
  return std::string(text) + "/64";
}

std::optional<std::string> LastForwardedAddress(const std::string& header) {
  const size_t comma = header.rfind(',');
  std::string last = comma == std::string::npos ? header : header.substr(comma + 1);
  const size_t first = last.find_first_not_of(" \t");
  const size_t end = last.find_last_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  return CanonicalAddress(last.substr(first, end - first + 1));
}
