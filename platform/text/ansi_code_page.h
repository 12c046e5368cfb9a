// How the device's ANSI code page (code page 0) is chosen: like a regional
// setting, from the language and territory of the POSIX locale.
#pragma once

#include "platform/win32/types.h"

#include <string_view>

namespace text {

// The ANSI code page for a locale name such as "zh_CN.UTF-8",
// "sr_RS@latin" or "C". 1252 when the language has no code page of its own.
UINT AnsiCodePageForLocale(std::string_view locale);

// The OEM code page (the console's) for a locale name: 65001 when its
// character set is UTF-8, else the region's OEM page. The character set is
// the one the system gives the locale (nl_langinfo); a locale the system
// does not have is taken by its name's codeset (".UTF-8", ".utf8").
UINT OemCodePageForLocale(std::string_view locale);

// The locale name that decides, as setlocale would pick it for character
// handling: the first non-empty of LC_ALL, LC_CTYPE and LANG.
std::string_view LocaleFromEnvironment();

} // namespace text
