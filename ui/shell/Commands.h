// The program's commands as data: which module answers each command id, the
// toolbar's buttons, the menu-icon pairs and the colour labels. One id space
// serves menus, toolbar, key files and the patrol's commands (res/resource.h).
#pragma once
#include <stddef.h>
#include <stdint.h>

// Who answers a command.
enum CommandRoute {
    ROUTE_SHELL,        // the main window itself
    ROUTE_FOLDER,       // the folder view
    ROUTE_TITLE,        // the title view and its commands
    ROUTE_TEXT,         // the text view
    ROUTE_SEARCH,       // the search
    ROUTE_OPTIONS,      // the option sheet
    ROUTE_HTML,         // the HTML view
    ROUTE_BY_FOCUS,     // the text or title view, whichever has the focus
    ROUTE_NONE,         // known, does nothing
};

struct CommandInfo {
    uint16_t id;
    uint8_t route;
};

// Every command the main window knows, in id order. Ids not listed go to the
// default window procedure.
extern const CommandInfo g_commands[];
extern const size_t g_commandCount;
// The route of an id, or -1 when the id is not a command.
int Command_Route(int id);

// Toolbar: 27 buttons; a separator has id 0 and image -1.
struct ToolbarButton {
    int16_t image;
    uint16_t id;
};
extern const ToolbarButton g_toolbar[];
extern const size_t g_toolbarCount;

// Images of the owner-drawn menu's items (command id, index in the strip).
struct MenuIcon {
    uint16_t id;
    uint8_t image;
};
extern const MenuIcon g_menuIcons[];
extern const size_t g_menuIconCount;

// The display bit of VIEWFLAG a display switch toggles, 0 for other ids.
int Command_ViewFlagBit(int id);

// The patrol kind of a patrol command, -1 for other ids.
int Command_PatrolKind(int id);
