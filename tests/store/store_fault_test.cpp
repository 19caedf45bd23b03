// Saves that fail part way: for every step of a save (create, write, flush,
// replace) the step is made to fail in turn, and the disk is made full and
// the file read-only. The old store must stay as it was, the collection
// modified, the caller told; the next save that can succeed writes it all.
#include "store/Subj.h"

#include "base/fileio.h"
#include "bench/store_gen.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

using namespace subjtest;

namespace {

// A store of over a megabyte: its save writes in several steps.
const std::string& BigStore()
{
    static const std::string text = storegen::Board(9, false).Store(3500);
    return text;
}

// Only the store and its settings file are in the folder: no temporary
// file is left behind.
void ExpectOnlyStoreAndSettings(const TempDir& dir, const std::string& where)
{
    std::vector<DirEntry> entries;
    ASSERT_TRUE(Dir_List(dir.Path().c_str(), entries));
    for (const DirEntry& e : entries)
        EXPECT_TRUE(e.name == "001.zvt" || e.name == "zeva_BBS.ini") << where << ": " << e.name;
}

// The change every save below writes: a mark, a deletion, a title, and a
// view setting (so that the settings file is written too).
void Change(CSubj& s)
{
    s.SetAtr(s.GetCount() - 1, 0, ATR_R);
    s.Delete(10);
    s.SetTitle("changed");
    s.Settings().tree = !s.Settings().tree;
}

// Steps of a save: those of the settings file, then those of the store.
struct Steps {
    int settings;
    int total;
};

Steps CountSteps(const std::string& path)
{
    Steps n;
    CSubj s;
    s.LoadFile(path.c_str());
    s.Update();   // writes the settings file
    s.Settings().tree = !s.Settings().tree;
    FileFault_Set(0);
    s.Update();   // not modified: the changed setting alone
    n.settings = FileFault_Steps();
    Change(s);
    FileFault_Set(0);
    s.Update();
    n.total = FileFault_Steps();
    return n;
}

TEST(StoreFaults, EveryStepOfASaveFailingKeepsTheOldStore)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    const std::string& old = BigStore();
    ASSERT_TRUE(WriteBytes(path, old));
    Steps steps = CountSteps(path);
    ASSERT_TRUE(WriteBytes(path, old));
    std::string expected;
    {
        CSubj s;
        s.LoadFile(path.c_str());
        Change(s);
        expected = Written(s);
    }
    // Create, write, flush and replace of the settings (written by the
    // system under Windows, outside these steps); create, at least two
    // writes, flush and replace of the store.
#ifndef _WIN32
    ASSERT_GE(steps.settings, 4);
#endif
    ASSERT_GE(steps.total - steps.settings, 5);

    for (int k = 1; k <= steps.total; ++k) {
        std::string where = "step " + std::to_string(k) + " of " + std::to_string(steps.total);
        CSubj s;
        ASSERT_EQ(s.LoadFile(path.c_str()), 1);
        Change(s);
        FileFault_Set(k);
        int r = s.Update();
        int taken = FileFault_Steps();
        FileFault_Set(0);
        ASSERT_GE(taken, k) << where;
        if (k <= steps.settings) {
            // A settings file that can't be written is passed over; the
            // store is saved all the same.
            EXPECT_EQ(r, 1) << where;
            EXPECT_EQ(s.IsModified(), 0) << where;
            EXPECT_EQ(ReadBytes(path), expected) << where;
            ASSERT_TRUE(WriteBytes(path, old));
        } else {
            EXPECT_EQ(r, 0) << where;
            EXPECT_EQ(s.IsModified(), 1) << where;
            ASSERT_EQ(ReadBytes(path), old) << where;
            ExpectOnlyStoreAndSettings(dir, where);
            // Nothing was lost: the next save writes the change.
            EXPECT_EQ(s.Update(), 1) << where;
            EXPECT_EQ(ReadBytes(path), expected) << where;
            ASSERT_TRUE(WriteBytes(path, old));
        }
    }
}

