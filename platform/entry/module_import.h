// Windows only. Points one import of this program's image at another
// function: every call the program makes to it, from whichever library of
// the static image, then reaches the replacement.
#pragma once

namespace entry {

// Replaces the import of function from dll (case ignored) in the image the
// process started from. Answers the function it called before, or nullptr
// when the image does not import it.
void* ReplaceModuleImport(const char* dll, const char* function, void* replacement);

// Whether the image the process started from is a console program (the
// companion) rather than the windowed one.
bool StartedAsConsoleProgram();

} // namespace entry
