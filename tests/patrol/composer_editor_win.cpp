// The composer with real editor processes: the tests' stand-in editor
// (tests/patrol/editor) is started through CreateProcessA in a new console
// and EditorManThread stores what it wrote.
#include "patrol/Composer.h"

#include "base/clock.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "store/LockFile.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>

using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;

namespace {

std::string BesideTest(const char* name)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

bool WaitFor(const std::function<bool()>& done, unsigned ms = 20000)
{
    uint32_t start = Clock_TickMs();
    while (!done()) {
        if (Clock_TickMs() - start > ms)
            return false;
        Clock_SleepMs(20);
    }
    return true;
}

class Host : public IComposerHost {
public:
    CSubj* OpenCollection() override { return &subj; }
    const char* OpenStorePath() override { return open.c_str(); }
    void RefreshTitleView() override { ++refreshes; }
    CSubj subj;
    std::string open;
    std::atomic<int> refreshes{0};
};

class ComposerEditor : public ::testing::Test {
protected:
    ComposerEditor()
    {
        data = dir.Path() + "\\data\\";
        board = data + "board\\";
        std::filesystem::create_directories(board);
        log = dir.File("editor.log");
        SetEnvironmentVariableA("ZV_TEST_EDITOR_LOG", log.c_str());
        editor = BesideTest(ZEVA_TEST_EDITOR);
        ComposerSettings_Init(&settings, data.c_str());
        Str_Copy(settings.editor, sizeof settings.editor, editor.c_str());
        Str_Copy(settings.quoteMark, sizeof settings.quoteMark, "| ");
        composer.reset(new CComposer(settings, &host, &locks, EditorLauncher_System()));
        composer->StartUp();
    }
    ~ComposerEditor() override
    {
        composer->StopThread();
        SetEnvironmentVariableA("ZV_TEST_EDITOR_LOG", nullptr);
    }
    void UseOption(const char* option)
    {
        Str_Copy(settings.editorOption, sizeof settings.editorOption, option);
        composer->SetSettings(settings);
    }
    bool WaitIdle() { return WaitFor([&] { return !composer->IsBusy(); }); }
    std::string Work(int n)
    {
        char path[300];
        Composer_WorkFilePath(data.c_str(), n, path, sizeof path);
        return path;
    }

