// The folder properties sheet "フォルダ プロパティ" (pages 基本設定, 巡回設定,
// 詳細) that edits a board folder's "zeva_BBS.ini" and "sign.ini".
#pragma once
#include "pluginhost/DialogDesc.h"
#include "pluginhost/PluginHost.h"

#include <windows.h>

// The sheet as a form: what it needs, and what the user confirmed.
struct FolderSheetForm {
    // Inputs.
    HWND owner = nullptr;              // the sheet is centred on its window
    const char* boardFolder = "";      // ends with a backslash
    PluginRunOptions run = {"", "perl", "ruby", false};   // plug-in folder, interpreters, GAMultiWindow
    // Held around the dialog-mode launch, which changes the process's
    // current folder: a running patrol's launch lock, or nullptr.
    CCritSec* launchLock = nullptr;
    // Outputs, after OK.
    FolderSettingsOutput out;
};

// Shows the sheet for the form's board folder. With no plug-in installed it
// shows the no-plug-in message instead. On OK the settings are stored and
// written ("zeva_BBS.ini", and "sign.ini" when the detail page was opened)
// and 1 is returned; 0 after Cancel or failure.
int FolderSheet_Run(FolderSheetForm* form);

// The folder properties sheet for a board folder (ending with a backslash):
// returns 1 after OK (the settings were written), 0 after Cancel or failure.
int FolderProperties_Show(HWND owner, const char* boardFolder);
