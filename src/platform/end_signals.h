#pragma once
// The desktop's ways of ending a program: SIGTERM (logging out, a service
// manager), SIGINT (Ctrl+C in a terminal) and SIGHUP (the terminal closed).
// Each ends the game at once with its exit saves, without the "leave?"
// question: the program's loop asks EndSignalled on every pass.

// Installs the handlers; called once before the window opens.
void CatchEndSignals();
// True once one of the signals has come.
bool EndSignalled();
