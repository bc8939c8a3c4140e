#pragma once
// The online table as a web page: Russian, UTF-8, in the game's colours.
#include <string>
#include <vector>

#include "score_store.h"

// Names and countries are shown as text whatever bytes they hold.
std::string HtmlEscape(const std::string& utf8);
// rows: best first, as TScoreStore::Table gives them. A verified score
// carries the mark; verifiedOnly is the page of verified scores alone.
std::string TablePage(const std::vector<TStoredScore>& rows, bool verifiedOnly = false);
// The mark beside a score whose recording, replayed, gave that score.
extern const char* const VerifiedMark;
