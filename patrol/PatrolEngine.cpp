// The patrol thread, the dispatch of boards to worker slots and the board
// worker's steps.
#include "patrol/Patrol.h"

#include "base/debug.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "patrol/Import.h"
#include "patrol/Posting.h"
#include "pluginhost/PluginRun.h"

#include <string.h>

#include <chrono>
#include <memory>

namespace {

#ifdef _WIN32
const char kSep = '\\';
#else
const char kSep = '/';
#endif

// A board's row as a status sink: every text replaces the row's status.
class CRowSink : public CPluginStatusSink {
public:
    CRowSink(CPatrolView* view, int row) : m_view(view), m_row(row) {}
    void ShowStatus(const char* text) override { m_view->SetRowText(m_row, text); }

private:
    CPatrolView* m_view;
    int m_row;
};

}  // namespace

CPatrolEngine::CPatrolEngine(const PatrolOptions& options, CPatrolView* view, CPatrolHost* host)
    : m_opt(options), m_view(view), m_host(host)
{
    m_slotCount = Patrol_ClampThreadCount(m_opt.threadCount);
}

CPatrolEngine::~CPatrolEngine()
{
    if (m_thread.joinable())
        m_thread.join();
}

int CPatrolEngine::Start(int kind, const char* folder)
{
    if (m_thread.joinable())
        return 0;
    m_kind = kind;
    {
        CCritSecHold hold(m_listLock);
        m_total = 0;
    }
    // Both flags are set here rather than in the thread, so that a cancel
    // right after the start is never lost and no caller sees a gap.
    m_cancel = 0;
    m_running = 1;
    m_thread = std::thread(&CPatrolEngine::PatrolThread, this, std::string(folder ? folder : ""));
    return 1;
}

int CPatrolEngine::WaitEnd(unsigned ms)
{
    std::unique_lock<std::mutex> lock(m_waitMutex);
    m_waitCv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_threadEnded; });
    return m_threadEnded ? 1 : 0;
}

int CPatrolEngine::Total()
{
    CCritSecHold hold(m_listLock);
    return m_total;
}

void CPatrolEngine::PatrolThread(std::string folder)
{
    m_running = 1;
    for (int i = 0; i < PATROL_SLOTS; ++i)
        m_slots[i].busy = 0;
    Debug_Out("巡回スレッドスタート\n");

    m_takenSlot = -1;
    if (!folder.empty()) {
        if (folder.back() != kSep)
            folder += kSep;
        char settings[260];
        Str_Format(settings, sizeof settings, "%s%s", folder.c_str(), "zeva_BBS.ini");
        StartBoard(folder.c_str(), settings);
    } else if (m_kind != PATROL_CURRENT) {
        Patrol_Walk(m_opt.dataFolder, m_kind, 0, this);
        m_host->SetCurrentFolder(m_opt.dataFolder);
    }
    // A patrol of the current folder without a folder visits nothing.

    // Every slot free again.
    for (int i = 0; i < m_slotCount; ++i) {
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(m_waitMutex);
                m_waitCv.wait_for(lock, std::chrono::milliseconds(PATROL_POLL_MS),
                                  [this, i] { return !m_slots[i].busy; });
            }
            if (!m_slots[i].busy)
                break;
        }
        if (m_slots[i].thread.joinable())
            m_slots[i].thread.join();
    }

    m_host->StopSound();
    m_host->PlayWave(m_opt.sound[Total() >= 1 ? 2 : 1]);
    m_host->RefreshFolderView();
    {
        CCritSecHold hold(m_listLock);
        m_view->ShowEnd();
    }
    m_view->SetTitle("ZEVA - 巡回終了");
    m_running = 0;
    m_view->Flash();
    if (m_opt.unattended || m_opt.autoDisconnect)
        m_host->HangUp();
    if (m_opt.closeRunWindow || m_opt.unattended)
        m_view->RequestClose();

    std::lock_guard<std::mutex> lock(m_waitMutex);
    m_threadEnded = true;
    m_waitCv.notify_all();
}

