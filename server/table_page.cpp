#include "table_page.h"

#include <ctime>

#include "gfx/cp1251.h"

namespace {

// A stored text for the page: Windows-1251 to UTF-8, with control bytes
// (which the game never sends, but the file may hold) shown as "?".
std::string Shown(const std::string& cp1251) {
  std::string clean = cp1251;
  for (char& c : clean)
    if (static_cast<unsigned char>(c) < 32 || c == 127) c = '?';
  return HtmlEscape(Utf8FromCp1251(clean));
}

std::string Date(int64_t time) {
  const std::time_t t = static_cast<std::time_t>(time);
  std::tm tm{};
  gmtime_r(&t, &tm);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y", &tm);
  return text;
}

const char* const Head = R"(<!DOCTYPE html>
<html lang="ru">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Вольтрейс 2 — таблица рекордов</title>
<style>
  body { margin: 0; min-height: 100vh; color: #e8e4d8;
    background: radial-gradient(ellipse at 50% 0%, #2a3140 0%, #12151b 60%, #0a0b0e 100%);
    font-family: "PT Sans Narrow", "PT Sans", "Liberation Sans", sans-serif; }
  main { max-width: 760px; margin: 32px auto; padding: 20px 28px 28px;
    background: linear-gradient(#2b2f36, #1c1f25); border: 3px solid #7d848f; border-radius: 6px;
    box-shadow: inset 0 0 0 2px #3d434c, inset 0 2px 0 3px #a9b0ba, 0 8px 24px rgba(0,0,0,.6); }
  h1 { margin: 0 0 4px; text-align: center; font-size: 40px; letter-spacing: 2px; font-weight: bold;
    color: #ffcc33; text-shadow: 0 0 10px rgba(255,160,0,.55), 2px 2px 0 #4a2a00; text-transform: uppercase; }
  p.sub { margin: 0 0 18px; text-align: center; color: #9aa3ad; font-size: 18px; }
  table { width: 100%; border-collapse: collapse; font-size: 20px; }
  th { color: #9aa3ad; font-weight: normal; text-align: left; padding: 6px 10px; border-bottom: 2px solid #4a515b; }
  td { padding: 6px 10px; border-bottom: 1px solid #30353d; }
  tr:nth-child(even) td { background: rgba(255,255,255,.03); }
  td.place { width: 3em; color: #9aa3ad; text-align: right; }
  td.score { font-family: "Jura", "Liberation Mono", monospace; color: #7dff6a; text-align: right;
    text-shadow: 0 0 6px rgba(90,255,90,.45); font-weight: bold; }
  th.score { text-align: right; padding-right: 30px; }
  td.date { color: #9aa3ad; white-space: nowrap; }
  tr:first-child td.name { color: #ffcc33; }
  p.empty { text-align: center; color: #9aa3ad; font-size: 20px; }
  /* The mark sits in the score's right padding, so that the digits of
     marked and unmarked scores stay in one column. */
  td.score { position: relative; padding-right: 30px; }
  td.score span.verified { position: absolute; right: 8px; top: 50%; transform: translateY(-50%); }
  span.verified { color: #7dff6a; font-size: 16px; cursor: help; text-shadow: none; }
  p.choice { margin: 14px 0 0; text-align: center; font-size: 17px; color: #9aa3ad; }
  p.choice a { color: #ffcc33; }
</style>
</head>
<body>
<main>
<h1>Вольтрейс 2</h1>
)";

const char* const AllSub =
    "<p class=\"sub\">Таблица рекордов: лучший результат каждого игрока, первые сто мест</p>\n";
const char* const VerifiedSub =
    "<p class=\"sub\">Проверенные рекорды: лучший результат каждого игрока, подтверждённый повтором заезда</p>\n";
// The two pages link each other with the addresses the game's own link uses.
const char* const ToVerified =
    "<p class=\"choice\"><span class=\"verified\">&#10004;</span> — результат подтверждён повтором заезда. "
    "<a href=\"version.pl?prg=Voltrace2&amp;show&amp;type=0&amp;verified=1\">Только проверенные</a></p>\n";
const char* const ToAll =
    "<p class=\"choice\"><a href=\"version.pl?prg=Voltrace2&amp;show&amp;type=0\">Все рекорды</a></p>\n";

}  // namespace

std::string HtmlEscape(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

const char* const VerifiedMark =
    "<span class=\"verified\" title=\"Подтверждено повтором заезда\">&#10004;</span>";

std::string TablePage(const std::vector<TStoredScore>& rows, bool verifiedOnly) {
  std::string page = Head;
  page += verifiedOnly ? VerifiedSub : AllSub;
  if (rows.empty()) {
    page += verifiedOnly ? "<p class=\"empty\">Проверенных рекордов пока нет.</p>\n"
                         : "<p class=\"empty\">Рекордов пока нет.</p>\n";
  } else {
    page +=
        "<table id=\"scores\">\n<thead><tr><th>Место</th><th>Имя</th><th class=\"score\">Очки</th>"
        "<th>Страна</th><th>Дата</th></tr></thead>\n<tbody>\n";
    int place = 0;
    for (const TStoredScore& row : rows) {
      page += "<tr><td class=\"place\">" + std::to_string(++place) + "</td><td class=\"name\">" + Shown(row.Name) +
              "</td><td class=\"score\">" + std::to_string(row.Score) + (row.Verified ? VerifiedMark : "") +
              "</td><td class=\"country\">" +
              Shown(row.Country) + "</td><td class=\"date\">" + Date(row.Time) + "</td></tr>\n";
    }
    page += "</tbody>\n</table>\n";
  }
  page += verifiedOnly ? ToAll : ToVerified;
  page += "</main>\n</body>\n</html>\n";
  return page;
}
