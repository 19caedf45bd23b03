// Parts of the main window that are not built yet: the search. Its commands
// do nothing and are greyed in menus and toolbar.
#include "ui/shell/Views.h"

int Search_IsBuilt() { return 0; }
void Search_Command(int) {}
