// The patrol on Windows: the progress window (dialog 145 "ZEVA - 巡回"), the
// platform services of the engine (plug-in runs with pipes and error log,
// the system proxy, sounds, dial-up) and the store-change notices sent to
// the main window.
#pragma once
#include "patrol/Patrol.h"
#include "patrol/StoreNotify.h"

#include <windows.h>

class CProfile;
class CHttpPoster;
class COpenStoreSaver;

enum {
    CMD_PATROL_WINDOW_CLOSING = 32960,   // the progress window is closing
};

struct PatrolStartParams {
    HINSTANCE instance = nullptr;   // the module holding dialog 145; nullptr: the program
    HWND mainWindow = nullptr;      // receives 32957, 32958 and 32960
    CProfile* settings = nullptr;   // zeva.ini: section GOAROUND is read and written here
    PatrolOptions options;          // see Patrol_ReadOptions
    CHttpPoster* poster = nullptr;  // posts the due articles; nullptr: WinINet with the proxy options
    // Saves the store the main window shows; called on worker threads, so
    // the main window hands it to its own thread (sent, like 32957).
    COpenStoreSaver* openStore = nullptr;
    // At the end of a patrol, on the patrol thread: must not wait for the
    // window thread (the main window posts itself a message).
    void (*refreshFolderView)(void* context) = nullptr;
    void* context = nullptr;
    int (*dial)() = nullptr;        // nullptr: Dialup_Dial

    PatrolStartParams() { Patrol_DefaultOptions(&options); }
};

// Starts a patrol of the kind (folder: kind 1's board folder, else nullptr):
// dials when started unattended (result not looked at) and when AutoConnect
// is on (no patrol when that fails), saves the main window's store, and
// opens the progress window, which runs the patrol. Returns 1 when the
// window was opened; 0 when one is open already or dialling failed.
int Patrol_Start(const PatrolStartParams& params, int kind, const char* folder);

// The progress window, or nullptr (at most one exists). The main loop hands
// it its messages with IsDialogMessage.
HWND Patrol_Window();
// The running flag: from the start of the patrol thread to its end.
int Patrol_IsRunning();
// New articles so far (0 without a window).
int Patrol_Total();

// Store-change notices as commands to the main window: 32957 before a
// rewrite, 32958 after it (high word of wParam 1 when articles were added or
// changed), the path in lParam. Sent, so the path stays valid throughout.
class CStoreNotifyWindow : public CStoreNotify {
public:
    explicit CStoreNotifyWindow(HWND mainWindow) : m_wnd(mainWindow) {}
    void AboutToChange(const char* storePath) override;
    void Changed(const char* storePath, int articlesChanged) override;

private:
    HWND m_wnd;
};

// The engine's services on Windows.
class CPatrolHostWin : public CPatrolHost {
public:
    explicit CPatrolHostWin(const PatrolStartParams& params);
    // The engine's launch lock, held around every plug-in launch.
    void SetLaunchLock(CCritSec* lock) { m_launchLock = lock; }
    CPatrolRun* CreateRun(const char* boardFolder, const char* errorLogPath) override;
    int SystemProxy(char* out, size_t size) override;
    void StopSound() override;
    void PlayWave(const char* path) override;
    void RefreshFolderView() override;
    void HangUp() override;
    void SetCurrentFolder(const char* folder) override;
    CStoreNotify* Notify() override { return m_params.mainWindow ? &m_notify : nullptr; }
    CHttpPoster* Poster() override { return m_params.poster; }
    COpenStoreSaver* OpenStore() override { return m_params.openStore; }

private:
    PatrolStartParams m_params;
    CCritSec* m_launchLock = nullptr;
    CStoreNotifyWindow m_notify;
};
