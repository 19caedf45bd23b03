#include "base/writebehind.h"
#include "base/fileio.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <stdlib.h>

using subjtest::ReadBytes;
using subjtest::TempDir;

namespace {
// Pieces of many sizes: below and above the size written without a copy,
// and of a few MB; each filled with its own byte pattern.
std::vector<std::string> Pieces()
{
    std::vector<std::string> out;
    const size_t sizes[] = {1, 100, 70 * 1024, 3 << 20, 0, 64 * 1024, 1 << 20, 5, 2 << 20, 33};
    for (size_t i = 0; i < sizeof sizes / sizeof sizes[0]; ++i) {
        std::string p(sizes[i], 0);
        for (size_t k = 0; k < p.size(); ++k)
            p[k] = (char)('A' + (k * 7 + i) % 26);
        out.push_back(p);
    }
    return out;
}

// Writes the pieces through a CWriteBehind; 1 when every step succeeded.
int WritePieces(const std::string& path, const std::vector<std::string>& pieces)
{
    CAtomicFile f;
    if (!f.Open(path.c_str()))
        return 0;
    CWriteBehind w(f);
    for (size_t i = 0; i + 1 < pieces.size(); ++i) {
        w.Piece() = pieces[i];
        if (!w.Pass(pieces[i].size()))
            return 0;
    }
    w.Piece() = pieces.back();
    if (!w.Finish(pieces.back().size()))
        return 0;
    return f.Commit();
}
}

TEST(WriteBehind, PiecesArriveWholeAndInOrder)
{
    TempDir dir;
    std::string path = dir.File("a.zvt");
    std::vector<std::string> pieces = Pieces();
    std::string all;
    for (const std::string& p : pieces)
        all += p;
    ASSERT_EQ(WritePieces(path, pieces), 1);
    EXPECT_EQ(ReadBytes(path), all);

    // One piece: written by the caller.
    ASSERT_EQ(WritePieces(path, {"one piece\n"}), 1);
    EXPECT_EQ(ReadBytes(path), "one piece\n");
}

// A step that fails on the writing thread is reported to the caller by the
// next hand-over or at the end; the old file stays and no temporary is left.
TEST(WriteBehind, AFailedStepOnTheThreadKeepsTheOldFile)
{
    TempDir dir;
    std::string path = dir.File("a.zvt");
    ASSERT_EQ(File_Replace(path.c_str(), "old\n", 4), 1);
    std::vector<std::string> pieces = Pieces();
    FileFault_Set(0);
    ASSERT_EQ(WritePieces(dir.File("probe").c_str(), pieces), 1);
    int steps = FileFault_Steps();
    ASSERT_GE(steps, 8);
    for (int k = 1; k <= steps; ++k) {
        FileFault_Set(k);
        int ok = WritePieces(path, pieces);
        FileFault_Set(0);
        EXPECT_EQ(ok, 0) << "step " << k;
        EXPECT_EQ(ReadBytes(path), "old\n") << "step " << k;
        std::vector<DirEntry> list;
        Dir_List(dir.Path().c_str(), list);
        EXPECT_EQ(list.size(), 2u) << "step " << k;   // a.zvt and probe
    }
}

TEST(FileIo, ReadBlockHoldsTheFileBetweenZeroPads)
{
    TempDir dir;
    std::string path = dir.File("a.zvt");
    std::string bytes("S:1\0x\n", 6);
    ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
    size_t size = 99;
    char* block = File_ReadBlock(path.c_str(), &size, 1, 2);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, bytes.size());
    EXPECT_EQ(std::string(block, size + 3), std::string("\0", 1) + bytes + std::string("\0\0", 2));
    free(block);

    ASSERT_EQ(File_Replace(path.c_str(), "", 0), 1);
    block = File_ReadBlock(path.c_str(), &size, 1, 1);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[1], 0);
    free(block);

    EXPECT_EQ(File_ReadBlock(dir.File("missing").c_str(), &size, 1, 1), nullptr);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(File_ReadBlock(dir.Path().c_str(), &size), nullptr);   // a folder
}

// Replacing a large file (its blocks are released on another thread) gives
// the new bytes every time, and nothing else is left in the folder.
TEST(FileIo, LargeFilesReplaceOneAnother)
{
    TempDir dir;
    std::string path = dir.File("big.zvt");
    for (int round = 0; round < 3; ++round) {
        std::string bytes((9 << 20) + round, (char)('a' + round));
        ASSERT_EQ(File_Replace(path.c_str(), bytes.data(), bytes.size()), 1);
        EXPECT_TRUE(ReadBytes(path) == bytes) << "round " << round;
    }
    std::vector<DirEntry> list;
    Dir_List(dir.Path().c_str(), list);
    EXPECT_EQ(list.size(), 1u);
}
