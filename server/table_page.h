#pragma once
// The online table as a web page: Russian, UTF-8, in the game's colours.
#include <string>
#include <vector>

#include "score_store.h"

// Names and countries are shown as text whatever bytes they hold.
std::string HtmlEscape(const std::string& utf8);
// rows: best first, as TScoreStore::Table gives them.
std::string TablePage(const std::vector<TStoredScore>& rows);
