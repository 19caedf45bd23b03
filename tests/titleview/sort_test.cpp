// Flat sorts and the switches between flat and tree display.
#include "store/Subj.h"
#include "ui/titleview/TitleSort.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleOrder, FourClicksOnNoComeBackToFlatDescending)
{
    TitleOrder o = {0, SORT_NUMBER, 0};
    const TitleOrder want[] = {{0, 0, 1}, {1, 0, 0}, {1, 0, 1}, {0, 0, 0}};
    for (const TitleOrder& w : want) {
        TitleOrder_ClickColumn(&o, 0);
        EXPECT_EQ(o.tree, w.tree);
        EXPECT_EQ(o.clmsort, w.clmsort);
        EXPECT_EQ(o.clmsortup, w.clmsortup);
    }
}

TEST(TitleOrder, KeysLeaveTheTreeAscendingAndTheSameKeyTurnsTheDirection)
{
    struct Step {
        const char* what;
        int action;   // 0..3 a key, 4 the tree command, 5+c a click on column c
        TitleOrder after;
    } steps[] = {
        {"key in the tree: flat, ascending", SORT_DATE, {0, 3, 1}},
        {"same key: descending", SORT_DATE, {0, 3, 0}},
        {"other key: ascending", SORT_TITLE, {0, 1, 1}},
        {"column 発言者", 5 + 2, {0, 2, 1}},
        {"column 発言者 again", 5 + 2, {0, 2, 0}},
        {"tree from flat: CLMSORTUP 1", 4, {1, 2, 1}},
        {"tree in the tree: thread order turned", 4, {1, 2, 0}},
        {"column 日時 leaves the tree", 5 + 3, {0, 3, 1}},
    };
    TitleOrder o = {1, 0, 1};
    for (const Step& s : steps) {
        if (s.action < 4)
            TitleOrder_ChooseKey(&o, s.action);
        else if (s.action == 4)
            TitleOrder_Tree(&o);
        else
            TitleOrder_ClickColumn(&o, s.action - 5);
        EXPECT_EQ(o.tree, s.after.tree) << s.what;
        EXPECT_EQ(o.clmsort, s.after.clmsort) << s.what;
        EXPECT_EQ(o.clmsortup, s.after.clmsortup) << s.what;
    }
}

TEST(TitleSort, EachKeyBothDirections)
{
    // Numbers compare unsigned: identifiers and "*" after plain numbers.
    std::vector<TreeArticle> a = {
        {30, SUBJ_NO_UNKNOWN, 100, 5, "b"},
        {SUBJ_NO_UNKNOWN, SUBJ_NO_UNKNOWN, 100, 4, "\x82\xa0"},
        {(int32_t)(SUBJ_NO_ID | 2), SUBJ_NO_UNKNOWN, 99, 0, "a"},
        {7, SUBJ_NO_UNKNOWN, 101, 0, "c"},
    };
    const char* names[] = {"y", "x", "z", "w"};
    struct Case {
        int key;
        std::vector<int> up;
    } cases[] = {{SORT_NUMBER, {3, 0, 1, 2}}, {SORT_TITLE, {2, 0, 3, 1}}, {SORT_AUTHOR, {3, 1, 0, 2}},
                 {SORT_DATE, {2, 1, 0, 3}}};
    for (const Case& c : cases)
        for (int up : {1, 0}) {
            std::vector<int> rows = {0, 1, 2, 3};
            TitleSort_Flat(a.data(), names, c.key, up, rows.data(), 4);
            std::vector<int> want = c.up;
            if (!up)
                std::reverse(want.begin(), want.end());
            EXPECT_EQ(rows, want) << c.key << " " << up;
        }
}

}  // namespace
