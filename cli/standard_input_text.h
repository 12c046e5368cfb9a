// Text from standard input, read as the loader reads a file: the same
// decoding (UTF-8 or UTF-16 by their marks and validity, else the ANSI code
// page, zero bytes dropped), fed in the loader's chunk size.
#pragma once

#include "platform/afx/cstring.h"

#include <cstdio>

// Replaces text with everything left on stream. Answers false when it does
// not fit in the memory left (text is then empty) or the stream failed.
bool ReadStandardInputText(std::FILE* stream, CString& text);
