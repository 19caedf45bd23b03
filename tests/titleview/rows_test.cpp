// The row map over a collection: tree and flat orders, the tree lines, the
// row refresh keeps current, and the history ring.
#include "tests/store/subj_testutil.h"
#include "ui/titleview/History.h"
#include "ui/titleview/TitleRows.h"

#include <gtest/gtest.h>

namespace {

// 1; 2 and 3 reply to 1; 4 replies to 2; 5 is a root of its own.
const char kStore[] =
    "#T:板\n"
    "S:1,*,26/12/01,10:00,N\nT:一\nN:a\nM:x\n.\n"
    "S:2,1,26/12/02,10:00,\nT:二\nN:b\nM:x\n.\n"
    "S:3,1,26/12/03,10:00,\nT:三\nN:c\nM:x\n.\n"
    "S:4,2,26/12/04,10:00,\nT:四\nN:d\nM:x\n.\n"
    "S:5,*,26/12/02,11:00,\nT:五\nN:e\nM:x\n.\n";

TEST(TitleRows, TreeAndFlatMapsBothWays)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    CTitleRows rows;
    struct Case {
        TitleOrder order;
        std::vector<int> articles;
    } cases[] = {
        {{1, 0, 0}, {0, 1, 3, 2, 4}},   // builder order
        {{1, 0, 1}, {4, 0, 1, 3, 2}},   // the thread of the newer root first
        {{0, SORT_DATE, 0}, {3, 2, 4, 1, 0}},
        {{0, SORT_NUMBER, 1}, {0, 1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(rows.Build(s, c.order), 1);
        ASSERT_EQ(rows.Count(), 5);
        for (int r = 0; r < 5; ++r) {
            EXPECT_EQ(rows.Article(r), c.articles[(size_t)r]) << r;
            EXPECT_EQ(rows.Row(c.articles[(size_t)r]), r);
        }
        EXPECT_EQ(rows.Article(-1), -1);
        EXPECT_EQ(rows.Article(5), -1);
        EXPECT_EQ(rows.Row(5), -1);
    }
}

TEST(TitleRows, TreeLinesFollowSiblingsBelow)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    CTitleRows rows;
    ASSERT_EQ(rows.Build(s, {1, 0, 0}), 1);   // 1, 2, 4, 3, 5 at depths 0, 1, 2, 1, 0
    struct Case {
        int row;
        std::vector<char> continues;
        int down;
    } cases[] = {{0, {}, 1}, {1, {1}, 1}, {2, {1, 0}, 0}, {3, {0}, 0}, {4, {}, 0}};
    std::vector<char> cont;
    for (const Case& c : cases) {
        int down = -1;
        rows.Lines(c.row, 100, cont, &down);
        EXPECT_EQ(cont, c.continues) << c.row;
        EXPECT_EQ(down, c.down) << c.row;
    }
    int down = 0;
    rows.Lines(2, 1, cont, &down);
    EXPECT_EQ(cont.size(), 1u);   // only the levels asked for
}

TEST(TitleRows, RefreshChoosesTheCurrentRow)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    CTitleRows rows;
    ASSERT_EQ(rows.Build(s, {1, 0, 0}), 1);
    struct Case {
        const char* what;
        int searching, first, article, row, gone, want;
    } cases[] = {
        {"a search steps across folders", 1, 1, 2, 1, 0, -1},
        {"first row asked for", 0, 1, 2, 1, 0, 0},
        {"the article that was current", 0, 0, 2, 1, 0, 3},
        {"gone: the same row", 0, 0, 2, 1, 1, 1},
        {"gone: held to the last row", 0, 0, 9, 9, 1, 4},
        {"nothing was current", 0, 0, -1, -1, 1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Title_ChooseRow(rows, c.searching, c.first, c.article, c.row, c.gone), c.want) << c.what;
    CSubj empty;
    ASSERT_EQ(rows.Build(empty, {1, 0, 1}), 1);
    EXPECT_EQ(Title_ChooseRow(rows, 0, 1, -1, -1, 1), -1);
}

TEST(History, SeventyVisitsKeepTheLastSixtyThree)
{
    CHistory h;
    for (int i = 1; i <= 70; ++i)
        h.Push("C:\\data\\板\\001.zvt", i);
    HistorySlot s;
    int backs = 0, last = 70;
    while (h.Back(&s)) {
        ++backs;
        EXPECT_EQ(s.row, last - 1);
        last = s.row;
    }
    EXPECT_EQ(backs, 62);   // from visit 70 back to visit 8: 63 visits
    EXPECT_EQ(last, 8);
    ASSERT_TRUE(h.Next(&s));
    EXPECT_EQ(s.row, 9);
    // A new visit clears what was ahead.
    h.Push("x", 100);
    EXPECT_FALSE(h.Next(&s));
    ASSERT_TRUE(h.Back(&s));
    EXPECT_EQ(s.row, 9);
}

TEST(History, EmptyRingGoesNowhere)
{
    CHistory h;
    HistorySlot s;
    EXPECT_FALSE(h.Back(&s));
    EXPECT_FALSE(h.Next(&s));
    h.Push("a", 1);
    EXPECT_FALSE(h.Back(&s));   // one visit: nothing before it
}

}  // namespace
