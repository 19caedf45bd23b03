// CSubj::Merge finds partners through an index; the literal merge (a scan
// of the whole store per incoming article, merge_reference.h) is the
// reference. Both run on the same random stores and incoming lists and must
// leave the same file bytes, return the same counts and end in the same
// state.
#include "store/Subj.h"

#include "bench/store_gen.h"
#include "merge_reference.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include <string>

using namespace subjtest;

namespace {

// Records drawn from small pools, so that numbers, identifiers and heads
// collide often: duplicates, unknown numbers, identifiers in both cases,
// every flag, texts that normalisation changes.
std::string RandomRecords(std::mt19937& rng, int n, bool incoming)
{
    static const char* const kNo[] = {"1", "2", "3", "4", "7", "*", "*", "Sa", "sa", "Sb", "Sc", "0"};
    static const char* const kFlags[] = {"", "", "", "N", "V", "O", "D", "VO", "OD", "VD", "NR", "UB", "R"};
    static const char* const kMsg[] = {"x", "y", "x\n\n", "", " \n", "x\n \t\n", "ｘ　\n\n", "y\nz"};
    static const char* const kTitle[] = {"t", "u", "題"};
    static const char* const kName[] = {"", "a", "名"};
    std::string t;
    for (int i = 0; i < n; ++i) {
        std::string flags = kFlags[rng() % 13];
        if (!incoming && rng() % 2)
            flags.erase(std::remove(flags.begin(), flags.end(), 'D'), flags.end());
        t += std::string("S:") + kNo[rng() % 12] + "," + kNo[rng() % 12] + ",04/01/0" + std::to_string(1 + rng() % 2) +
             ",12:0" + std::to_string(rng() % 2) + "," + flags + "," + (rng() % 4 ? "" : "00FF00") + "\n";
        if (rng() % 4)
            t += std::string("T:") + kTitle[rng() % 3] + "\n";
        if (const char* name = kName[rng() % 3]; *name)
            t += std::string("N:") + name + "\n";
        if (rng() % 5 == 0)
            t += "E:e@x\n";
        if (rng() % 7 == 0)
            t += "H:http://h/\n";
        t += std::string("M:") + kMsg[rng() % 8] + "\n.\n";
    }
    return t;
}

struct Pair {
    TempDir dirA, dirB;
    CSubj a, b;   // a: the merge under test, b: the literal merge
    bool files;

    Pair(const std::string& store, bool withFiles) : files(withFiles)
    {
        if (files) {
            // Stores with a file: the merge writes it when something changed.
            WriteBytes(dirA.File("001.zvt"), store);
            WriteBytes(dirB.File("001.zvt"), store);
            a.LoadFile(dirA.File("001.zvt").c_str());
            b.LoadFile(dirB.File("001.zvt").c_str());
        } else {
            Parse(a, store);
            Parse(b, store);
        }
    }

    void MergeAndCompare(const std::string& text, const std::string& where)
    {
        CSubj inA, inB;
        Parse(inA, text);
        Parse(inB, text);
        int na = a.Merge(&inA);
        int nb = mergeref::Merge(b, inB);
        ASSERT_EQ(na, nb) << where;
        ASSERT_EQ(a.GetCount(), b.GetCount()) << where;
        ASSERT_EQ(a.Capacity(), b.Capacity()) << where;
        ASSERT_EQ(a.OwnedTexts(), b.OwnedTexts()) << where;
        ASSERT_EQ(a.IsModified(), b.IsModified()) << where;
        ASSERT_EQ(Written(a), Written(b)) << where;
        for (int t = 0; t < CSubj::A_COUNT; ++t) {
            ASSERT_EQ(a.Atoms((CSubj::AtomTable)t).Top(), b.Atoms((CSubj::AtomTable)t).Top()) << where;
        }
        for (int j = 0; j < a.GetCount(); ++j) {
            const SubjItem& x = a.GetItem(j);
            const SubjItem& y = b.GetItem(j);
            ASSERT_TRUE(x.no == y.no && x.pno == y.pno && x.title == y.title && x.name == y.name &&
                        x.email == y.email && x.hp == y.hp && x.color == y.color && x.atr == y.atr)
                << where << " record " << j;
        }
        if (files) {
            ASSERT_EQ(ReadBytes(dirA.File("001.zvt")), ReadBytes(dirB.File("001.zvt"))) << where;
        }
    }
};

TEST(MergeIndex, SameResultsAsTheLiteralScanOnRandomMerges)
{
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        Pair pair(RandomRecords(rng, rng() % 40, false), round % 10 == 0);
        // Several merges in a row, so that records appended, replaced and
        // deleted by one merge meet the next one.
        for (int step = 0; step < 3; ++step)
            pair.MergeAndCompare(RandomRecords(rng, 1 + rng() % 30, true),
                                 "round " + std::to_string(round) + " step " + std::to_string(step));
        if (HasFatalFailure())
            return;
    }
}

// A store at the edge of the array's capacity: deletions and appends in one
// merge must grow the array exactly when the literal merge does.
TEST(MergeIndex, ArrayGrowsWhenTheLiteralMergeWouldAcrossDeletes)
{
    std::mt19937 rng(7);
    for (int round = 0; round < 12; ++round) {
        std::string store;
        int n = 1990 + (int)(rng() % 10);
        for (int k = 0; k < n; ++k)
            store += "S:" + std::to_string(k) + ",*,04/01/02,12:00,,\nM:m" + std::to_string(k) + "\n.\n";
        std::string in;
        for (int k = 0; k < 30; ++k) {
            int no = (int)(rng() % (n + 20));
            in += "S:" + std::to_string(no) + ",*,04/01/02,12:00," + (rng() % 2 ? "D" : "") + ",\nM:new" +
                  std::to_string(k) + "\n.\n";
        }
        Pair pair(store, false);
        pair.MergeAndCompare(in, "round " + std::to_string(round));
        if (HasFatalFailure())
            return;
    }
}

// Realistic boards: a store of a few thousand generated articles and a
// plug-in's output of recent, new, overwritten, virtual and deleted ones.
TEST(MergeIndex, SameResultsOnGeneratedBoards)
{
    std::mt19937 rng(31);
    for (int ids = 0; ids <= 1; ++ids) {
        storegen::Board board(40 + ids, ids != 0);
        Pair pair(board.Store(4000), true);
        std::string in;
        storegen::Board::Header(in, "ベンチマーク用の掲示板", 0, 0);
        static const char* const kFlags[] = {"", "", "", "", "V", "O", "D", "N"};
        for (int k = 0; k < 1500; ++k) {
            uint32_t serial = 3000 + (uint32_t)(rng() % 1500);   // some stored, some new
            board.Article(in, serial, true, kFlags[rng() % 8]);
        }
        pair.MergeAndCompare(in, ids ? "identifier board" : "numbered board");
        pair.MergeAndCompare(in, ids ? "identifier board again" : "numbered board again");
    }
}

}  // namespace
