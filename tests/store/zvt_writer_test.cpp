// The ZVT writer at scale: record lines formatted by hand must read exactly
// as the printf formats they stand for, and a file written in pieces must
// hold the same bytes as the collection's serialisation.
#include "store/Subj.h"

#include "bench/store_gen.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <random>
#include <stdio.h>
#include <string>

using namespace subjtest;

namespace {

TEST(ZvtWriter, RecordLinesAreFormattedAsPrintfWould)
{
    std::mt19937 rng(99);
    const uint32_t kEdges[] = {0, 1, 9, 10, 59, 60, 99, 100, 599, 600, 5999, 6000, 65535};
    for (int round = 0; round < 2000; ++round) {
        CSubj s;
        SubjItem it;
        CSubj::InitItem(&it);
        it.no = (int32_t)(rng() % 4 == 0 ? rng() % 0x7FFFFFFF : rng() % 100000);
        it.pno = rng() % 3 == 0 ? SUBJ_NO_UNKNOWN : (int32_t)(rng() % 0x7FFFFFFF);
        it.date = (uint16_t)(rng() % 2 ? rng() % 65536 : kEdges[rng() % 13]);
        it.time = (uint16_t)(rng() % 2 ? rng() % 65536 : kEdges[rng() % 13]);
        it.atr = (uint8_t)(rng() & 0x7F);
        uint32_t colors[] = {SUBJ_NO_COLOR, 0, 0xF, 0xFFFFFF, 0x1000000, 0xFFFFFFFE, (uint32_t)rng()};
        it.color = colors[rng() % 7];
        it.msg = CSubj::AllocText("m");
        s.Append(it);
        std::string w = Written(s);
        size_t at = w.find("S:");
        std::string line = w.substr(at, w.find('\n', at) - at + 1);

        std::string flags;
        const struct {
            uint8_t bit;
            char letter;
        } kFlags[] = {{ATR_N, 'N'}, {ATR_U, 'U'}, {ATR_B, 'B'}, {ATR_O, 'O'}, {ATR_R, 'R'}, {ATR_V, 'V'}};
        for (const auto& f : kFlags)
            if (it.atr & f.bit)
                flags += f.letter;
        char color[16] = "";
        if (it.color != SUBJ_NO_COLOR)
            snprintf(color, sizeof color, "%06X", (unsigned)it.color);
        char pno[16] = "*";
        if (it.pno != SUBJ_NO_UNKNOWN)
            snprintf(pno, sizeof pno, "%ld", (long)it.pno);
        char want[160];
        snprintf(want, sizeof want, "S:%ld,%s,%02d/%02d/%02d,%2d:%02d,%s,%s\n", (long)it.no, pno,
                 (1970 + (it.date >> 9)) % 100, (it.date >> 5) & 15, it.date & 31, it.time / 60, it.time % 60,
                 flags.c_str(), color);
        ASSERT_EQ(line, want) << "round " << round;
    }
}

TEST(ZvtWriter, UpdateWritesInPiecesTheBytesOfTheSerialisation)
{
    for (int ids = 0; ids <= 1; ++ids) {
        TempDir dir;
        std::string path = dir.File("big.zvt");
        storegen::Board board(5 + ids, ids != 0);
        std::string text = board.Store(3000);   // over a megabyte: several pieces
        ASSERT_GT(text.size(), 1u << 20);
        ASSERT_TRUE(WriteBytes(path, text));
        CSubj s;
        ASSERT_EQ(s.LoadFile(path.c_str()), 1);
        ASSERT_EQ(s.GetCount(), 3000);
        // The generator writes as the main program does: nothing changes.
        EXPECT_EQ(Written(s), text);
        s.SetAtr(2999, 0, ATR_R);
        ASSERT_EQ(s.Update(), 1);
        EXPECT_EQ(s.IsModified(), 0);
        std::string file = ReadBytes(path);
        EXPECT_EQ(file, Written(s));
        EXPECT_NE(file, text);
    }
}

}  // namespace
