#include "app/WindowMain.h"

#include <cstdio>

namespace friendlinks {

int runWindow(int &, char **, const CheckSettings &)
{
    std::fputs("friendlinks: the window is not built yet; use: friendlinks check SITE\n", stderr);
    return 1;
}

} // namespace friendlinks
