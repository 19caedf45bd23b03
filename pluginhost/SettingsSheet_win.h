// The folder property sheet "フォルダ プロパティ": the board's plug-in,
// patrol marks and the plug-in's detail page, written to the folder's
// "zeva_BBS.ini".
#pragma once
#include <windows.h>

// Shows the sheet for the board folder (ending with a backslash) over owner;
// returns 1 after OK.
int FolderProperties_Show(HWND owner, const char* boardFolder);