TEST(StoreFaults, EveryStepOfAMergesSaveFailingKeepsTheOldStore)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    const std::string& old = BigStore();
    storegen::Board board(9, false);
    std::string incoming;
    storegen::Board::Header(incoming, "new title", 0, 0);
    for (uint32_t k = 3490; k < 3600; ++k)
        board.Article(incoming, k, true, k % 7 == 0 ? "O" : (k % 11 == 0 ? "D" : ""));

    std::string expected;
    int arrived;
    int total;
    {
        ASSERT_TRUE(WriteBytes(path, old));
        CSubj s, in;
        s.LoadFile(path.c_str());
        Parse(in, incoming);
        FileFault_Set(0);
        arrived = s.Merge(&in);
        total = FileFault_Steps();
        ASSERT_EQ(s.IsModified(), 0);
        expected = ReadBytes(path);
        ASSERT_NE(expected, old);
    }
    int storeFailures = 0;
    for (int k = 1; k <= total; ++k) {
        std::string where = "step " + std::to_string(k) + " of " + std::to_string(total);
        ASSERT_TRUE(WriteBytes(path, old));
        CSubj s, in;
        ASSERT_EQ(s.LoadFile(path.c_str()), 1);
        Parse(in, incoming);
        FileFault_Set(k);
        // The count is what arrived in the collection, saved or not.
        EXPECT_EQ(s.Merge(&in), arrived) << where;
        FileFault_Set(0);
        if (s.IsModified()) {
            ++storeFailures;
            ASSERT_EQ(ReadBytes(path), old) << where;
            ExpectOnlyStoreAndSettings(dir, where);
            EXPECT_EQ(s.Update(), 1) << where;
        }
        EXPECT_EQ(ReadBytes(path), expected) << where;
    }
    EXPECT_GE(storeFailures, 5);
}

TEST(StoreFaults, ReadOnlyStoreStaysAsItWas)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    const std::string& old = BigStore();
    ASSERT_TRUE(WriteBytes(path, old));
    CSubj s;
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);
    ASSERT_TRUE(File_SetReadOnly(path.c_str(), 1));

    Change(s);
    EXPECT_EQ(s.Update(), 0);
    EXPECT_EQ(s.IsModified(), 1);
    EXPECT_EQ(ReadBytes(path), old);

    CSubj in;
    Parse(in, "S:999999,*,04/01/02,12:00,,\nM:new\n.\n");
    EXPECT_EQ(s.Merge(&in), 1);
    EXPECT_EQ(s.IsModified(), 1);
    EXPECT_EQ(ReadBytes(path), old);
    ExpectOnlyStoreAndSettings(dir, "read-only");

    ASSERT_TRUE(File_SetReadOnly(path.c_str(), 0));
    EXPECT_EQ(s.Update(), 1);
    CSubj again;
    again.LoadFile(path.c_str());
    EXPECT_EQ(again.GetCount(), s.GetCount());
    EXPECT_STREQ(again.GetMsg(again.GetCount() - 1), "new\n");
}

#ifndef _WIN32
// The disk full: files may not grow past 256 KB. The settings file (small)
// is written; the store's temporary file hits the limit.
class DiskFull {
public:
    DiskFull()
    {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = signal(SIGXFSZ, SIG_IGN);   // the write fails instead
        struct rlimit small = m_before;
        small.rlim_cur = 256 * 1024;
        m_ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~DiskFull()
    {
        setrlimit(RLIMIT_FSIZE, &m_before);
        signal(SIGXFSZ, m_signal);
    }
    bool Ok() const { return m_ok; }

private:
    struct rlimit m_before;
    void (*m_signal)(int);
    bool m_ok;
};

TEST(StoreFaults, FullDiskLeavesTheOldStore)
{
    TempDir dir;
    std::string path = dir.File("001.zvt");
    const std::string& old = BigStore();
    ASSERT_TRUE(WriteBytes(path, old));
    CSubj s;
    ASSERT_EQ(s.LoadFile(path.c_str()), 1);
    Change(s);
    CSubj in;
    Parse(in, "S:999999,*,04/01/02,12:00,,\nM:new\n.\n");
    {
        DiskFull full;
        ASSERT_TRUE(full.Ok());
        EXPECT_EQ(s.Update(), 0);
        EXPECT_EQ(s.IsModified(), 1);
        EXPECT_EQ(s.Merge(&in), 1);
        EXPECT_EQ(s.IsModified(), 1);
    }
    EXPECT_EQ(ReadBytes(path), old);
    ExpectOnlyStoreAndSettings(dir, "disk full");
    EXPECT_EQ(s.Update(), 1);
    EXPECT_EQ(ReadBytes(path), Written(s));
}
#endif

}  // namespace
