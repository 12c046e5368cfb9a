// Signals while the terminal is ours. Interrupt, terminate and hang-up only
// ask the program to stop: the front end turns that into a QuitEvent and the
// program unwinds normally, restoring the terminal on its way out; a second
// one, or the first still unfinished after a second, restores from the
// handler and dies of it. Crash signals and every other signal whose default
// is to end the process restore the terminal from the handler and then die as
// they would have. A resize is noted and wakes the input wait.
#pragma once

namespace terminal {

// Installs the handlers and the wake-up pipe. Runs before ncurses starts, so
// that ncurses finds them taken and does not install handlers of its own.
// Answers false when the pipe cannot be made.
bool InstallSignalHandlers();
// Puts back the dispositions found at install time.
void RemoveSignalHandlers();

// A stop was asked for by INT, TERM or HUP.
bool StopRequested();
// The stop signal that arrived first, or 0.
int StopSignal();
// The terminal changed size since the last call.
bool TakeResize();

// Becomes readable when a signal arrived; Drain empties it.
int WakeFd();
void DrainWake();

} // namespace terminal
