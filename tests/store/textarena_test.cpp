// Texts of a loaded store live in the block the file was read into; these
// tests follow them through moves, copies, merges and deletes into other
// stores and check the block goes with the last of them.
#include "store/Subj.h"
#include "store/TextArena.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <thread>

using subjtest::Parse;
using subjtest::TempDir;
using subjtest::WriteBytes;

namespace {
std::string Store(int first, int count)
{
    std::string t = "#T:t\n#N:0\n#U:0\n#B:0\n#R:0\n#F:\n#P:\n";
    for (int i = first; i < first + count; ++i) {
        t += "S:" + std::to_string(i) + ",*,04/01/02,12:00,,\nT:title\n";
        t += "M:text " + std::to_string(i) + "\nline two\n.\n";
    }
    return t;
}

std::string Text(int i)
{
    return "text " + std::to_string(i) + "\nline two\n";
}
}

TEST(TextArena, LoadedTextsOutliveTheirStoreAndGoWithTheLast)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    ASSERT_TRUE(WriteBytes(path, Store(1, 5)));
    size_t blocks = TextArena_Blocks();
    CSubj other;
    {
        CSubj s;
        ASSERT_EQ(s.LoadFile(path.c_str()), 1);
        EXPECT_EQ(TextArena_Blocks(), blocks + 1);
        ASSERT_EQ(s.GetCount(), 5);
        EXPECT_EQ(s.GetMsg(4), Text(5));
        ASSERT_EQ(s.Move(0, &other), 1);   // text 1 moves over
        ASSERT_EQ(s.Copy(0, &other), 1);   // text 2 is copied
        s.Delete(1);                       // text 3 goes
    }
    // The store is gone; the moved text still lives in its block.
    EXPECT_EQ(TextArena_Blocks(), blocks + 1);
    ASSERT_EQ(other.GetCount(), 2);
    EXPECT_EQ(other.GetMsg(0), Text(1));
    EXPECT_EQ(other.GetMsg(1), Text(2));
    other.Delete(0);
    EXPECT_EQ(TextArena_Blocks(), blocks);
    EXPECT_EQ(other.GetMsg(0), Text(2));
}

TEST(TextArena, ReloadsMergesAndEmptyFilesReleaseTheirBlocks)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    size_t blocks = TextArena_Blocks();
    ASSERT_TRUE(WriteBytes(path, Store(1, 3)));
    CSubj s;
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);   // the first block is released
    EXPECT_EQ(TextArena_Blocks(), blocks + 1);

    // A merge replaces a stored text (an O record, arriving unread again)
    // and keeps the others.
    CSubj in;
    Parse(in, "S:2,*,04/01/02,12:00,O,\nM:replaced\n.\nS:9,*,04/01/02,12:00,,\nM:new\n.\n");
    EXPECT_EQ(s.Merge(&in), 2);
    ASSERT_EQ(s.GetCount(), 4);
    EXPECT_STREQ(s.GetMsg(1), "replaced\n");
    EXPECT_EQ(s.GetMsg(2), Text(3));
    while (s.GetCount() > 1)
        s.Delete(s.GetCount() - 1);
    EXPECT_EQ(TextArena_Blocks(), blocks + 1);   // text 1 is still there
    s.Delete(0);
    EXPECT_EQ(TextArena_Blocks(), blocks);

    // A file without records keeps no block.
    ASSERT_TRUE(WriteBytes(path, "#T:empty\n"));
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);
    EXPECT_EQ(TextArena_Blocks(), blocks);
}

TEST(TextArena, ZeroBytesInALoadedTextBecomeBlanks)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    std::string bytes("S:1,*,04/01/02,12:00,,\nM:a\0b\n.\nS:2,*,04/01/02,12:00,,\nM:c\n.\n", 60);
    ASSERT_TRUE(WriteBytes(path, bytes));
    CSubj s;
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);
    ASSERT_EQ(s.GetCount(), 2);
    EXPECT_STREQ(s.GetMsg(0), "a b\n");
    EXPECT_STREQ(s.GetMsg(1), "c\n");
}

// Stores of several threads load, hand texts to one another's collections
// and release them at once.
TEST(TextArena, ThreadsLoadAndReleaseTogether)
{
    TempDir dir;
    size_t blocks = TextArena_Blocks();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        std::string path = dir.File(std::to_string(t) + ".zvt");
        ASSERT_TRUE(WriteBytes(path, Store(t * 100, 50)));
        threads.emplace_back([path, t] {
            CSubj keep;
            for (int round = 0; round < 40; ++round) {
                CSubj s;
                s.LoadFile(path.c_str());
                s.Move(round % 50, &keep);
            }
            for (int i = 0; i < keep.GetCount(); ++i)
                if (keep.GetMsg(i) != Text(t * 100 + i % 50))
                    ADD_FAILURE() << "thread " << t << " text " << i;
        });
    }
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(TextArena_Blocks(), blocks);
}
