// One test per fault found in the import of plug-in output.
#include "patrol/Import.h"

#include "base/fileio.h"
#include "patrol_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace patroltest;

namespace {

std::string Titled(const std::string& flags, const std::string& title)
{
    return "S:*,*,04/05/06,12:00" + (flags.empty() ? "" : "," + flags) + "\nT:" + title + "\nN:nm\nM:body\n.\n";
}

// A hand-over file settled again (its delete had failed) put its articles in
// a second time, and a store whose save had failed after the hand-over kept
// a due copy of an article the plug-in then posted. Both now settle once.
TEST(ImportRegressions, HandOverIsSettledOnceWhenItsFileOrADueCopyStays)
{
    Tree t;
    t.MakeFolder("b");
    t.Put("b/a.zvt", Zvt("#T:board\n" + Titled("", "stored") + Titled("U", "posted")));
    const std::string handed = Zvt(Titled("", "posted") + Titled("U", "back"));
    for (int round = 0; round < 2; ++round) {
        t.Put("b/a.zvw", handed);   // the second time: the file that could not be deleted
        EXPECT_EQ(Patrol_Import(t.Folder("b").c_str(), nullptr), 0);
        EXPECT_EQ(Titles(t.File("b/a.zvt")), (std::vector<std::string>{"stored", "back"})) << round;
        EXPECT_EQ(Titles(t.File("b/" + std::string(kSent))), std::vector<std::string>{"posted"}) << round;
    }
}

// A plug-in stopped by a cancel in the middle of a write left its temporary
// file in the board folder forever. The import now removes temporary files
// of ours whose writer is gone, and nothing else.
TEST(ImportRegressions, TemporaryFilesOfAWriterNoLongerRunningAreRemoved)
{
    Tree t;
    t.MakeFolder("b");
    const std::vector<std::string> stale = {"001.zv$.~999999999.3.tmp", "a.zvt.~999999999.12.tmp"};
    const std::vector<std::string> others = {"notes.~1.tmp", "x.tmp", ".~999999999.1.tmp", "a.zvt.~9x.1.tmp",
                                             "a.zvt.~999999999.1.tmp.bak"};
    for (const std::string& f : stale)
        t.Put("b/" + f, "half");
    for (const std::string& f : others)
        t.Put("b/" + f, "mine");
    CAtomicFile live;   // a write of this process still under way
    ASSERT_EQ(live.Open(t.File("b/live.zvt").c_str()), 1);

    Patrol_Import(t.Folder("b").c_str(), nullptr);
    for (const std::string& f : stale)
        EXPECT_FALSE(t.Has("b/" + f)) << f;
    for (const std::string& f : others)
        EXPECT_EQ(t.Read("b/" + f), "mine") << f;
    ASSERT_EQ(live.Write("new", 3), 1);
    ASSERT_EQ(live.Commit(), 1);
    EXPECT_EQ(t.Read("b/live.zvt"), "new");
}

}  // namespace
