// ncursesw with its wide-character interface, for this folder only.
#pragma once

#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
// curses.h names its opaque screen type "struct screen", which would clash
// with our namespace screen; the tag is renamed on the way in. Only the tag
// changes: every ncurses function takes the type by pointer, with C linkage.
#define screen ncurses_screen_tag
#include <curses.h>
#undef screen
