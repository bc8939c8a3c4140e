#include "screens/help_texts.h"

const TSaid HelpDescription[8] = {
    Said("  Перед тобой продолжение самой захватывающей игры-гонки всех времен",
         "  Here is the sequel to the most thrilling racing game of all time"),
    Said("и народов! Вольтрейс 2 - это новые непредсказуемые трассы, опасные",
         "and all nations! Voltrace 2 brings new unpredictable tracks, dangerous"),
    Said("соперники и сумасшедшие скорости. Повышенный адреналин в крови",
         "rivals and insane speeds. A rush of adrenaline in your blood"),
    Said("гарантирован. Не сиди на месте, выбирай машину и стартуй! Главное - ",
         "is guaranteed. Don't just sit there: pick a car and go! Above all, "),
    Said("не попади в аварию и не вылети с трассы. Собирай бонусы, следи за",
         "don't crash and don't fly off the track. Collect the bonuses, watch"),
    Said("временем и не зевай на поворотах.", "the clock and stay awake in the bends."),
    Said("  Финишируй первым, и лавры победителя у тебя в кармане!",
         "  Finish first, and the winner's laurels are yours!"),
    Said("Ты готов принять брошенный вызов? Тогда вперед!", "Are you ready to take up the challenge? Then go!"),
};

const TSaid HelpMenuControls[5] = {
    Said("Используйте курсорные клавиши или мышь чтобы перемещаться по пунктам меню.",
         "Use the arrow keys or the mouse to move between the menu items."),
    Said("Нажмите \"Enter\" или любую кнопку мыши чтобы зайти в меню опций.",
         "Press \"Enter\" or any mouse button to open the chosen item."),
    // Left and Right page the cars; on the options screen they turn the
    // volumes of the music and sound rows.
    Said("Нажмите \"Enter\" для изменения выбранной опции. При выборе машины",
         "Press \"Enter\" to change the chosen option. On the car selection"),
    Said("стрелки \"Влево\" и \"Вправо\" листают машины.", "\"Left\" and \"Right\" page through the cars."),
    // Esc does nothing on the car selection; its way back is the button.
    Said("Нажмите \"Esc\" чтобы выйти из подменю в главное меню (из выбора машины - \"Назад\").",
         "Press \"Esc\" to go back to the main menu (from the car selection: \"Back\")."),
};

const TSaid HelpGameControls[8] = {
    Said("Используйте стрелки \"Влево\" и \"Вправо\" чтобы перемещать машину влево или",
         "Use the \"Left\" and \"Right\" arrows to steer the car left or"),
    Said("вправо. Используйте стрелки \"Вверх\" и \"Вниз\" чтобы разгоняться или",
         "right. Use the \"Up\" and \"Down\" arrows to accelerate or"),
    Said("тормозить автомобиль. Используйте \"Пробел\" для ручного тормоза.",
         "to brake. Use \"Space\" for the handbrake."),
    Said("Нажмите \"Z\" или \"Ctrl\" чтобы выстрелить из оружия.", "Press \"Z\" or \"Ctrl\" to fire your weapon."),
    Said("Нажмите \"X\" или \"Shift\" чтобы использовать нитро бонус.", "Press \"X\" or \"Shift\" to burn nitro."),
    Said("Нажмите \"H\" для звукового гудка. Нажмите \"P\" для вызова паузы.",
         "Press \"H\" to sound the horn. Press \"P\" to pause."),
    Said("Для выхода в главное меню нажмите клавишу \"Escape\".", "Press \"Escape\" to go back to the main menu."),
    Said("Используйте клавиши \"Alt\"+\"Enter\" чтобы изменить режим экрана.",
         "Use \"Alt\"+\"Enter\" to switch between window and full screen."),
};

// The team that made this game, and where to find it.
const TSaid HelpCopyright = Said("© 2026 Команда «Ночная трасса». Все права защищены.",
                                 "© 2026 The Night Track team. All rights reserved.");
const TSaid HelpWebAddress = Said("www.voltrace2.example", "www.voltrace2.example");
