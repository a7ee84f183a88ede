// module_song.h: the show's music as a whole module: its instruments, its patterns
// and the order it plays them in.
#pragma once

#include "tools/module/xm_writer.h"

// Six channels, eight patterns of four bars, seven instruments; about a
// minute in A minor, looping back to its first full theme.
xm_module compose_song();
