#include "screens/help_screen.h"

#include "gfx/cp1251.h"
#include "gfx/text.h"
#include "race/world/scroll_background.h"
#include "screens/activate_item.h"
#include "screens/help_texts.h"
#include "screens/menu_button.h"
#include "screens/screen_title.h"
#include "screens/buttons.h"
#include "shell/game_state.h"
#include "shell/input.h"
#include "shell/language.h"
#include "sprites/sprite.h"

int HelpPage = 1;

namespace {

const TSaid Title = Said("ПОМОЩЬ", "HELP");
const TSaid PageTitles[6] = {Said("", ""), Said("ОПИСАНИЕ ИГРЫ", "ABOUT THE GAME"), Said("БОНУСЫ", "BONUSES"),
                             Said("УПРАВЛЕНИЕ", "CONTROLS"), Said("УПРАВЛЕНИЕ", "CONTROLS"), Said("ОБ ИГРЕ", "CREDITS")};
const TSaid BonusLabels[8] = {Said("Пушка", "Machine gun"), Said("Ракетница", "Rockets"), Said("Нитро", "Nitro"),
                              Said("Жизнь", "Extra life"),  Said("10 очков", "10 points"), Said("20 очков", "20 points"),
                              Said("50 очков", "50 points"), Said("100 очков", "100 points")};
const TSaid MenuControlsTitle = Said("УПРАВЛЕНИЕ В МЕНЮ", "IN THE MENUS");
const TSaid GameControlsTitle = Said("УПРАВЛЕНИЕ В ИГРЕ", "IN THE RACE");
const TSaid AboutName = Said(" ВОЛЬТРЕЙС", " VOLTRACE");

const char* const BonusIcons[8] = {"BonusMGnp", "BonusRnp", "BonusN",   "BonusL",
                                   "Bonus10",   "Bonus20",  "Bonus50",  "Bonus100"};

TMyImageSprite* Icons[8] = {};
TMyImageSprite* Logo = nullptr;

// Texts start at their left edge and are centred vertically on Y.
void Line(const std::string& text, int x, int y) { DrawText(text, x, y, false, true); }

// Where the about page's "2" starts: one space after the name " ВОЛЬТРЕЙС"
// drawn at x 160 in its title style.
int AboutNameEnd() { return 160 + TextWidth(AboutName, 21) + TextWidth(" ", 21); }

}  // namespace

void OpenHelp() {
  GameScreen = 5;
  FirstButton = 1;
  LastButton = 3;
  HoverButton = 3;
  HelpPage = 1;
  Background = new TScrollBackground(1, 1, 1, "MMBG");
  Buttons[1] = new TMenuButton(1, "Help_Prev", "Help_Prev", 0, 1, 537, 512);
  Buttons[2] = new TMenuButton(1, "Help_Next", "Help_Next", 0, 1, 622, 435);
  Buttons[3] = new TMenuButton(1, "Opt_Bk", "Opt_Bk", 0, 1, 345, 513);
  for (int i = 0; i < 8; ++i) {
    Icons[i] = TMyImageSprite::CreateCentered(2, BonusIcons[i], i < 4 ? 42 : 282, 314 + 48 * (i % 4), 5);
    Icons[i]->Visible = false;
  }
  Logo = TMyImageSprite::CreateAt(1, "HelpLogo", 73, 338, 5);
  Logo->Visible = false;
}

void PreviousHelpPage() { HelpPage = HelpPage <= 1 ? 5 : HelpPage - 1; }

void NextHelpPage() { HelpPage = HelpPage >= 5 ? 1 : HelpPage + 1; }

void HelpTick(int moveCount) {
  UpdateButtonLooks();
  if (PressedUp) {
    if (HoverButton == 2) SelectItem(2);
    if (HoverButton == 1) HoverButton = 2;
  }
  if (PressedDown) {
    if (HoverButton == 1) SelectItem(1);
    if (HoverButton == 2) HoverButton = 1;
  }
  if (PressedLeft && (HoverButton == 1 || HoverButton == 2)) HoverButton = 3;
  if (PressedRight && HoverButton == 3) HoverButton = 1;
  if (PressedEsc) SelectItem(3);
  // Even on the tick that leaves the screen, its sprites are already drawn
  // for this frame: the title and the page must go over them too.
  ScreenTitle(Title);
  DrawHelpPage();
  MDXSpriteEngine.Move(moveCount);
}

void DrawHelpPage() {
  SetTextStyle(19);
  Line(PageTitles[HelpPage], 25, 245);
  SetTextStyle(20);
  // After CloseHelp the icons and the logo are gone; the texts still print.
  for (TMyImageSprite* icon : Icons)
    if (icon) icon->Visible = HelpPage == 2;
  if (Logo) Logo->Visible = HelpPage == 5;
  switch (HelpPage) {
    case 1:
      for (int i = 0; i < 8; ++i) Line(HelpDescription[i], 25, 290 + 24 * i);
      break;
    case 2:
      SetTextStyle(21);
      for (int i = 0; i < 8; ++i) Line(BonusLabels[i], i < 4 ? 80 : 320, 314 + 48 * (i % 4));
      break;
    case 3:
      SetTextStyle(21);
      Line(MenuControlsTitle, 25, 300);
      SetTextStyle(20);
      for (int i = 0; i < 5; ++i) Line(HelpMenuControls[i], 25, 290 + 24 * (i + 2));
      break;
    case 4:
      SetTextStyle(21);
      Line(GameControlsTitle, 25, 300);
      SetTextStyle(20);
      for (int i = 0; i < 8; ++i) Line(HelpGameControls[i], 25, 290 + 24 * (i + 2));
      break;
    case 5:
      SetTextStyle(21);
      Line(AboutName, 160, 320);
      // The "2" follows the name a space after its measured end: at a fixed
      // x the two pieces drift apart when the name's font runs narrower.
      SetTextStyle(19);
      Line("2", AboutNameEnd(), 315);
      SetTextStyle(20);
      Line(HelpCopyright, 160, 360);
      Line(HelpWebAddress, 160, 400);
      break;
    default: break;
  }
}

void CloseHelp() {
  GameScreen = 0;
  if (Background) Background->Kill();
  Background = nullptr;
  KillButtons();
  for (TMyImageSprite*& icon : Icons) {
    if (icon) icon->Kill();
    icon = nullptr;
  }
  if (Logo) Logo->Kill();
  Logo = nullptr;
}

void ResetHelpScreen() {
  HelpPage = 1;
  for (TMyImageSprite*& icon : Icons) icon = nullptr;
  Logo = nullptr;
}
