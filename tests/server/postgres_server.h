#pragma once
// A PostgreSQL server of the tests' own: Debian's server programs run on a
// free loopback port with their data in a temporary folder (as the
// "postgres" user when the tests run as root), started when a test first
// asks for a database and stopped, folder and all, when the test program
// ends. The freshly made cluster is kept in the build folder, so that each
// test program only copies it.
#include <string>

// An empty database of its own on that server, as a libpq address
// ("postgresql://postgres@127.0.0.1:PORT/NAME"); "" (with the test failed)
// when no server could be started.
std::string FreshPostgresDatabase();
