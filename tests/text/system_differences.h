// Checks in which the system's conversions or formatter answer otherwise
// than ours: by our choice (docs/codepages.md: no best fit, only ANSI code
// pages), or where Wine does not do what Win32 documents. Built for Windows,
// such a check is skipped with its reason; docs/windows.md lists them all.
#pragma once

#include <gtest/gtest.h>

#ifdef _WIN32
#define SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "differs on Windows: " << (reason)
#else
#define SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
