// The composer's slots and storing, with the editor played by the test: the
// launcher records the command line, the test edits the work file and then
// lets the "process" end.
#include "patrol/Composer.h"

#include "base/clock.h"
#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "store/LockFile.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;

namespace {

class ScriptedLauncher : public IEditorLauncher {
public:
    intptr_t Start(const char* commandLine) override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (failNext) {
            failNext = false;
            return 0;
        }
        commands.push_back(commandLine);
        intptr_t id = ++m_next;
        m_ended[id] = false;
        return id;
    }
    int HasEnded(intptr_t process) override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        return m_ended[process];
    }
    void Close(intptr_t process) override
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_ended.erase(process);
        ++closed;
    }
    void End(intptr_t process)
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_ended[process] = true;
    }

    std::vector<std::string> commands;
    bool failNext = false;
    int closed = 0;

private:
    std::mutex m_mutex;
    intptr_t m_next = 100;
    std::map<intptr_t, bool> m_ended;
};

class TestHost : public IComposerHost {
public:
    CSubj* OpenCollection() override { return &subj; }
    const char* OpenStorePath() override { return open.c_str(); }
    void RefreshTitleView() override { ++refreshes; }

    CSubj subj;
    std::string open;
    std::atomic<int> refreshes{0};
};

class Composer : public ::testing::Test {
protected:
    Composer()
    {
#ifdef _WIN32
        const char* sep = "\\";
#else
        const char* sep = "/";
#endif
        data = dir.Path() + sep + "data" + sep;
        board = data + "board" + sep;
        std::filesystem::create_directories(board);
        ComposerSettings_Init(&settings, data.c_str());
        Str_Copy(settings.editor, sizeof settings.editor, "ed.exe");
        composer.reset(new CComposer(settings, &host, &locks, &launcher));
    }

    // The slot an editor runs in, by its process value.
    ComposerSlot* SlotOf(intptr_t process)
    {
        for (int i = 0; i < CComposer::kSlots; ++i)
            if (composer->Slot(i).process.load() == process)
                return const_cast<ComposerSlot*>(&composer->Slot(i));
        return nullptr;
    }
    intptr_t LastProcess()
    {
        intptr_t best = 0;
        for (int i = 0; i < CComposer::kSlots; ++i)
            best = std::max(best, composer->Slot(i).process.load());
        return best;
    }
    // The user edits and saves the work file (a new file: its time changes).
    void EditWorkFile(intptr_t p, const std::string& bytes)
    {
        ComposerSlot* s = SlotOf(p);
        ASSERT_NE(s, nullptr);
        ASSERT_TRUE(WriteBytes(s->workFile, bytes));
    }

    TempDir dir;
    std::string data, board;
    ComposerSettings settings;
    TestHost host;
    CLockFile locks;
    ScriptedLauncher launcher;
    std::unique_ptr<CComposer> composer;
};

