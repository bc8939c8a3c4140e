#pragma once
// Who a request comes from, as the limits count clients: an IPv4 address is
// one client, an IPv6 /64 (one home's or one phone's network) is one client,
// and an IPv4 address written as IPv6 is that IPv4 address. Behind a proxy
// the service names trusts, the client is the last address the proxy added
// to X-Forwarded-For.
#include <sys/socket.h>

#include <optional>
#include <string>

// The numeric text of a socket address ("203.0.113.5", "2001:db8::1").
std::string AddressText(const sockaddr* address);
// The same address in canonical text, or nullopt when text is not one.
std::optional<std::string> CanonicalAddress(const std::string& text);
// The client a limit counts: the address itself for IPv4, "PREFIX::/64" for IPv6.
std::string ClientGroup(const std::string& address);
// The last address of an X-Forwarded-For value, or nullopt when it holds none.
std::optional<std::string> LastForwardedAddress(const std::string& header);
