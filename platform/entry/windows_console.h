// Windows only. The standard streams of a command started from a shell.
#pragma once

namespace entry {

// Makes the standard streams usable for a command. The console program has
// them from its start. The windowed program has none of its own: it
// attaches to the console of the shell that started it, and takes that
// console only for the streams the shell did not redirect, so that a pipe
// or a file the shell gave stays where it was.
void PrepareStandardStreams();

// Standard input reads bytes as they are, without the line-end and Ctrl+Z
// translation of the C run-time's text mode: the text printed is the text
// piped in.
void ReadStandardInputAsBytes();

} // namespace entry
