// The patrol engine with a fake progress list and fake plug-in runs: the
// board worker's steps and row texts, slots and ThreadCount, totals, the
// proxy setting, cancellation before and during runs, failed launches, the
// end sequence, and that whatever a plug-in left is imported on every path.
#include "patrol_testutil.h"

#include "base/debug.h"

#include <algorithm>

using namespace patroltest;

namespace {

const char kFail[] = "プロセスの起動に失敗(ヘルプを読んで下さい)";
const char kCancelled[] = "ユーザによるキャンセル";

std::string Out(int first, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += Article(first + i, "", "new " + std::to_string(first + i));
    return text;
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() { Patrol_DefaultOptions(&opt); }
    void Run(int kind = PATROL_ALL, const char* folder = nullptr)
    {
        Str_Copy(opt.dataFolder, sizeof opt.dataFolder, t.Root().c_str());
        Str_Copy(opt.sound[1], sizeof opt.sound[1], "end-none.wav");
        Str_Copy(opt.sound[2], sizeof opt.sound[2], "end-new.wav");
        engine.reset(new CPatrolEngine(opt, &view, &host));
        ASSERT_TRUE(engine->Start(kind, folder));
        ASSERT_TRUE(WaitPatrolEnd(*engine));
    }
    int IndexOf(const std::string& event)
    {
        auto it = std::find(view.events.begin(), view.events.end(), event);
        return it == view.events.end() ? -1 : (int)(it - view.events.begin());
    }

    Tree t;
    PatrolOptions opt;
    FakeView view;
    FakeHost host;
    std::unique_ptr<CPatrolEngine> engine;
};

TEST_F(EngineTest, OneSlotVisitsBoardsOneAfterAnother)
{
    opt.threadCount = 1;
    t.Board("a", 1);
    t.Board("b", 1);
    t.Board("c", 1);
    host.plugins["a"].output = Out(1, 2);
    host.plugins["b"].lines = {"接続中...", "2 bytes受信"};
    host.plugins["c"].output = Out(10, 1);
    Run();

    EXPECT_EQ(view.TextOf("a"), "巡回中...(未読:2)");
    EXPECT_EQ(view.TextOf("b"), "2 bytes受信");
    EXPECT_EQ(view.TextOf("c"), "巡回中...(未読:1)");
    EXPECT_EQ(engine->Total(), 3);
    EXPECT_EQ(host.maxRunning.load(), 1);
    // Each row reaches its final text before the next row appears.
    for (const char* prev : {"a", "b", "c"}) {
        int last = -1;
        for (size_t i = 0; i < view.events.size(); ++i)
            if (view.events[i].rfind(std::string("text ") + prev + " ", 0) == 0)
                last = (int)i;
        for (const char* next : {"a", "b", "c"}) {
            int ins = IndexOf(std::string("insert ") + next);
            if (ins > IndexOf(std::string("insert ") + prev)) {
                EXPECT_LT(last, ins) << prev << " before " << next;
            }
        }
    }
    // Rows begin with "巡回開始"; the last row and the title follow the workers.
    EXPECT_EQ(view.rows.back().name, "終了しました");
    EXPECT_EQ(view.events.back(), "title ZEVA - 巡回終了");
    EXPECT_FALSE(engine->IsRunning());
    // The stores are filled, the output files gone.
    EXPECT_EQ(Titles(t.File("a/store.zvt")), (std::vector<std::string>{"new 1", "new 2"}));
    EXPECT_FALSE(t.Has("a/store.zv$"));
    // End sound for new articles, folder view refreshed, no hang-up.
    auto ev = host.Events();
    EXPECT_NE(std::find(ev.begin(), ev.end(), "play end-new.wav"), ev.end());
    EXPECT_NE(std::find(ev.begin(), ev.end(), "refresh"), ev.end());
    EXPECT_EQ(std::find(ev.begin(), ev.end(), "hang up"), ev.end());
    EXPECT_EQ(view.closeRequests.load(), 0);
}

TEST_F(EngineTest, ThreeSlotsRunBoardsInParallel)
{
    opt.threadCount = 3;
    for (const char* b : {"a", "b", "c", "d", "e"}) {
        t.Board(b, 1);
        host.plugins[b].runMs = 300;
        host.plugins[b].output = Out(1, 1);
    }
    Run();
    EXPECT_EQ(host.maxRunning.load(), 3);
    EXPECT_EQ(view.RowCount(), 6);
    EXPECT_EQ(engine->Total(), 5);
    for (const char* b : {"a", "b", "c", "d", "e"})
        EXPECT_EQ(view.TextOf(b), "巡回中...(未読:1)") << b;
}

TEST_F(EngineTest, ThreadCountAboveFiveUsesFiveSlots)
{
    opt.threadCount = 9;
    CPatrolEngine e(opt, &view, &host);
    EXPECT_EQ(e.SlotCount(), 5);
    opt.threadCount = 0;
    CPatrolEngine one(opt, &view, &host);
    EXPECT_EQ(one.SlotCount(), 1);
}

TEST_F(EngineTest, NothingNewPlaysTheOtherEndSound)
{
    t.Board("a", 1);
    Run();
    EXPECT_EQ(view.TextOf("a"), "巡回中...");
    EXPECT_EQ(engine->Total(), 0);
    auto ev = host.Events();
    // Start sound belongs to the window; the end stops any sound, then plays 1.
    auto stop = std::find(ev.begin(), ev.end(), "stop sound");
    ASSERT_NE(stop, ev.end());
    EXPECT_EQ(*(stop + 1), "play end-none.wav");
}

TEST_F(EngineTest, FailedLaunchStillImportsWhatIsThere)
{
    t.Board("broken", 1, "http://127.0.0.1/x", "Missing");
    host.plugins["broken"].startFails = true;
    t.Put("broken/left.zv$", Out(5, 1));   // left by an earlier run
    Run();
    EXPECT_EQ(view.TextOf("broken"), std::string(kFail) + "(未読:1)");
    EXPECT_EQ(Titles(t.File("broken/left.zvt")), (std::vector<std::string>{"new 5"}));
    EXPECT_EQ(host.types, (std::vector<std::string>{"Missing"}));
    // The error log exists, empty, for every visited board.
    EXPECT_EQ(host.errorLogs, (std::vector<std::string>{t.Folder("broken") + "ErrorLog.txt"}));
    EXPECT_TRUE(t.Has("broken/ErrorLog.txt"));
}

// An output file that an earlier import could not save must not be written
// over by the next run of the plug-in, which uses the same file name.
TEST_F(EngineTest, LeftoverOutputIsImportedBeforeThePluginWritesItsOwn)
{
    t.Board("a", 1);
    t.Put("a/store.zv$", Out(5, 1));
    host.plugins["a"].output = Out(1, 2);
    Run();
    EXPECT_EQ(Titles(t.File("a/store.zvt")), (std::vector<std::string>{"new 5", "new 1", "new 2"}));
    EXPECT_EQ(view.TextOf("a"), "巡回中...(未読:3)");
    EXPECT_FALSE(t.Has("a/store.zv$"));
}

TEST_F(EngineTest, CancelBeforeAnyRunLeavesStartedRowsCancelledAndImports)
{
    opt.threadCount = 1;
    t.Board("a", 1);
    t.Board("b", 1);
    t.Put("a/old.zv$", Out(1, 1));
    view.onInsert = [this](int) { engine->Cancel(); };
    Run();
    // One board was started before the cancel; the dispatcher gave up on the rest.
    ASSERT_EQ(view.RowCount(), 2);
    const std::string started = view.rows[0].name;
    EXPECT_EQ(view.rows[0].text, kCancelled);
    auto ev = host.Events();
    EXPECT_EQ(std::count_if(ev.begin(), ev.end(), [](const std::string& e) { return e.rfind("run ", 0) == 0; }), 0);
    if (started == "a") {
        EXPECT_EQ(Titles(t.File("a/old.zvt")), (std::vector<std::string>{"new 1"}));
    }
    EXPECT_EQ(view.rows[1].name, "終了しました");
}

TEST_F(EngineTest, CancelDuringRunsImportsWhatThePluginsLeft)
{
    opt.threadCount = 3;
    for (const char* b : {"a", "b", "c", "d"}) {
        t.Board(b, 1);
        host.plugins[b].waitForCancel = true;
        host.plugins[b].output = Out(1, 1);
    }
    Str_Copy(opt.dataFolder, sizeof opt.dataFolder, t.Root().c_str());
    engine.reset(new CPatrolEngine(opt, &view, &host));
    ASSERT_TRUE(engine->Start(PATROL_ALL, nullptr));
    uint32_t start = Clock_TickMs();
    while (host.running.load() < 3 && Clock_TickMs() - start < 10000)
        Clock_SleepMs(10);
    ASSERT_EQ(host.running.load(), 3);
    EXPECT_FALSE(engine->WaitEnd(PATROL_POLL_MS));
    engine->Cancel();
    ASSERT_TRUE(WaitPatrolEnd(*engine));
    // The fourth board never got a slot: no row.
    EXPECT_EQ(view.RowCount(), 4);
    EXPECT_EQ(engine->Total(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(view.rows[i].text, kCancelled);
        EXPECT_EQ(Titles(t.File(view.rows[i].name + "/store.zvt")).size(), 1u);
    }
}

TEST_F(EngineTest, CurrentFolderPatrolIgnoresMarks)
{
    t.Board("unmarked", 0);
    t.Board("other", 1);
    host.plugins["unmarked"].output = Out(1, 1);
    std::string folder = t.Folder("unmarked");
    folder.pop_back();   // also without its trailing separator
    Run(PATROL_CURRENT, folder.c_str());
    EXPECT_EQ(view.RowCount(), 2);
    EXPECT_EQ(view.TextOf("unmarked"), "巡回中...(未読:1)");
    EXPECT_EQ(view.TextOf("other"), "<no row>");
}

TEST_F(EngineTest, ProxyWrittenForThePlugin)
{
    t.Board("a", 1);
    opt.proxyIE = 0;
    Str_Copy(opt.proxyAdr, sizeof opt.proxyAdr, "proxy.local");
    opt.proxyPort = 3128;
    Run();
    EXPECT_EQ(t.IniText("a", "PROXY"), "proxy.local:3128");
    EXPECT_EQ(t.IniText("a", "LIB"), "ZVT");

    // The system's setting, when it names a proxy; else the key goes.
    opt.proxyIE = 1;
    host.systemProxy = "sysproxy:8080";
    view.rows.clear();
    Run();
    EXPECT_EQ(t.IniText("a", "PROXY"), "sysproxy:8080");
    host.systemProxy.clear();
    Run();
    EXPECT_EQ(t.IniText("a", "PROXY"), "<none>");
}

TEST_F(EngineTest, UnattendedPatrolHangsUpAndClosesTheWindow)
{
    t.Board("a", 1);
    opt.unattended = 1;
    Run();
    auto ev = host.Events();
    EXPECT_NE(std::find(ev.begin(), ev.end(), "hang up"), ev.end());
    EXPECT_EQ(view.closeRequests.load(), 1);
}

TEST_F(EngineTest, AutoDisconnectHangsUpAndCloseRunWindowCloses)
{
    t.Board("a", 1);
    opt.autoDisconnect = 1;
    Run();
    auto ev = host.Events();
    EXPECT_NE(std::find(ev.begin(), ev.end(), "hang up"), ev.end());
    EXPECT_EQ(view.closeRequests.load(), 0);
    opt.autoDisconnect = 0;
    opt.closeRunWindow = 1;
    Run();
    EXPECT_EQ(view.closeRequests.load(), 1);
}

TEST_F(EngineTest, StoreNoticesAroundEveryImportedStore)
{
    t.Board("a", 1);
    host.plugins["a"].output = Out(1, 1);
    Run();
    EXPECT_EQ(host.notify.log, (std::vector<std::string>{"before store.zvt", "after store.zvt 1"}));
}

TEST_F(EngineTest, ThreadStartIsReported)
{
    Debug_BeginCapture();
    Run();
    std::string out = Debug_Take();
    Debug_EndCapture();
    EXPECT_NE(out.find("巡回スレッドスタート\n"), std::string::npos);
    EXPECT_EQ(view.RowCount(), 1);   // no boards: only the last row
}

TEST_F(EngineTest, NoSecondStartOnTheSameEngine)
{
    Run();
    EXPECT_FALSE(engine->Start(PATROL_ALL, nullptr));
}

}  // namespace
