#include "screens/links.h"

#include <algorithm>
#include <filesystem>

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "screens/score_report.h"
#include "sprites/tick_scale.h"

std::string LinkNotice;

namespace {

int NoticeMsLeft = 0;
int NoticeX = 0, NoticeY = 0, NoticeStyle = 17;

// Under "ДРУГИЕ ИГРЫ" on the main menu, in the menus' light caption colour;
// under "Онлайн-таблица" in the highscores screen's narrow button column,
// in the table's style for names.
struct TNoticePlace {
  int X, Y, Style;
};
constexpr TNoticePlace MoreGamesNotice{396, 310, 17};
constexpr TNoticePlace TableNotice{137, 410, 2};

void ShowNotice(const char* utf8, const TNoticePlace& at) {
  LinkNotice = Cp1251FromUtf8(utf8);
  NoticeMsLeft = LinkNoticeMs;
  NoticeX = at.X;
  NoticeY = at.Y;
  NoticeStyle = at.Style;
}

// The build's stand-in address lies under a name reserved never to resolve
// (".example", ".invalid"): a game built without a real service has no
// table page to show.
bool ReservedHost(const std::string& address) {
  const size_t scheme = address.find("://");
  std::string host = address.substr(scheme == std::string::npos ? 0 : scheme + 3);
  host = host.substr(0, host.find_first_of(":/?#"));
  for (const char* reserved : {".example", ".invalid"}) {
    const std::string tail = reserved;
    if (host.size() >= tail.size() && host.compare(host.size() - tail.size(), tail.size(), tail) == 0) return true;
    if (host == tail.substr(1)) return true;
  }
  return host.empty();
}

}  // namespace

bool OpenLink(const std::string& target) {
  const bool isAddress = target.rfind("http://", 0) == 0 || target.rfind("https://", 0) == 0;
  if (!isAddress && !std::filesystem::exists(target)) return false;
  return Platform->OpenLink(target);
}

void OpenMoreGames() {
  if (!std::filesystem::exists("moregames.url"))
    ShowNotice("Ссылка на другие игры не задана", MoreGamesNotice);
  else if (!OpenLink("moregames.url"))
    ShowNotice("Ссылку не удалось открыть", MoreGamesNotice);
}

void OpenOnlineTable() {
  const std::string page = OnlineTableUrl();
  if (ReservedHost(ScoreServerAddress()))
    ShowNotice("Адрес онлайн-таблицы не задан", TableNotice);
  else if (!OpenLink(page))
    ShowNotice("Таблицу не удалось открыть", TableNotice);
}

void DrawLinkNotice() {
  if (LinkNotice.empty()) return;
  // Rimmed to stand on the lit road and the town's lights.
  SetTextStyle(NoticeStyle);
  DrawTextRimmed(LinkNotice, NoticeX, NoticeY, true, true);
  NoticeMsLeft -= std::max(FrameMs, 1);
  if (NoticeMsLeft <= 0) ClearLinkNotice();
}

void ClearLinkNotice() {
  LinkNotice.clear();
  NoticeMsLeft = 0;
}
