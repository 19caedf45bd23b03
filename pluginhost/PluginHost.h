// The Win32 half of the plug-in host: reading a plug-in's information,
// starting it in its board folder, following its output, and the hidden
// console that plug-ins share.
#pragma once
#include "base/lock.h"
#include "pluginhost/PluginInfo.h"
#include "pluginhost/PluginRun.h"

#include <atomic>
#include <string>
#include <windows.h>

// Fills target, author, version, comments and internal name: from the
// version block for executables, from the script header otherwise. Returns 0
// only when memory runs out.
int Plugin_ReadInfo(PluginInfo* info);
// Resolve, then read the information.
int Plugin_Lookup(PluginInfo* info, const char* name, const char* pluginFolder);
// The version box's list: one "%-26s%-10s%s\r\n" line per installed plug-in.
void Plugin_VersionBoxText(const char* pluginFolder, std::string& out);

// Settings the runner reads (section OPTION of zeva.ini).
struct PluginRunOptions {
    const char* pluginFolder;   // ends with a backslash
    const char* perl;           // "perl" by default
    const char* ruby;           // "ruby" by default
    bool multiWindow;           // GAMultiWindow
};

struct PluginLaunchRequest {
    const char* boardFolder;   // normally ends with a backslash
    const char* typeName;      // nullptr: LIB of the board's zeva_BBS.ini
    const char* argument;      // nullptr: none
    bool visible;              // false: started detached from any console
    HANDLE stdOut;             // pipe write ends, or nullptr
    HANDLE stdErr;
    DWORD* processId;          // optional
    // When set, the process is created suspended and its primary thread is
    // handed here (the caller resumes and closes it).
    HANDLE* suspendedThread = nullptr;
};

DWORD Plugin_CreationFlags(bool visible, bool multiWindow, PluginKind kind);

// The process's one launch lock: a launch makes the board folder the
// process's current folder, so every launch from any thread (patrol workers,
// the window thread's settings sheet and saved-page import) holds this lock
// around it. It is held only for the launch itself, never while waiting for
// a window.
CCritSec& Plugin_ProcessLaunchLock();

// Makes the board folder current and starts the plug-in, all under
// launchLock (nullptr when the caller never launches from two threads).
// Returns the process handle, which the caller closes, or nullptr.
HANDLE Plugin_Launch(const PluginLaunchRequest& req, const PluginRunOptions& opt, CCritSec* launchLock);

// An anonymous pipe whose write end a child may inherit; the read end stays
// with the host. Returns 1 or 0.
int Plugin_CreatePipe(HANDLE* readEnd, HANDLE* writeEnd);

// Follows a launched plug-in until it has ended: stdout lines to sink,
// stderr appended to errorLog (may be INVALID_HANDLE_VALUE or nullptr), a
// single Ctrl+Break to its process group once cancel is set, unless
// multiWindow.
void Plugin_Watch(HANDLE process, DWORD processId, HANDLE outRead, HANDLE errRead, HANDLE errorLog,
                  CPluginStatusSink* sink, const std::atomic<int>* cancel, bool multiWindow);

// The console that plug-ins inherit: created, titled "zeva_console_window"
// and hidden. Returns 1 when the process has such a console afterwards.
int HostConsole_Create();
void HostConsole_Hide();
void HostConsole_Free();
