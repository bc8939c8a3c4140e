#pragma once
// What the service tells its host, one line each on stderr (the journal's
// input): every request answered, every refusal, every store failure.
#include <cstdio>
#include <string>

// Writes "TIME text" as one line; TIME is UTC, to the millisecond.
void LogLine(const std::string& text);
// Where the lines go (stderr unless told otherwise).
void SetLogSink(FILE* sink);
// A request target fit for a log line: the report's code cut to its first
// symbols and its length, anything but printable ASCII as \xNN, and at
// most 160 characters.
std::string LoggedTarget(const std::string& target);