// Dispatch: the first free slot of those in use, waiting while all are busy.
// When the patrol is cancelled meanwhile, the board is not visited.
int CPatrolEngine::TakeSlot()
{
    int slot = -1;
    while (!m_cancel) {
        for (int i = 0; i < m_slotCount; ++i) {
            if (!m_slots[i].busy) {
                slot = i;
                break;
            }
        }
        if (slot >= 0)
            break;
        std::unique_lock<std::mutex> lock(m_waitMutex);
        m_waitCv.wait_for(lock, std::chrono::milliseconds(PATROL_POLL_MS), [this] {
            for (int i = 0; i < m_slotCount; ++i)
                if (!m_slots[i].busy)
                    return true;
            return m_cancel.load() != 0;
        });
    }
    m_takenSlot = slot;
    return slot >= 0 ? 1 : 0;
}

void CPatrolEngine::StartBoard(const char* boardFolder, const char* settingsPath)
{
    if (m_takenSlot < 0)
        TakeSlot();
    int slot = m_takenSlot;
    m_takenSlot = -1;
    if (slot < 0)
        return;
    PatrolSlot& s = m_slots[slot];
    if (s.thread.joinable())
        s.thread.join();   // the previous worker has marked itself free and is ending
    Str_Copy(s.boardFolder, sizeof s.boardFolder, boardFolder);
    Str_Copy(s.settingsPath, sizeof s.settingsPath, settingsPath);
    s.newArticles = 0;
    s.row = -1;
    s.busy = 1;
    s.thread = std::thread(&CPatrolEngine::Worker, this, slot);
}

void CPatrolEngine::WriteProxy(const char* settingsPath)
{
    char proxy[1024];
    if (m_opt.proxyIE) {
        if (!m_host->SystemProxy(proxy, sizeof proxy))
            proxy[0] = 0;
    } else {
        Patrol_ProxyText(proxy, sizeof proxy, m_opt.proxyAdr, m_opt.proxyPort);
    }
    if (!Profile_WriteString("BASIC", "PROXY", proxy[0] ? proxy : nullptr, settingsPath) && proxy[0])
        Debug_Printf("CPatrolEngine::WriteProxy - %s に書き込めません\n", settingsPath);
}

void CPatrolEngine::Worker(int slot)
{
    PatrolSlot& s = m_slots[slot];
    char name[260];
    Patrol_BoardName(name, sizeof name, s.boardFolder);
    {
        CCritSecHold hold(m_listLock);
        s.row = m_view->InsertRow(name, "巡回開始");
    }
    CRowSink row(m_view, s.row);

    char errorLog[260];
    Str_Format(errorLog, sizeof errorLog, "%s%s", s.boardFolder, "ErrorLog.txt");

    // Output that an earlier import could not save is taken in first: the
    // plug-in writes its files anew and would overwrite those articles.
    int leftover = Import_Pending(s.boardFolder) ? Patrol_Import(s.boardFolder, m_host->Notify()) : 0;

    PostingContext post;
    post.row = &row;
    post.notify = m_host->Notify();
    post.poster = m_host->Poster();
    post.openStore = m_host->OpenStore();
    post.cancel = &m_cancel;
    Patrol_PostArticles(s.boardFolder, post);

    char lib[260];
    Profile_GetString("BASIC", "LIB", "", lib, sizeof lib, s.settingsPath);
    WriteProxy(s.settingsPath);

    std::unique_ptr<CPatrolRun> run(m_host->CreateRun(s.boardFolder, errorLog));
    if (!m_cancel) {
        row.ShowStatus("巡回中...");
        if (!run || !run->LaunchAndWatch(lib, &row, &m_cancel))
            row.ShowStatus("プロセスの起動に失敗(ヘルプを読んで下さい)");
    }

    // Whatever the plug-in left is taken in, also after a failed or skipped run.
    s.newArticles = leftover + Patrol_Import(s.boardFolder, m_host->Notify());
    m_view->SetRedraw(0);
    std::string text = m_view->GetRowText(s.row);
    if (s.newArticles > 0) {
        {
            CCritSecHold hold(m_listLock);
            m_total += s.newArticles;
        }
        char count[32];
        Str_Format(count, sizeof count, "(未読:%d)", s.newArticles);
        text += count;
    }
    m_view->SetRowText(s.row, text.c_str());
    m_view->SetRedraw(1);

    if (m_cancel)
        row.ShowStatus("ユーザによるキャンセル");
    run.reset();
    SlotDone(slot);
}

void CPatrolEngine::SlotDone(int slot)
{
    std::lock_guard<std::mutex> lock(m_waitMutex);
    m_slots[slot].busy = 0;
    m_waitCv.notify_all();
}
