// The shell's side of key tables and menus: the three accelerator tables,
// the owner-drawn menu bar with its icons and key texts, the toolbar's image
// strip and tool tips, and greying the commands of views not built yet.
#pragma once
#include "ui/shell/Shell.h"

// Loads the three key tables (key files of the data folder, else the
// defaults) into g_shell.accel.
void ShellMenus_BuildKeyTables();
// The key files changed (the keyboard page saved them): the accelerators and
// the menu bar's key texts are made again from what the files hold, so new
// keys act at once.
void ShellMenus_ReloadKeys();
// The message loop's translation: folder table while the folder view has the
// focus, title table while the title view has it, then the global table;
// nothing while a folder label is edited. 1 when the message was translated.
int ShellMenus_Translate(MSG* msg);

// An image list of the strip's cells (cell x cell, left to right), the bitmap
// taken over and freed. The transparent colour is the strip's top-left pixel
// when fromTopLeft, else transparent. nullptr for no bitmap or a strip not
// at least one cell (or absurdly large).
HIMAGELIST Shell_ImageStrip(HBITMAP bmp, int cell, COLORREF transparent, bool fromTopLeft);

// The 16x16 image strip: "Toolbar.bmp" of the data folder (toolbar only,
// forToolbar) if it loads, else resource 155, or 156 under 16 bits per
// pixel; the top-left pixel's colour is transparent.
HIMAGELIST ShellMenus_LoadStrip(int forToolbar);

// Start-up: key texts into the menu bar's items, then (unless NormalMenu)
// owner drawing with the menu icons. ShellMenus_Done undoes it at exit.
void ShellMenus_Init();
void ShellMenus_Done();
void ShellMenus_OnDrawItem(DRAWITEMSTRUCT* dis);
void ShellMenus_OnMeasureItem(MEASUREITEMSTRUCT* mis);
int ShellMenus_OnMenuChar(WPARAM wp, LPARAM lp, LRESULT* result);
// A toolbar button's tool tip: its menu text up to the first "(", empty with
// plain menus or without a menu item.
void ShellMenus_TooltipText(int id, char* out, size_t size);

// Greys the commands of views that are not built yet, in a menu (and their
// toolbar buttons).
void ShellMenus_GreyUnbuilt(HMENU menu);
