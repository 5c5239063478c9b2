#include "FontSetup.h"

// Windows has the program's faces itself: they are used as they are.
void InstallFontSubstitutions()
{
}
