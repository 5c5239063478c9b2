#pragma once
// The commands of the two context menus, under their historical identifiers.

enum CommandId : int {
    ID_RESTORE = 32771,
    ID_TOPMOST = 32777,
    ID_MINIMIZE = 32778,
    ID_OPTIONS = 32779,
    ID_ABOUT = 32780,
    ID_APP_EXIT = 57665,
};
