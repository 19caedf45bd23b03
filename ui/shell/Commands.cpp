#include "ui/shell/Commands.h"

#include "res/resource.h"

const CommandInfo g_commands[] = {
    {ID_APP_ABOUT, ROUTE_SHELL},
    {ID_APP_EXIT, ROUTE_SHELL},
    {113, ROUTE_TEXT},   // notifications of the text view control
    {ID_NEXT_ARTICLE, ROUTE_TITLE},
    {ID_PREV_ARTICLE, ROUTE_TITLE},
    {ID_READ_ON, ROUTE_TITLE},
    {ID_SHOW_WITH_PARENT, ROUTE_TITLE},
    {ID_COPY, ROUTE_BY_FOCUS},
    {ID_OPTIONS, ROUTE_OPTIONS},
    {ID_NEW_FOLDER, ROUTE_FOLDER},
    {ID_DELETE_FILE, ROUTE_FOLDER},
    {ID_PATROL_CURRENT, ROUTE_SHELL},
    {ID_PATROL_ALL, ROUTE_SHELL},
    {ID_SEARCH, ROUTE_SEARCH},
    {ID_FOLDER_PROPERTIES, ROUTE_FOLDER},
    {ID_SAVE_AS, ROUTE_NONE},
    {ID_REFRESH, ROUTE_SHELL},
    {ID_EXPLORER, ROUTE_SHELL},
    {ID_NEXT_WINDOW, ROUTE_SHELL},
    {ID_PREV_WINDOW, ROUTE_SHELL},
    {ID_RENAME, ROUTE_FOLDER},
    {ID_SELECT_ALL, ROUTE_BY_FOCUS},
    {ID_NEW_ARTICLE, ROUTE_TITLE},
    {ID_REPLY, ROUTE_TITLE},
    {ID_EDIT, ROUTE_TITLE},
    {ID_SEND_NEXT, ROUTE_TITLE},
    {ID_MARK_UNREAD, ROUTE_TITLE},
    {ID_MARK_READ, ROUTE_TITLE},
    {ID_HOLD, ROUTE_TITLE},
    {ID_DELETE_ARTICLE, ROUTE_TITLE},
    {ID_HELP_CONTENTS, ROUTE_SHELL},
    {ID_IMPORT, ROUTE_FOLDER},
    {ID_UNREAD_DOWN, ROUTE_SEARCH},
    {ID_UNREAD_UP, ROUTE_SEARCH},
    {ID_VIEW_STATUSBAR, ROUTE_SHELL},
    {ID_VIEW_TOOLBAR, ROUTE_SHELL},
    {ID_READ_ON_UNREAD, ROUTE_SEARCH},
    {ID_ARTICLE_PROPERTIES, ROUTE_TITLE},
    {ID_SORT_TREE, ROUTE_TITLE},
    {ID_SORT_NUMBER, ROUTE_TITLE},
    {ID_SORT_TITLE, ROUTE_TITLE},
    {ID_SORT_AUTHOR, ROUTE_TITLE},
    {ID_SORT_DATE, ROUTE_TITLE},
    {ID_VIEW_LOGFILES, ROUTE_SHELL},
    {ID_INTERNET_OPTIONS, ROUTE_SHELL},
    {ID_PATROL_SEND, ROUTE_SHELL},
    {ID_OPEN_URL, ROUTE_FOLDER},
    {ID_HANGUP, ROUTE_SHELL},
    {ID_HELP_HOMEPAGE, ROUTE_SHELL},
    {ID_HELP_MAIL, ROUTE_SHELL},
    {ID_COPY_HOMEPAGE, ROUTE_TITLE},
    {ID_MAIL_AUTHOR, ROUTE_TITLE},
    {ID_COPY_EMAIL, ROUTE_TITLE},
    {ID_OPEN_HOMEPAGE, ROUTE_TITLE},
    {ID_PATROL_TEMPORARY, ROUTE_SHELL},
    {ID_VIEW_FOLDERVIEW, ROUTE_SHELL},
    {ID_PROPERTIES, ROUTE_SHELL},
    {ID_CTRL_INSERT, ROUTE_NONE},
    {ID_BACK, ROUTE_TITLE},
    {ID_SEARCH_READ_ON, ROUTE_SEARCH},
    {ID_SEARCH_UP, ROUTE_SEARCH},
    {ID_SEARCH_DOWN, ROUTE_SEARCH},
    {ID_DELETE_KEY, ROUTE_SHELL},
    {ID_MAX_TITLEVIEW, ROUTE_SHELL},
    {ID_MAX_TEXTVIEW, ROUTE_SHELL},
    {ID_SCROLL_BACK, ROUTE_TITLE},
    {ID_LINE_DOWN, ROUTE_TEXT},
    {ID_LINE_UP, ROUTE_TEXT},
    {ID_FOLDER_CHECK, ROUTE_FOLDER},
    {ID_PATROL_MARK, ROUTE_TITLE},
    {ID_PATROL_UNMARK, ROUTE_TITLE},
    {ID_VIEWFLAG_TITLE, ROUTE_TITLE},
    {ID_OPEN_PLUGIN_FOLDER, ROUTE_SHELL},
    {ID_OPEN_FOLDER, ROUTE_FOLDER},
    {ID_GO_PARENT, ROUTE_TITLE},
    {ID_FORWARD, ROUTE_TITLE},
    {32940, ROUTE_TITLE}, {32941, ROUTE_TITLE}, {32942, ROUTE_TITLE}, {32943, ROUTE_TITLE},
    {32944, ROUTE_TITLE}, {32945, ROUTE_TITLE}, {32946, ROUTE_TITLE}, {32949, ROUTE_TITLE},
    {32950, ROUTE_TITLE}, {32951, ROUTE_TITLE}, {32952, ROUTE_TITLE}, {32953, ROUTE_TITLE},
    {32954, ROUTE_TITLE}, {32955, ROUTE_TITLE}, {32956, ROUTE_TITLE},
    {ID_PATROL_STORE_LOCK, ROUTE_SHELL},
    {ID_PATROL_STORE_UNLOCK, ROUTE_SHELL},
    {ID_PATROL_END, ROUTE_SHELL},
    {ID_HTML_VIEW, ROUTE_HTML},
    {ID_WINDOW_MINIMIZE, ROUTE_SHELL},
    {ID_WINDOW_MAXIMIZE, ROUTE_SHELL},
    {ID_WINDOW_RESTORE, ROUTE_SHELL},
    {ID_VIEWFLAG_NUMBER, ROUTE_TITLE},
    {ID_VIEWFLAG_PARENT, ROUTE_TITLE},
    {ID_VIEWFLAG_PREVIEW, ROUTE_TITLE},
    {ID_VIEWFLAG_STATE, ROUTE_TITLE},
    {ID_VIEWFLAG_ICON, ROUTE_TITLE},
    {ID_OPEN_SENT_LOG, ROUTE_FOLDER},
    {ID_OPEN_ERROR_LOG, ROUTE_FOLDER},
};
const size_t g_commandCount = sizeof g_commands / sizeof g_commands[0];

