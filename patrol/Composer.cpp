// CComposer: the 16 editor slots, starting an editor on a work file, and
// EditorManThread, which stores what the editor wrote once it has ended.
// Slots are taken on the user-interface thread and freed on the composer's
// thread; a slot is free once its process field is 0.
#include "patrol/Composer.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "store/LockFile.h"
#include "store/Subj.h"

#include <string.h>

CComposer::CComposer(const ComposerSettings& settings, IComposerHost* host, CLockFile* lockFile,
                     IEditorLauncher* launcher)
    : m_settings(settings), m_host(host), m_lockFile(lockFile), m_launcher(launcher)
{
    for (auto& s : m_slots)
        s.process.store(0);
}

CComposer::~CComposer()
{
    StopThread();
}

void CComposer::SetSettings(const ComposerSettings& settings)
{
    std::lock_guard<std::mutex> hold(m_startMutex);
    m_settings = settings;
}

void CComposer::StartUp()
{
    StopThread();
    for (auto& s : m_slots)
        s.process.store(0);
    Composer_DeleteWorkFiles(m_settings.dataDir);
    m_stop = false;
    m_thread = std::thread(&CComposer::ThreadMain, this);
    Debug_Out("EditorManThread:Start!\n");
}

void CComposer::StopThread()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
}

void CComposer::ThreadMain()
{
    while (!m_stop) {
        Poll();
        // Sleep in small steps so that stopping does not wait a whole round.
        for (int waited = 0; waited < kPollMs && !m_stop; waited += 50)
            Clock_SleepMs(50);
    }
}

int CComposer::BusyCount() const
{
    int n = 0;
    for (auto& s : m_slots)
        if (s.process.load() != 0)
            ++n;
    return n;
}

int CComposer::Start(const ComposeRequest& r)
{
    std::lock_guard<std::mutex> hold(m_startMutex);
    ComposerSlot* slot = nullptr;
    for (auto& s : m_slots)
        if (s.process.load() == 0) {
            slot = &s;
            break;
        }
    if (!slot || !m_launcher || !r.store || !*r.store)
        return 0;   // without a store the article could never be kept

    Str_Copy(slot->store, sizeof slot->store, r.store ? r.store : "");
    slot->edit = r.edit ? 1 : 0;
    slot->no = r.no;
    slot->pno = r.pno;
    Str_Copy(slot->noText, sizeof slot->noText, r.noText ? r.noText : "");
    Str_Copy(slot->pnoText, sizeof slot->pnoText, r.pnoText ? r.pnoText : "");
    Composer_TrimTitle(r.title, slot->title, sizeof slot->title);
    Str_Copy(slot->author, sizeof slot->author, r.author ? r.author : "");
    Str_Copy(slot->tmpl, sizeof slot->tmpl, r.tmpl ? r.tmpl : "");
    slot->failed = 0;

    if (r.workFile && *r.workFile) {
        Str_Copy(slot->workFile, sizeof slot->workFile, r.workFile);
    } else if (!Composer_NewWorkFile(m_settings.dataDir, slot->workFile, sizeof slot->workFile)) {
        return 0;
    }

    WorkFileText w;
    w.reply = r.reply;
    w.edit = r.edit;
    w.title = slot->title;
    w.author = slot->author;
    w.text = r.text;
    w.quoteMark = m_settings.quoteMark;
    std::string signature;
    if (!r.edit && Composer_ReadSignature(slot->store, signature))
        w.signature = &signature;
    if (!Composer_WriteWorkFile(slot->workFile, Composer_FormatWorkFile(w)))
        Debug_Out("テンポラリファイル作成に失敗\n");

    slot->workTime = 0;
    slot->workSize = 0;
    File_LastWriteTime(slot->workFile, &slot->workTime);
    File_Size(slot->workFile, &slot->workSize);

    char cmd[1100];
    Composer_CommandLine(m_settings.editor, m_settings.editorOption, slot->workFile, cmd, sizeof cmd);
    intptr_t process = m_launcher->Start(cmd);
    if (!process) {
        Debug_Out("EditorManThread:プロセスの起動に失敗\n");
        return 0;
    }
    Debug_Out("EditorManThread:プロセスの起動\n");
    slot->process.store(process);   // publishes the slot to the composer's thread
    return 1;
}

int CComposer::Poll()
{
    std::lock_guard<std::mutex> hold(m_pollMutex);
    int freed = 0;
    for (auto& s : m_slots) {
        intptr_t process = s.process.load();
        if (process == 0 || !m_launcher->HasEnded(process))
            continue;
        // Once Finish has freed the slot, a start may refill it at once:
        // unlock the path that was locked, not what the slot holds by then.
        char store[sizeof s.store];
        Str_Copy(store, sizeof store, s.store);
        // A full lock table lets the store go on unlocked; the path is then
        // not ours to unlock (another thread may hold it by then).
        int held = m_lockFile ? m_lockFile->Lock(store) : 0;
        freed += Finish(s);
        if (held)
            m_lockFile->Unlock(store);
    }
    return freed;
}

// Reads the work file into subj. 1 when the article was added or the file
// could not be read (the article is lost, as nothing else can be done).
int CComposer::StoreInto(ComposerSlot& slot, CSubj* subj)
{
    std::string title, text;
    if (!Composer_ReadWorkFile(slot.workFile, title, text))
        return 1;
    LocalTime now;
    Clock_Local(&now);
    return Composer_AppendArticle(subj, slot, title, text, now);
}

int CComposer::Finish(ComposerSlot& slot)
{
    CSubj* open = m_host ? m_host->OpenCollection() : nullptr;
    if (open)
        open->Lock();

    uint64_t time = 0, size = 0;
    int haveTime = File_LastWriteTime(slot.workFile, &time);
    int haveSize = File_Size(slot.workFile, &size);
    bool changed = slot.edit || !haveTime || !haveSize || time != slot.workTime || size != slot.workSize;

    int done = 1;
    if (changed) {
        const char* openPath = open ? m_host->OpenStorePath() : nullptr;
        if (open && openPath && *openPath && Str_ICmp(openPath, slot.store) == 0) {
            // While a patrol rewrites the file the collection is read-only;
            // the article waits for the next round instead of being dropped.
            if (open->IsReadOnly()) {
                done = 0;
            } else if (StoreInto(slot, open)) {
                m_host->RefreshTitleView();
            }
        } else {
            CSubj own;
            // A store that exists but can't be read must not be overwritten
            // by a file holding only the new article.
            if (!own.LoadFile(slot.store) && File_Exists(slot.store)) {
                done = 0;
            } else if (StoreInto(slot, &own) && !own.Update()) {
                done = 0;
            }
        }
    }

    if (done) {
        m_launcher->Close(slot.process.load());
        slot.process.store(0);
        Debug_Out("EditorManThread:プロセスの終了を確認\n");
    } else if (!slot.failed) {
        slot.failed = 1;
        Debug_Printf("EditorManThread:保存を後で再試行します - %s\n", slot.store);
    }
    if (open)
        open->Unlock();
    return done;
}
