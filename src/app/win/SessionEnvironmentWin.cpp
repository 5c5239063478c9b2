#include "SessionEnvironment.h"

// Windows always has the desktop to show the window on, and no session bus.
bool PrepareSessionEnvironment()
{
    return true;
}
