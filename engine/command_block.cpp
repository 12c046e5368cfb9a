// Its own translation unit, so that the block has a static initialiser of its
// own. It lives until the program ends and is never freed.
#include "engine/command_block.h"

BYTE* g_pCommandBlock = new BYTE[kCommandBlockSize]();
