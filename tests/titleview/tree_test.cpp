// Tree building: the examples of the title list's description, the deep
// chain, and the builders against the literal reference on random stores.
#include "base/debug.h"
#include "store/Subj.h"
#include "tests/titleview/tree_reference.h"
#include "ui/titleview/TitleTree.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const int32_t U = SUBJ_NO_UNKNOWN;

TreeArticle Art(int32_t no, int32_t pno, uint16_t date, uint16_t time = 0, const char* title = "")
{
    return {no, pno, date, time, title};
}

struct Rows {
    std::vector<int> order, depth;
};

Rows Fast(const std::vector<TreeArticle>& a, bool text, int sortUp)
{
    TitleTree t;
    EXPECT_EQ(text ? Tree_BuildText(a.data(), (int)a.size(), &t) : Tree_BuildNumber(a.data(), (int)a.size(), &t), 1);
    if (sortUp) {
        EXPECT_EQ(Tree_OrderThreads(a.data(), &t), 1);
    }
    return {t.order, std::vector<int>(t.depth.begin(), t.depth.end())};
}

Rows Reference(const std::vector<TreeArticle>& a, bool text, int sortUp)
{
    treeref::Out o = text ? treeref::Text(a.data(), (int)a.size()) : treeref::Number(a.data(), (int)a.size());
    if (sortUp)
        treeref::OrderThreads(a.data(), o);
    return {o.order, o.depth};
}

