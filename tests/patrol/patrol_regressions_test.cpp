// One test per fault found in the patrol engine.
#include "patrol_testutil.h"

#include <algorithm>

using namespace patroltest;

namespace {

class PatrolRegressions : public ::testing::Test {
protected:
    PatrolRegressions() { Patrol_DefaultOptions(&opt); }
    void Start(int kind, const char* folder = nullptr)
    {
        Str_Copy(opt.dataFolder, sizeof opt.dataFolder, t.Root().c_str());
        engine.reset(new CPatrolEngine(opt, &view, &host));
        ASSERT_TRUE(engine->Start(kind, folder));
    }
    int Runs()
    {
        auto ev = host.Events();
        return (int)std::count_if(ev.begin(), ev.end(), [](const std::string& e) { return e.rfind("run ", 0) == 0; });
    }
    Tree t;
    PatrolOptions opt;
    FakeView view;
    FakeHost host;
    std::unique_ptr<CPatrolEngine> engine;
};

// The walk cleared a board's temporary mark before the dispatcher gave up on
// it, so a cancel used up the marks of every board it never visited.
TEST_F(PatrolRegressions, CancelKeepsTheTemporaryMarksOfBoardsNeverVisited)
{
    opt.threadCount = 1;
    for (const char* b : {"a", "b", "c"}) {
        t.Board(b, BBSFOLDER_TEMPORARY);
        host.plugins[b].waitForCancel = true;
    }
    Start(PATROL_TEMPORARY);
    uint32_t start = Clock_TickMs();
    while (host.running.load() < 1 && Clock_TickMs() - start < 10000)
        Clock_SleepMs(10);
    ASSERT_EQ(host.running.load(), 1);
    Clock_SleepMs(3 * PATROL_POLL_MS);   // the walk waits for a slot meanwhile
    engine->Cancel();
    ASSERT_TRUE(WaitPatrolEnd(*engine));
    ASSERT_EQ(view.RowCount(), 2);   // the visited board and the end row
    for (const char* b : {"a", "b", "c"})
        EXPECT_EQ(t.Marks(b), b == view.rows[0].name ? 0 : BBSFOLDER_TEMPORARY) << b;
}

// A current-folder patrol started without a folder walked the whole tree.
TEST_F(PatrolRegressions, CurrentFolderPatrolWithoutAFolderVisitsNothing)
{
    t.Board("a", BBSFOLDER_NORMAL);
    t.Board("b", BBSFOLDER_TEMPORARY);
    Start(PATROL_CURRENT);
    ASSERT_TRUE(WaitPatrolEnd(*engine));
    EXPECT_EQ(view.RowCount(), 1);   // the end row only
    EXPECT_EQ(Runs(), 0);
    EXPECT_EQ(t.Marks("b"), BBSFOLDER_TEMPORARY);
}

}  // namespace
