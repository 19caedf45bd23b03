// Parts of the main window that are not built yet: the option sheet. Its
// commands do nothing and are greyed in menus and toolbar.
#include "ui/shell/Views.h"

int Options_IsBuilt() { return 0; }
void Options_Show() {}
