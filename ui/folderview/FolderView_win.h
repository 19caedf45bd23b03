// The folder view (tree control id 112) beyond what the shell calls through
// ui/shell/Views.h: what the search, the title view and the commands use.
#pragma once
#include "ui/folderview/FolderScan.h"

#include <windows.h>
#include <commctrl.h>

// Rebuilds the tree from disk (after FolderView_Clear unless initial) and
// selects path, or the current path when path is nullptr.
void FolderView_Reset(int initial, const char* path);
// Folder sums and icons below the item (nullptr: the whole tree).
void FolderView_SetFolderIcon(HTREEITEM start);
// Selects the item with this path (case-blind) and opens it at once; 1 at
// once when it is the current path already, 0 when there is no such item.
int FolderView_SelectPath(const char* path);
// The search's step to the next or previous store (see StoreWalk); the
// store is selected and opened at once. 1, or 0 when the walk ran off.
int FolderView_SelectNextStore(const StoreWalk& walk);
// While a search runs (counter above 0) selections open at once.
void FolderView_Searching(int delta);
// The current item's record, or nullptr.
const FolderItem* FolderView_CurrentItem();
// The title view's drop on a folder: called at the end of a title drag with
// the highlighted item's path (a store's file, or a folder with its trailing
// backslash) and the copy flag.
void FolderView_SetTitleDropHandler(void (*handler)(const char* target, int copy));

// Opens nothing: the open store is saved and let go (before its file is
// deleted, moved or renamed).
void FolderView_OpenNothing();
const FolderItem* FolderView_ItemOf(HTREEITEM item);

// FolderCommands_win.cpp: the folder commands on a copy of the current
// item; above is the item shown above it (re-selected after a delete).
void FolderCommands_Run(int id, const FolderItem* item, HTREEITEM above);
// A folder-view drop: the dragged item copied (copy) or moved into folder.
void FolderCommands_Drop(const FolderItem* dragged, const char* folder, int copy);
// Flips the tick of a folder and writes BBSFOLDER into its zeva_BBS.ini.
void FolderView_ToggleTick(HTREEITEM item);
