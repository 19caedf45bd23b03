// The patrol: which boards a patrol visits (the walk of the data folder with
// the BBSFOLDER marks), the table of worker slots, and the engine that hands
// boards to workers and runs each board's steps: posting, the proxy setting,
// the plug-in run, the import and the row texts.
//
// Portable: the progress window, the plug-in runner, sounds and dial-up come
// in through CPatrolView and CPatrolHost (Win32 implementations beside this
// file); tests use their own.
#pragma once
#include "base/lock.h"

#include <stddef.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class CProfile;
class CStoreNotify;
class CHttpPoster;
class COpenStoreSaver;
class CPluginStatusSink;

enum PatrolKind {
    PATROL_ALL = 0,         // marked boards and the temporary ones (also -G)
    PATROL_CURRENT = 1,     // the given folder only, whatever its marks
    PATROL_SEND = 2,        // marked boards with articles to send
    PATROL_TEMPORARY = 3,   // boards marked for a temporary patrol only
};

// Bits of BBSFOLDER in section BASIC of "zeva_BBS.ini".
enum {
    BBSFOLDER_NORMAL = 0x01,      // 通常巡回対象とする
    BBSFOLDER_TEMPORARY = 0x02,   // 一時巡回: visit once, at the next patrol
};

enum {
    PATROL_SLOTS = 5,
    PATROL_POLL_MS = 100,
    PATROL_DEFAULT_COLUMN0 = 150,
};

// ThreadCount held within 1 ... 5.
int Patrol_ClampThreadCount(int n);

// What the patrol reads of the program settings (section OPTION of zeva.ini),
// and where it works.
struct PatrolOptions {
    int threadCount;      // ThreadCount, 2
    int autoConnect;      // AutoConnect, 1
    int autoDisconnect;   // AutoDisconnect, 0
    int closeRunWindow;   // CloseRunWindow, 0
    int multiWindow;      // GAMultiWindow, 0
    int proxyIE;          // ProxyIE, 1
    char proxyAdr[99];    // ProxyAdr, ""
    int proxyPort;        // ProxyPort, 0
    char sound[3][260];   // Sound000 start, Sound001 end (nothing new), Sound002 end (new)
    char perl[260];       // Perl, "perl"
    char ruby[260];       // Ruby, "ruby"
    char dataFolder[260];     // the tree's root, ending with a separator
    char pluginFolder[260];   // ending with a separator
    int unattended;       // started with -G
};

void Patrol_DefaultOptions(PatrolOptions* o);
// Reads the keys above from section OPTION; folders and unattended stay.
void Patrol_ReadOptions(CProfile& ini, PatrolOptions* o);

// Window placement from section GOAROUND: saved values, or the bottom-right
// corner of the screen at the window's own size; then kept on the screen.
struct PatrolPlacement {
    int left, top, width, height;
};
void Patrol_KeepOnScreen(PatrolPlacement* p, int screenWidth, int screenHeight);
void Patrol_ReadPlacement(CProfile& ini, int ownWidth, int ownHeight, int screenWidth, int screenHeight,
                          PatrolPlacement* p, int* column0);

// The text a proxy setting gives the plug-in: "%s:%d" of ProxyAdr and
// ProxyPort, or empty (the key is removed) when ProxyAdr is empty.
void Patrol_ProxyText(char* out, size_t size, const char* proxyAdr, int proxyPort);

// The board's name in its row: the last component of its folder.
void Patrol_BoardName(char* out, size_t size, const char* boardFolder);

// ---------------------------------------------------------------------------
// The walk of the folder tree.

class CPatrolWalkSink {
public:
    virtual ~CPatrolWalkSink() {}
    // Waits until a worker slot is free and keeps it for the next StartBoard;
    // 0 when the patrol was cancelled meanwhile (the walk then stops).
    virtual int TakeSlot() { return 1; }
    // Starts the board's worker (in the slot taken, or the first free one).
    virtual void StartBoard(const char* boardFolder, const char* settingsPath) = 0;
};

// Walks folder (ending with a separator) and its subfolders, starting a
// worker for every board the kind selects; bit 1 of a board's BBSFOLDER is
// cleared once it has a slot, right before its worker starts, so that a
// cancelled patrol leaves the marks of the boards it never visits. force is
// set for the subtree of a plain folder marked for a temporary patrol. A
// cancel (TakeSlot 0) ends the walk. Returns the number of boards started.
int Patrol_Walk(const char* folder, int kind, int force, CPatrolWalkSink* sink);