    TempDir dir;
    std::string data, board, log, editor;
    ComposerSettings settings;
    Host host;
    CLockFile locks;
    std::unique_ptr<CComposer> composer;
};

TEST_F(ComposerEditor, WrittenArticleArrivesInItsStoreFile)
{
    std::string store = board + "main.zvt";
    ASSERT_TRUE(WriteBytes(board + "Sign.ini", "-- sig"));
    UseOption("-a appended");
    ComposeRequest r;
    r.store = store.c_str();
    r.tmpl = "POST,$C,m=$M";
    ASSERT_EQ(composer->Start(r), 1);
    ASSERT_TRUE(WaitIdle());

    EXPECT_EQ(ReadBytes(log), "\"" + editor + "\" -a appended \"" + Work(0) + "\"\n");
    EXPECT_EQ(ReadBytes(Work(0)), "\r\n-- sig\r\nappended\r\n");   // kept until the next start-up
    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    ASSERT_EQ(check.GetCount(), 1);
    EXPECT_EQ(check.GetItem(0).atr, ATR_U);
    EXPECT_STREQ(check.GetTitle(0), "");
    EXPECT_STREQ(check.GetMsg(0), "-- sig\nappended\n");
    EXPECT_STREQ(check.GetPostStr(0), "POST,$C,m=$M");
    EXPECT_EQ(host.subj.GetCount(), 0);
    EXPECT_EQ(host.refreshes, 0);
}

TEST_F(ComposerEditor, ClosedWithoutSavingNewIsDroppedEditIsKept)
{
    std::string store = board + "main.zvt";
    host.open = store;
    ComposeRequest r;
    r.store = store.c_str();
    r.title = "下書き";
    ASSERT_EQ(composer->Start(r), 1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(ReadBytes(log), "\"" + editor + "\" \"" + Work(0) + "\"\n");
    EXPECT_EQ(host.subj.GetCount(), 0);
    EXPECT_FALSE(File_Exists(store.c_str()));

    // The edit of an unsent article is stored even unchanged.
    r.edit = 1;
    r.no = 7;
    r.text = "本文\n";
    ASSERT_EQ(composer->Start(r), 1);
    ASSERT_TRUE(WaitIdle());
    ASSERT_EQ(host.subj.GetCount(), 1);
    EXPECT_STREQ(host.subj.GetTitle(0), "下書き");
    EXPECT_STREQ(host.subj.GetMsg(0), "本文\n");
    EXPECT_STREQ(host.subj.NoStr(0), "7");
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(ComposerEditor, ReplyWithRewrittenTitle)
{
    std::string store = board + "main.zvt";
    host.open = store;
    UseOption("-t NewTitle -a answer");
    ComposeRequest r;
    r.store = store.c_str();
    r.reply = 1;
    r.pno = 41;
    r.title = "RE: 質問";
    r.author = "花子";
    r.text = "\n\n質問です\n\nよろしく\n";
    ASSERT_EQ(composer->Start(r), 1);
    ASSERT_TRUE(WaitIdle());
    EXPECT_EQ(ReadBytes(Work(0)),
              "NewTitle\r\n| タイトル: RE: 質問\r\n| 発言者: 花子\r\n| 質問です\r\n| \r\n| よろしく\r\n\r\nanswer\r\n");
    ASSERT_EQ(host.subj.GetCount(), 1);
    EXPECT_STREQ(host.subj.GetTitle(0), "NewTitle");
    EXPECT_STREQ(host.subj.GetMsg(0), "| タイトル: RE: 質問\n| 発言者: 花子\n| 質問です\n| \n| よろしく\n\nanswer\n");
    EXPECT_STREQ(host.subj.PnoStr(0), "41");
    EXPECT_EQ(host.refreshes, 1);
}

TEST_F(ComposerEditor, SixteenOpenEditorsRefuseTheSeventeenth)
{
    std::string go = dir.File("go");
    std::string option = "-a x -w \"" + go + "\"";
    UseOption(option.c_str());
    std::string store = board + "many.zvt";
    ComposeRequest r;
    r.store = store.c_str();
    for (int i = 0; i < CComposer::kSlots; ++i)
        ASSERT_EQ(composer->Start(r), 1) << i;
    EXPECT_EQ(composer->Start(r), 0);
    EXPECT_EQ(composer->BusyCount(), 16);

    ASSERT_TRUE(WriteBytes(go, ""));
    ASSERT_TRUE(WaitIdle());
    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    EXPECT_EQ(check.GetCount(), 16);
    EXPECT_EQ(composer->Start(r), 1);   // a slot is free again
    ASSERT_TRUE(WaitIdle());
}

TEST_F(ComposerEditor, ConsoleEditorRunsWithoutDisplay)
{
    // Real editors are windowed programs; a console one gets its own (under
    // Wine without a display, a console that is not usable) and still works.
    Str_Copy(settings.editor, sizeof settings.editor, BesideTest(ZEVA_TEST_EDITOR_CON).c_str());
    UseOption("-a console");
    std::string store = board + "console.zvt";
    ComposeRequest r;
    r.store = store.c_str();
    ASSERT_EQ(composer->Start(r), 1);
    ASSERT_TRUE(WaitIdle());
    CSubj check;
    ASSERT_EQ(check.LoadFile(store.c_str()), 1);
    ASSERT_EQ(check.GetCount(), 1);
    EXPECT_STREQ(check.GetMsg(0), "console\n");
}

TEST_F(ComposerEditor, EditorThatCannotStart)
{
    Str_Copy(settings.editor, sizeof settings.editor, (dir.Path() + "\\no such editor.exe").c_str());
    composer->SetSettings(settings);
    ComposeRequest r;
    std::string store = board + "x.zvt";
    r.store = store.c_str();
    EXPECT_EQ(composer->Start(r), 0);
    EXPECT_EQ(composer->BusyCount(), 0);
}

}  // namespace