int Command_Route(int id)
{
    // The table is in id order.
    size_t lo = 0, hi = g_commandCount;
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (g_commands[mid].id < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < g_commandCount && g_commands[lo].id == id ? g_commands[lo].route : -1;
}

const ToolbarButton g_toolbar[] = {
    {38, ID_VIEW_FOLDERVIEW}, {7, ID_PATROL_ALL}, {6, ID_PATROL_TEMPORARY}, {32, ID_PATROL_SEND},
    {8, ID_PATROL_CURRENT}, {35, ID_HANGUP}, {-1, 0},
    {5, ID_NEW_FOLDER}, {13, ID_FOLDER_PROPERTIES}, {-1, 0},
    {16, ID_NEW_ARTICLE}, {17, ID_REPLY}, {18, ID_EDIT}, {12, ID_DELETE_ARTICLE}, {2, ID_COPY}, {-1, 0},
    {19, ID_OPTIONS}, {-1, 0},
    {42, ID_BACK}, {43, ID_FORWARD}, {11, ID_READ_ON}, {10, ID_PREV_ARTICLE}, {9, ID_NEXT_ARTICLE},
    {29, ID_READ_ON_UNREAD}, {28, ID_UNREAD_UP}, {27, ID_UNREAD_DOWN}, {4, ID_SEARCH},
};
const size_t g_toolbarCount = sizeof g_toolbar / sizeof g_toolbar[0];

const MenuIcon g_menuIcons[] = {
    {32779, 7},  {32778, 8},  {32862, 32}, {32877, 6},  {32775, 5},  {32782, 13}, {32814, 16},
    {32815, 17}, {32816, 18}, {32832, 12}, {32780, 4},  {32771, 2},  {32773, 19}, {117, 11},
    {116, 10},   {115, 9},    {32875, 37}, {32873, 36}, {32852, 29}, {32848, 28}, {32847, 27},
    {32802, 20}, {32820, 23}, {32821, 22}, {32831, 24}, {32818, 25}, {32834, 21}, {104, 26},
    {32861, 31}, {32863, 33}, {32865, 35}, {32896, 40}, {32936, 41},
};
const size_t g_menuIconCount = sizeof g_menuIcons / sizeof g_menuIcons[0];

uint32_t Command_LabelColor(int id, int* ok)
{
    static const struct {
        uint16_t id;
        uint32_t color;
    } labels[] = {
        {32940, 0xFFFFFFFFu}, {32941, 0xFF0000}, {32942, 0x0000FF}, {32943, 0x00FF00}, {32944, 0xFF00FF},
        {32945, 0xFFFF00},    {32946, 0x00FFFF}, {32949, 0x800000}, {32950, 0x000080}, {32951, 0x800080},
        {32952, 0x808000},    {32953, 0x008000}, {32954, 0x008080}, {32955, 0xC0C0C0}, {32956, 0x808080},
    };
    for (const auto& l : labels) {
        if (l.id == id) {
            *ok = 1;
            return l.color;
        }
    }
    *ok = 0;
    return 0;
}

int Command_ViewFlagBit(int id)
{
    switch (id) {
    case ID_VIEWFLAG_TITLE: return 8;
    case ID_VIEWFLAG_NUMBER: return 2;
    case ID_VIEWFLAG_PARENT: return 4;
    case ID_VIEWFLAG_PREVIEW: return 16;
    case ID_VIEWFLAG_STATE: return 64;
    case ID_VIEWFLAG_ICON: return 32;
    }
    return 0;
}

int Command_PatrolKind(int id)
{
    switch (id) {
    case ID_PATROL_ALL: return 0;
    case ID_PATROL_CURRENT: return 1;
    case ID_PATROL_SEND: return 2;
    case ID_PATROL_TEMPORARY: return 3;
    }
    return -1;
}