// ---------------------------------------------------------------------------
// The engine.

// The progress list as the engine sees it. Called from the patrol thread
// and the workers.
class CPatrolView {
public:
    virtual ~CPatrolView() {}
    // Appends a row; returns its index.
    virtual int InsertRow(const char* name, const char* status) = 0;
    virtual void SetRowText(int row, const char* text) = 0;
    virtual std::string GetRowText(int row) = 0;
    virtual void SetRedraw(int on) {}
    // The end: a last row "終了しました", the cancel button becoming "閉じる".
    virtual void ShowEnd() = 0;
    virtual void SetTitle(const char* text) = 0;
    virtual void Flash() {}
    // Closes the window as its cancel button would (CloseRunWindow, -G).
    virtual void RequestClose() {}
};

// One plug-in run of a board: its pipes and its fresh error log exist from
// creation to destruction.
class CPatrolRun {
public:
    virtual ~CPatrolRun() {}
    // Launches the plug-in (under the launch lock) and follows it until it
    // ends. Returns 0 when it could not be started.
    virtual int LaunchAndWatch(const char* typeName, CPluginStatusSink* row, const std::atomic<int>* cancel) = 0;
};

// Services of the platform.
class CPatrolHost {
public:
    virtual ~CPatrolHost() {}
    // Creates the pipes and the error log anew (empty).
    virtual CPatrolRun* CreateRun(const char* boardFolder, const char* errorLogPath) = 0;
    // The browser's proxy list when the system names a proxy; 0 otherwise.
    virtual int SystemProxy(char* out, size_t size) { return 0; }
    virtual void StopSound() {}
    virtual void PlayWave(const char* path) {}
    virtual void RefreshFolderView() {}
    virtual void HangUp() {}
    // Makes the folder the process's current folder again after the walk.
    virtual void SetCurrentFolder(const char* folder) {}
    virtual CStoreNotify* Notify() { return nullptr; }
    virtual CHttpPoster* Poster() { return nullptr; }
    virtual COpenStoreSaver* OpenStore() { return nullptr; }
};

struct PatrolSlot {
    std::thread thread;
    std::atomic<int> busy{0};
    int row = -1;
    char boardFolder[260] = "";
    char settingsPath[260] = "";
    int newArticles = 0;
};

class CPatrolEngine : private CPatrolWalkSink {
public:
    CPatrolEngine(const PatrolOptions& options, CPatrolView* view, CPatrolHost* host);
    ~CPatrolEngine();   // waits for the patrol thread
    CPatrolEngine(const CPatrolEngine&) = delete;
    CPatrolEngine& operator=(const CPatrolEngine&) = delete;

    // Starts the patrol thread. folder (kind 1) or nullptr for a walk of the
    // data folder. Returns 0 when a patrol thread was started before.
    int Start(int kind, const char* folder);
    void Cancel() { m_cancel = 1; }
    int IsCancelled() const { return m_cancel.load(); }
    // The running flag: set from the start of the patrol thread to its end.
    int IsRunning() const { return m_running.load(); }
    // Waits at most ms for the patrol thread to end; 1 when it has ended.
    int WaitEnd(unsigned ms);
    int Total();
    int SlotCount() const { return m_slotCount; }
    CCritSec& ListLock() { return m_listLock; }
    CCritSec& LaunchLock() { return m_launchLock; }
    const std::atomic<int>* CancelFlag() const { return &m_cancel; }
    const PatrolOptions& Options() const { return m_opt; }

private:
    void PatrolThread(std::string folder);
    int TakeSlot() override;
    void StartBoard(const char* boardFolder, const char* settingsPath) override;
    void Worker(int slot);
    void WriteProxy(const char* settingsPath);
    void SlotDone(int slot);

    PatrolOptions m_opt;
    CPatrolView* m_view;
    CPatrolHost* m_host;
    int m_kind = PATROL_ALL;
    int m_slotCount;
    PatrolSlot m_slots[PATROL_SLOTS];
    int m_takenSlot = -1;   // kept by TakeSlot for the next StartBoard (patrol thread only)
    std::atomic<int> m_cancel{0};
    std::atomic<int> m_running{0};
    int m_total = 0;
    CCritSec m_listLock;
    CCritSec m_launchLock;
    std::thread m_thread;
    std::mutex m_waitMutex;
    std::condition_variable m_waitCv;   // a worker or the patrol thread ended
    bool m_threadEnded = false;
};
