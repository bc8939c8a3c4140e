// voltrace2-shared-postgres start|stop FILE: the PostgreSQL server that the
// score service's tests share for a whole ctest run, started before the
// first of them and stopped after the last (a server per test program took
// seconds each).
#include <cstdio>
#include <string>

#include "postgres_server.h"

int main(int argc, char** argv) {
  const std::string command = argc == 3 ? argv[1] : "";
  if (command == "stop") {
    StopSharedPostgres(argv[2]);
    return 0;
  }
  if (command != "start") {
    std::fprintf(stderr, "usage: voltrace2-shared-postgres start|stop FILE\n");
    return 2;
  }
  std::string why;
  if (!StartSharedPostgres(argv[2], why)) {
    std::fprintf(stderr, "voltrace2-shared-postgres: %s\n", why.c_str());
    return 1;
  }
  return 0;
}
