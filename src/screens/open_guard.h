#pragma once
// Going from one screen to another is close-then-open. When a picture or
// sound that the new screen needs is missing from the archives, its open
// stops part-way; what it built is then closed again and the main menu comes
// back in its place, so no screen ever runs half built. The lookup error
// then goes on to abandon the rest of the tick, as any other does.

// Runs open; on a lookup error runs close, opens the main menu (without the
// fade, `hover` highlighted, its music started when playMusic) and rethrows.
// Should the menu itself fail, nothing is left open and GameScreen is 0.
void OpenScreenOrMenu(void (*open)(), void (*close)(), int hover, bool playMusic);