TEST_F(Composer, NewArticleStoredOnlyWhenChanged)
{
    std::string store = board + "main.zvt";
    ASSERT_TRUE(WriteBytes(board + "Sign.ini", "署名です"));
    ComposeRequest r;
    r.store = store.c_str();
    r.tmpl = "POST,$C,m=$M";

    Debug_BeginCapture();
    ASSERT_EQ(composer->Start(r), 1);
    EXPECT_EQ(Debug_Take(), "EditorManThread:プロセスの起動\n");
    intptr_t p = LastProcess();
    std::string work = SlotOf(p)->workFile;
    EXPECT_EQ(work, data + "作業ファイル000.txt");
    EXPECT_EQ(ReadBytes(work), "\r\n署名です\r\n");
    EXPECT_EQ(launcher.commands.back(), "\"ed.exe\" \"" + work + "\"");

    // Closed without saving: nothing is stored, the slot is free again.
    EXPECT_EQ(composer->Poll(), 0);
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 1);
    EXPECT_EQ(Debug_Take(), "EditorManThread:プロセスの終了を確認\n");
    EXPECT_FALSE(File_Exists(store.c_str()));
    EXPECT_EQ(composer->BusyCount(), 0);
    EXPECT_EQ(launcher.closed, 1);

    // Written and saved: stored as unsent, with the template, in the store's file.
    ASSERT_EQ(composer->Start(r), 1);
    p = LastProcess();
    EXPECT_EQ(std::string(SlotOf(p)->workFile), data + "作業ファイル001.txt");   // 000 is left as it was
    EXPECT_EQ(locks.IsLocked(store.c_str()), 0);
    EditWorkFile(p, "新しい話題  \r\n一行目\r\n\r\n署名です\r\n\r\n");
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 1);
    Debug_EndCapture();

    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    ASSERT_EQ(check.GetCount(), 1);
    EXPECT_EQ(check.GetItem(0).atr, ATR_U);
    EXPECT_STREQ(check.GetTitle(0), "新しい話題  ");
    EXPECT_STREQ(check.GetMsg(0), "一行目\n\n署名です\n");
    EXPECT_STREQ(check.NoStr(0), "*");
    EXPECT_STREQ(check.GetPostStr(0), "POST,$C,m=$M");
    EXPECT_NE(check.GetItem(0).date, 0);
    EXPECT_EQ(host.subj.GetCount(), 0);   // not the open store
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(Composer, EditAlwaysStoredIntoOpenCollection)
{
    std::string store = board + "main.zvt";
    // The open store: its file holds an older article.
    ASSERT_TRUE(WriteBytes(store, "S:1,*,0,0,0,N,\nT:old\nM:x\n.\n"));
    ASSERT_EQ(host.subj.LoadFile(store.c_str()), 1);
    host.open = store;
    ASSERT_TRUE(WriteBytes(board + "Sign.ini", "SIG"));

    ComposeRequest r;
    r.store = store.c_str();
    r.edit = 1;
    r.no = 5;
    r.pno = 1;
    r.title = "編集中の記事\t ";
    r.author = "me";
    r.text = "\n本文\n";
    r.tmpl = "POST,$C";
    ASSERT_EQ(composer->Start(r), 1);
    intptr_t p = LastProcess();
    EXPECT_EQ(ReadBytes(SlotOf(p)->workFile), "編集中の記事\r\n\r\n本文\r\n\r\n");   // no signature

    // Closed without saving: the edit is stored all the same.
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 1);
    ASSERT_EQ(host.subj.GetCount(), 2);
    EXPECT_STREQ(host.subj.GetTitle(1), "編集中の記事");
    EXPECT_STREQ(host.subj.GetMsg(1), "\n本文\n");
    EXPECT_STREQ(host.subj.NoStr(1), "5");
    EXPECT_STREQ(host.subj.PnoStr(1), "1");
    EXPECT_EQ(host.subj.GetItem(1).atr, ATR_U);
    EXPECT_EQ(host.refreshes, 1);
    EXPECT_TRUE(host.subj.IsModified());
    // The file is the main window's to write; the composer left it alone.
    EXPECT_EQ(ReadBytes(store), "S:1,*,0,0,0,N,\nT:old\nM:x\n.\n");
}

TEST_F(Composer, OpenStoreMatchedWithoutRegardToCase)
{
    std::string store = board + "Main.zvt";
    host.open = board + "MAIN.ZVT";
    ComposeRequest r;
    r.store = store.c_str();
    r.reply = 1;
    r.pno = 3;
    r.title = "RE: q";
    r.text = "\n\nquoted\n";
    ASSERT_EQ(composer->Start(r), 1);
    intptr_t p = LastProcess();
    EXPECT_EQ(ReadBytes(SlotOf(p)->workFile), "RE: q\r\n>タイトル: RE: q\r\n>quoted\r\n\r\n");
    EditWorkFile(p, "RE: q\r\n>quoted\r\nanswer\r\n");
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 1);
    ASSERT_EQ(host.subj.GetCount(), 1);
    EXPECT_STREQ(host.subj.GetMsg(0), ">quoted\nanswer\n");
    EXPECT_STREQ(host.subj.PnoStr(0), "3");
}

TEST_F(Composer, SixteenSlotsAndFailedStarts)
{
    std::string store = board + "a.zvt";
    ComposeRequest r;
    r.store = store.c_str();
    std::vector<intptr_t> running;
    for (int i = 0; i < CComposer::kSlots; ++i) {
        ASSERT_EQ(composer->Start(r), 1) << i;
        running.push_back(LastProcess());
    }
    EXPECT_EQ(composer->BusyCount(), 16);
    EXPECT_EQ(composer->Start(r), 0);
    EXPECT_EQ(launcher.commands.size(), 16u);

    // One editor ends: its slot takes the next start.
    launcher.End(running[3]);
    EXPECT_EQ(composer->Poll(), 1);
    EXPECT_EQ(composer->Start(r), 1);
    EXPECT_EQ(composer->Start(r), 0);
    for (intptr_t p : running)
        launcher.End(p);
    launcher.End(LastProcess());
    EXPECT_EQ(composer->Poll(), 16);
    EXPECT_EQ(composer->IsBusy(), 0);

    // No store to write into: nothing is started.
    ComposeRequest none;
    EXPECT_EQ(composer->Start(none), 0);

    // The editor can't be started: the slot stays free.
    Debug_BeginCapture();
    launcher.failNext = true;
    EXPECT_EQ(composer->Start(r), 0);
    EXPECT_EQ(Debug_Take(), "EditorManThread:プロセスの起動に失敗\n");
    Debug_EndCapture();
    EXPECT_EQ(composer->BusyCount(), 0);

    // Every work file name taken: nothing is started.
    for (int n = 0; n < CComposer::kWorkFiles; ++n) {
        char path[300];
        Composer_WorkFilePath(data.c_str(), n, path, sizeof path);
        WriteBytes(path, "");
    }
    size_t before = launcher.commands.size();
    EXPECT_EQ(composer->Start(r), 0);
    EXPECT_EQ(launcher.commands.size(), before);
    EXPECT_EQ(composer->BusyCount(), 0);
}