TEST(TitleTree, ExamplesOfTheDescription)
{
    const uint16_t d = 28 * 512 + 5 * 32 + 1;
    struct Case {
        const char* what;
        std::vector<TreeArticle> articles;
        int sortUp;
        std::vector<int> order, depth;
    } cases[] = {
        {"1, 2 and 3 reply to 1, 4 to 2", {Art(1, U, d), Art(2, 1, d), Art(3, 1, d), Art(4, 2, d)}, 0,
         {0, 1, 3, 2}, {0, 1, 2, 1}},
        {"a reply whose parent is absent is a root where its number puts it",
         {Art(5, U, d), Art(7, 99, d), Art(6, 5, d)}, 0, {0, 2, 1}, {0, 1, 0}},
        {"newest thread first", {Art(1, U, d, 10), Art(2, U, d + 1, 0), Art(3, 1, d + 2)}, 1, {1, 0, 2}, {0, 0, 1}},
        {"an unsent reply stands under its parent", {Art(U, 1, d), Art(1, U, d)}, 0, {1, 0}, {0, 1}},
        {"articles without number come last, as roots", {Art(U, U, d), Art(2, U, d), Art(3, U, d - 1)}, 0, {1, 2, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        Rows r = Fast(c.articles, false, c.sortUp);
        EXPECT_EQ(r.order, c.order) << c.what;
        EXPECT_EQ(r.depth, c.depth) << c.what;
    }
}

TEST(TitleTree, SampleOfIdentifiersChoosesTheTextBuilderAndTheDebugLineSaysWhich)
{
    std::vector<TreeArticle> nums = {Art(1, U, 1), Art(2, 1, 1)};
    std::vector<TreeArticle> ids = {Art(SUBJ_NO_ID | 1, U, 1), Art(SUBJ_NO_ID | 2, SUBJ_NO_ID | 1, 2)};
    for (auto* c : {&nums, &ids}) {
        bool text = c == &ids;
        EXPECT_EQ(Tree_UsesTextBuilder(c->data(), (int)c->size()), text ? 1 : 0);
        Debug_BeginCapture();
        TitleTree t;
        ASSERT_EQ(Tree_Build(c->data(), (int)c->size(), 1, &t), 1);
        std::string log = Debug_Take();
        Debug_EndCapture();
        EXPECT_EQ(log.rfind(text ? "ツリー構築時間(Str)" : "ツリー構築時間(Num)", 0), 0u) << log;
        EXPECT_EQ(t.order, (std::vector<int>{0, 1}));
        EXPECT_EQ(t.depth[1], 1);
    }
    // The text builder: articles without a parent are roots with their
    // replies; replies whose parent is missing go in by day.
    std::vector<TreeArticle> mixed = {Art(SUBJ_NO_ID | 1, U, 10), Art(SUBJ_NO_ID | 2, SUBJ_NO_ID | 9, 11),
                                      Art(SUBJ_NO_ID | 3, U, 12), Art(SUBJ_NO_ID | 4, SUBJ_NO_ID | 1, 13)};
    Rows r = Fast(mixed, true, 0);
    EXPECT_EQ(r.order, (std::vector<int>{0, 3, 1, 2}));
    EXPECT_EQ(r.depth, (std::vector<int>{0, 1, 0, 0}));
}

TEST(TitleTree, ReplyChainDeeperThanTheDepthFieldIsBuiltAndHeld)
{
    const int n = 70000;
    std::vector<TreeArticle> a;
    for (int i = 0; i < n; ++i)
        a.push_back(Art(i + 1, i ? i : U, 1));
    for (bool text : {false, true}) {
        std::vector<TreeArticle> b = a;
        if (text)
            for (TreeArticle& x : b) {
                x.no |= SUBJ_NO_ID;
                if (x.pno != U)
                    x.pno |= SUBJ_NO_ID;
            }
        TitleTree t;
        ASSERT_EQ(Tree_Build(b.data(), n, 1, &t), 1);
        ASSERT_EQ(t.order.size(), (size_t)n);
        EXPECT_EQ(t.order[n - 1], n - 1);
        EXPECT_EQ(t.depth[65535], 65535);
        EXPECT_EQ(t.depth[n - 1], 65535);
        EXPECT_EQ(t.maxDepth, 65535);
    }
}

TEST(TitleTree, EmptyStore)
{
    TitleTree t;
    EXPECT_EQ(Tree_Build(nullptr, 0, 1, &t), 1);
    EXPECT_TRUE(t.order.empty());
}

// Random stores: numbers from a small range (duplicates, parents that are
// missing or point forward), identifiers, unsent articles, equal dates,
// times and titles.
std::vector<TreeArticle> RandomStore(std::mt19937& rng, int n, bool ids, bool sparse)
{
    static const char* titles[] = {"", "a", "b", "Re: a", "\x82\xa0"};
    std::vector<TreeArticle> a;
    int range = n + 3;
    for (int i = 0; i < n; ++i) {
        TreeArticle x;
        // Sparse numbers are spread too far apart for a table.
        auto number = [&](int v) {
            if (sparse)
                v = (int)((uint32_t)v * 2654435761u % 2000000000u);
            return ids && rng() % 4 ? (int32_t)(SUBJ_NO_ID | v) : (int32_t)v;
        };
        x.no = rng() % 12 == 0 ? U : number((int)(rng() % range));
        x.pno = rng() % 3 == 0 ? U : number((int)(rng() % range));
        x.date = (uint16_t)(36 * 512 + rng() % 6);
        x.time = (uint16_t)(rng() % 3);
        x.title = titles[rng() % 5];
        a.push_back(x);
    }
    return a;
}

TEST(TitleTree, BuildersGiveTheRowsOfTheLiteralAlgorithm)
{
    std::mt19937 rng(20261208);
    for (int round = 0; round < 360; ++round) {
        int n = round < 300 ? 1 + (int)(rng() % 40) : 200 + (int)(rng() % 300);
        bool ids = round % 2;
        std::vector<TreeArticle> a = RandomStore(rng, n, ids, round % 3 == 2);
        for (bool text : {false, true})
            for (int sortUp : {0, 1}) {
                Rows fast = Fast(a, text, sortUp), ref = Reference(a, text, sortUp);
                ASSERT_EQ(fast.order, ref.order) << "round " << round << " text " << text << " up " << sortUp;
                ASSERT_EQ(fast.depth, ref.depth) << "round " << round << " text " << text << " up " << sortUp;
            }
    }
}

// Stores as boards keep them: numbers counting up (a few left out), replies
// to an article a little before, dates that grow with the number: without
// ties every article is later than the one before it; with ties some share
// the minute of the one before, and with ties 2 now and then one is older.
// With odd 1, a few articles repeat the number before them or are unsent;
// with odd 2, a few reply to themselves or to a later number.
std::vector<TreeArticle> BoardStore(std::mt19937& rng, int n, int ties, int odd)
{
    static const char* titles[] = {"", "a", "Re: a"};
    std::vector<TreeArticle> a;
    int32_t no = 1000 + (int32_t)(rng() % 50);
    uint32_t key = 36u * 512u << 16;
    for (int i = 0; i < n; ++i) {
        TreeArticle x;
        if (!(odd == 1 && rng() % 10 == 0))
            no += 1 + (rng() % 8 == 0 ? (int32_t)(rng() % 3) : 0);
        x.no = no;
        x.pno = i > 0 && rng() % 2 ? no - 1 - (int32_t)(rng() % 12) : U;
        if (odd == 2 && rng() % 12 == 0)
            x.pno = no + (int32_t)(rng() % 3);
        if (odd == 1 && rng() % 12 == 0)
            x.no = U;
        key += ties && rng() % 3 == 0 ? 0 : 1 + rng() % 5;
        if (ties == 2 && rng() % 10 == 0)
            key -= 1 + rng() % 3;
        x.date = (uint16_t)(key >> 16);
        x.time = (uint16_t)key;
        x.title = titles[rng() % 3];
        a.push_back(x);
    }
    return a;
}

TEST(TitleTree, BoardLikeStoresGiveTheRowsOfTheLiteralAlgorithm)
{
    std::mt19937 rng(8122026);
    for (int round = 0; round < 120; ++round) {
        int n = 1 + (int)(rng() % (round < 90 ? 60 : 400));
        std::vector<TreeArticle> a = BoardStore(rng, n, round % 3, round % 4 == 3 ? 1 + round / 4 % 2 : 0);
        for (bool text : {false, true})
            for (int sortUp : {0, 1}) {
                Rows fast = Fast(a, text, sortUp), ref = Reference(a, text, sortUp);
                ASSERT_EQ(fast.order, ref.order) << "round " << round << " text " << text << " up " << sortUp;
                ASSERT_EQ(fast.depth, ref.depth) << "round " << round << " text " << text << " up " << sortUp;
            }
    }
}

}  // namespace
