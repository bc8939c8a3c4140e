#pragma once
// A PostgreSQL server of the tests' own: Debian's server programs run on a
// free loopback port with their data in a temporary folder (as the
// "postgres" user when the tests run as root). Under ctest one server
// serves the whole run (started before the first test that needs it and
// stopped after the last, its address in the build folder's
// test-artifacts/shared-postgres); without one that answers, a test program
// starts its own when a test first asks for a database and stops it, folder
// and all, when it ends. The freshly made
// cluster is kept in the build folder, so that each start only copies it.
#include <string>

// An empty database of its own on that server, as a libpq address
// ("postgresql://postgres@127.0.0.1:PORT/NAME"); "" (with the test failed)
// when no server could be started.
std::string FreshPostgresDatabase();

// The run's shared server: started with its address written to file
// (after stopping one that an interrupted run left there), and stopped,
// folder and all; false with the reason in why.
bool StartSharedPostgres(const std::string& file, std::string& why);
void StopSharedPostgres(const std::string& file);