TEST_F(Composer, StartUpCleansWorkFilesAndWatchesEditors)
{
    char path[300];
    Composer_WorkFilePath(data.c_str(), 98, path, sizeof path);
    ASSERT_TRUE(WriteBytes(path, "left over"));
    Debug_BeginCapture();
    composer->StartUp();
    EXPECT_NE(Debug_Take().find("EditorManThread:Start!\n"), std::string::npos);
    Debug_EndCapture();
    EXPECT_FALSE(File_Exists(path));

    std::string store = board + "t.zvt";
    ComposeRequest r;
    r.store = store.c_str();
    ASSERT_EQ(composer->Start(r), 1);
    intptr_t p = LastProcess();
    EditWorkFile(p, "title\r\nbody\r\n");
    launcher.End(p);
    uint32_t start = Clock_TickMs();
    while (composer->IsBusy() && Clock_TickMs() - start < 5000)
        Clock_SleepMs(20);
    EXPECT_EQ(composer->IsBusy(), 0);
    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    ASSERT_EQ(check.GetCount(), 1);
    EXPECT_STREQ(check.GetMsg(0), "body\n");
    composer->StopThread();
}

TEST_F(Composer, StoringWaitsForLockedPathAndReadOnlyCollection)
{
    std::string store = board + "busy.zvt";
    ComposeRequest r;
    r.store = store.c_str();
    ASSERT_EQ(composer->Start(r), 1);
    intptr_t p = LastProcess();
    EditWorkFile(p, "t\r\nb\r\n");
    launcher.End(p);

    // Another thread rewrites the store: storing waits for its lock.
    locks.Lock(store.c_str());
    std::atomic<int> freed{-1};
    std::thread poller([&] { freed = composer->Poll(); });
    Clock_SleepMs(300);
    EXPECT_EQ(freed.load(), -1);
    EXPECT_FALSE(File_Exists(store.c_str()));
    locks.Unlock(store.c_str());
    poller.join();
    EXPECT_EQ(freed.load(), 1);
    EXPECT_TRUE(File_Exists(store.c_str()));
    EXPECT_EQ(locks.IsLocked(store.c_str()), 0);

    // The open collection is read-only while a patrol rewrites its file: the
    // article waits in its slot instead of being dropped.
    host.open = store;
    ASSERT_EQ(host.subj.LoadFile(store.c_str()), 1);
    host.subj.SetReadOnly(1);
    ASSERT_EQ(composer->Start(r), 1);
    p = LastProcess();
    EditWorkFile(p, "second\r\ntext\r\n");
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 0);
    EXPECT_EQ(composer->BusyCount(), 1);
    host.subj.SetReadOnly(0);
    EXPECT_EQ(composer->Poll(), 1);
    ASSERT_EQ(host.subj.GetCount(), 2);
    EXPECT_STREQ(host.subj.GetTitle(1), "second");
}

TEST_F(Composer, UnreadableStoreIsNotOverwritten)
{
    // The store path can't be loaded (here a folder stands in its place): it
    // is not replaced by a file holding only the new article.
    std::string store = board + "odd.zvt";
    std::filesystem::create_directory(store);
    ComposeRequest r;
    r.store = store.c_str();
    ASSERT_EQ(composer->Start(r), 1);
    intptr_t p = LastProcess();
    EditWorkFile(p, "kept\r\nsafe\r\n");
    launcher.End(p);
    EXPECT_EQ(composer->Poll(), 0);
    EXPECT_EQ(composer->Poll(), 0);
    EXPECT_TRUE(File_IsDir(store.c_str()));
    EXPECT_EQ(composer->BusyCount(), 1);

    // Once the path is usable the article arrives.
    std::filesystem::remove(store);
    EXPECT_EQ(composer->Poll(), 1);
    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    ASSERT_EQ(check.GetCount(), 1);
    EXPECT_STREQ(check.GetTitle(0), "kept");
}

}  // namespace
