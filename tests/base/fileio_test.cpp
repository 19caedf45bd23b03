#include "base/fileio.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

using subjtest::TempDir;
using subjtest::ReadBytes;

namespace {
size_t CountEntries(const std::string& folder)
{
    std::vector<DirEntry> list;
    Dir_List(folder.c_str(), list);
    return list.size();
}
}

TEST(FileIo, ReplaceWritesExactBytesAndLeavesNoTemporaryFile)
{
    TempDir dir;
    std::string path = dir.File("a.zvt");
    std::string bytes("one\0two\n\x83\x5C", 10);
    ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
    EXPECT_EQ(ReadBytes(path), bytes);
    ASSERT_EQ(File_Replace(path.c_str(), "x", 1), 1);
    EXPECT_EQ(ReadBytes(path), "x");
    EXPECT_EQ(CountEntries(dir.Path()), 1u);

    std::vector<char> padded;
    ASSERT_EQ(File_ReadAll(path.c_str(), padded, 1, 1), 1);
    EXPECT_EQ(std::string(padded.begin(), padded.end()), std::string("\0x\0", 3));
    EXPECT_EQ(File_ReadAll(dir.File("missing").c_str(), padded), 0);
    EXPECT_TRUE(padded.empty());

    char head[4];
    ASSERT_EQ(File_Replace(path.c_str(), "abcdefgh", 8), 1);
    EXPECT_EQ(File_ReadHead(path.c_str(), head, sizeof head), 4);
    EXPECT_EQ(std::string(head, 4), "abcd");
    EXPECT_EQ(File_ReadHead(dir.File("missing").c_str(), head, sizeof head), -1);
}

// Every step of a replacement can fail; the old file must stay whole and no
// temporary file may be left behind, whichever step it was.
TEST(FileIo, FailureAtEveryStepKeepsTheOldFile)
{
    TempDir dir;
    std::string path = dir.File("store.zvt");
    ASSERT_EQ(File_Replace(path.c_str(), "old content\n", 12), 1);

    std::string big(3 << 20, 'n');   // several buffered writes
    FileFault_Set(0);
    {
        CAtomicFile f;
        ASSERT_EQ(f.Open(dir.File("probe").c_str()), 1);
        ASSERT_EQ(f.Write(big.data(), big.size()), 1);
        ASSERT_EQ(f.Commit(), 1);
    }
    int steps = FileFault_Steps();
    ASSERT_GE(steps, 4);   // create, write, flush, replace at least

    for (int k = 1; k <= steps; ++k) {
        FileFault_Set(k);
        CAtomicFile f;
        int ok = f.Open(path.c_str());
        ok = ok && f.Write(big.data(), big.size());
        ok = ok && f.Commit();
        FileFault_Set(0);
        EXPECT_EQ(ok, 0) << "step " << k;
        EXPECT_EQ(ReadBytes(path), "old content\n") << "step " << k;
        EXPECT_EQ(CountEntries(dir.Path()), 2u) << "step " << k;   // store and probe
    }
    FileFault_Set(0);
}

TEST(FileIo, AbandonedWriterRemovesItsTemporaryFile)
{
    TempDir dir;
    std::string path = dir.File("a.zvt");
    ASSERT_EQ(File_Replace(path.c_str(), "keep", 4), 1);
    {
        CAtomicFile f;
        ASSERT_EQ(f.Open(path.c_str()), 1);
        ASSERT_EQ(f.Write("new", 3), 1);
    }
    EXPECT_EQ(ReadBytes(path), "keep");
    EXPECT_EQ(CountEntries(dir.Path()), 1u);
}

TEST(FileIo, ReadOnlyTargetIsNotReplaced)
{
    TempDir dir;
    std::string path = dir.File("ro.zvt");
    ASSERT_EQ(File_Replace(path.c_str(), "old", 3), 1);
    ASSERT_EQ(File_SetReadOnly(path.c_str(), 1), 1);
    EXPECT_EQ(File_Replace(path.c_str(), "new", 3), 0);
    EXPECT_EQ(ReadBytes(path), "old");
    File_SetReadOnly(path.c_str(), 0);
}

TEST(FileIo, FolderHelpers)
{
    TempDir dir;
    std::string sub = dir.File("sub");
    EXPECT_EQ(Dir_Create(sub.c_str()), 1);
    EXPECT_EQ(Dir_Create(sub.c_str()), 1);   // already there
    EXPECT_TRUE(File_IsDir(sub.c_str()));
    std::string f = dir.File("f.txt");
    ASSERT_EQ(File_Replace(f.c_str(), "12345", 5), 1);

    std::vector<DirEntry> list;
    ASSERT_EQ(Dir_List(dir.Path().c_str(), list), 1);
    ASSERT_EQ(list.size(), 2u);
    for (const DirEntry& e : list) {
        if (e.name == "sub")
            EXPECT_TRUE(e.isDir);
        else {
            EXPECT_EQ(e.name, "f.txt");
            EXPECT_FALSE(e.isDir);
            EXPECT_EQ(e.size, 5u);
        }
    }

    uint64_t t1 = 0, size = 0;
    ASSERT_EQ(File_LastWriteTime(f.c_str(), &t1), 1);
    // FILETIME of a file written now: after 2020-01-01.
    EXPECT_GT(t1, 132223104000000000ULL);
    ASSERT_EQ(File_Size(f.c_str(), &size), 1);
    EXPECT_EQ(size, 5u);

    std::string g = dir.File("g.txt");
    EXPECT_EQ(File_Move(f.c_str(), g.c_str()), 1);
    EXPECT_FALSE(File_Exists(f.c_str()));
    ASSERT_EQ(File_Replace(f.c_str(), "other", 5), 1);
    EXPECT_EQ(File_Move(f.c_str(), g.c_str()), 0);   // never over an existing file
    EXPECT_EQ(ReadBytes(g), "12345");
    EXPECT_EQ(File_Delete(g.c_str()), 1);
    EXPECT_EQ(File_Delete(g.c_str()), 0);
}
