#include "pruefen.h"

#include <cstdio>
#include <cstdlib>

void pruefe(bool gilt, const char *invariante)
{
    if (gilt)
        return;
    std::fprintf(stderr, "Invariante verletzt: %s\n", invariante);
    std::abort();
}
