// The main window's state, shared with the views it hosts. Everything here
// belongs to the user-interface thread, except where a member says otherwise.
#pragma once
#include "store/LockFile.h"
#include "store/Profile.h"
#include "store/Subj.h"
#include "store/SubjCache.h"
#include "ui/shell/AppOptions.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

class CComposer;
class COwnerDrawMenu;

// Private messages of the main window.
enum {
    UWM_OPEN_ITEM = WM_USER + 1,     // lParam: OpenItemRequest*
    UWM_TRAY = WM_USER + 2,          // the notification-area icon; lParam: mouse message
    UWM_SAVE_OPEN_STORE = WM_USER + 3,   // sent by patrol workers: save the open collection
    UWM_REFRESH_FOLDERS = WM_USER + 4,   // posted by the patrol thread at its end
    UWM_REFRESH_TITLES = WM_USER + 5,    // posted by the composer's thread: an article was added
    UWM_START_CONSOLE = WM_USER + 6,     // posted to itself once the window stands
    UWM_KEYS_CHANGED = WM_USER + 7,      // the key files changed: rebuild accelerators and menu key texts
};

struct OpenItemRequest {
    char path[260];
    int isStore;
    void* item;   // the folder view's FolderItem
};

enum KeyScopeIndex { KEYS_GLOBAL = 0, KEYS_FOLDER = 1, KEYS_TITLE = 2 };

struct ShellState {
    HINSTANCE instance = nullptr;
    HWND main = nullptr;
    HMENU menu = nullptr;
    HWND toolbar = nullptr, status = nullptr;
    HWND folderView = nullptr, titleView = nullptr, headerView = nullptr, textView = nullptr;

    char programDir[MAX_PATH] = "";   // each ends with a backslash
    char dataDir[MAX_PATH] = "";
    char pluginDir[MAX_PATH] = "";
    char internalName[260] = "";      // from the version block
    char fileVersion[64] = "";
    char comments[512] = "";
    int bitsPerPixel = 24;
    int unattended = 0;               // started with -G / -g

    CProfile ini;                     // zeva.ini
    AppOptions opt;

    // Layout.
    int folderW = 200, titleH = 200;
    int paneMode = 0;
    int lastPaneMode = 0;
    int lastTitleH = -1;              // the title height of the last layout (animation start)
    int folderShown = 1;              // false while SmartFolder hides it
    int splitter = 3;

    // Splitter and drag capture.
    HWND dragOwner = nullptr;         // main window, folder view or title view while dragging
    HWND dragFocus = nullptr;
    POINT dragStart = {0, 0};
    int dragFolderW = 0, dragTitleH = 0, dragZone = 0;
    int dragCopy = 0;
    HCURSOR curFolderCopy = nullptr, curDrag = nullptr, curTitleCopy = nullptr, curTitleMove = nullptr;
    HIMAGELIST dragImage = nullptr;
    POINT arrowHotSpot = {0, 0};

    HACCEL accel[3] = {nullptr, nullptr, nullptr};
    COwnerDrawMenu* ownerDraw = nullptr;
    HIMAGELIST toolbarImages = nullptr;
    int labelEditing = 0;             // a folder-view label edit is in progress
    HWND lastFocus = nullptr;         // focus remembered on deactivation

    // The open article collection: its lock guards it against the composer's
    // thread; openPath changes only under that lock.
    CSubj* subj = nullptr;
    char openPath[MAX_PATH] = "";
    int openIsStore = 0;              // openPath is a store (else a folder)
    int reload = 0;                   // reopen even when the path is the open one
    CLockFile lockFile;               // shared with the composer's thread
    CSubjCache cache;                 // loaded when the folder view is created

    CComposer* composer = nullptr;
    NOTIFYICONDATAA tray = {};
    int trayShown = 0;
};

extern ShellState g_shell;

// Shell services the views call.
// Waits until the hidden console that plug-ins inherit stands; call it
// before starting a plug-in from the window thread.
void Shell_WaitConsole();
void Shell_Layout();
void Shell_SetStatusText(int part, const char* text);
void Shell_UpdateLockStatus();
// Saves the open collection under its lock.
void Shell_SaveOpenStore();
// Re-creates the four view fonts from the options and applies them.
void Shell_ApplyFonts();
// Hands the editor settings in memory (Editor, EditorOption, QuoteMark) to
// the composer, for the next article it starts.
void Shell_ApplyComposerSettings();
// Enables a command in the menu bar and its toolbar button.
void Shell_EnableCommand(int id, int enable);
// Shows a context menu (owner-drawn unless NormalMenu) and returns nothing;
// the choice arrives as WM_COMMAND.
void Shell_TrackPopup(HMENU popup, int x, int y);
// Starts a capture drag owned by a view (folder or title view).
void Shell_BeginViewDrag(HWND owner);
