// The title view's commands: clipboard text, marks, the order of removals
// and copies across a tree display, parents, composer fields and drop
// targets.
#include "res/resource.h"
#include "tests/store/subj_testutil.h"
#include "ui/titleview/TitleCommands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// 1 (with e-mail and home page); 2 and 3 reply to 1; 4 replies to 2; an
// unsent reply to 4; Sabc an identifier root; a parentless article; 9
// answers the missing 8.
const char kStore[] =
    "#T:板\n#P:POST,x,new\n#F:POST,x,follow\n"
    "S:1,*,26/12/01,10:00,N\nT:最初\nN:一郎\nE:a@example.jp\nH:http://example.jp/\nM:本文1\n.\n"
    "S:2,1,26/12/02,10:05,\nT:Re: 最初\nN:二郎\nM:本文2\n.\n"
    "S:3,1,26/12/03,11:00,\nT:RE:最初\nN:三郎\nP:-\nF:POST,own,follow\nM:本文3\n.\n"
    "S:4,2,26/12/04,12:00,N\nT:re: re: 最初\nN:四郎\nM:本文4\n.\n"
    "S:*,4,26/12/05,13:00,U\nT:書きかけ\nN:\nM:下書き\n.\n"
    "S:Sabc,*,26/12/06,14:00,\nT:識別子\nN:五郎\nM:本文abc\n.\n"
    "S:*,*,26/12/07,15:00,U\nT:新規\nN:\nM:新しい話\n.\n"
    "S:9,8,26/12/08,16:00,\nT:迷子\nN:六郎\nM:本文9\n.\n";

std::vector<std::string> Titles(CSubj& s, const std::vector<int>& articles)
{
    std::vector<std::string> out;
    for (int a : articles)
        out.push_back(s.GetTitle(a));
    return out;
}

TEST(TitleCopy, ClipboardTextOfEachKindOfArticle)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    struct Case {
        int article;
        const char* text;
    } cases[] = {
        {0, "【タイトル】最初\r\n【記事番号】1\r\n【  日時  】26/12/01 10:00\r\n【 発言者 】一郎 <a@example.jp>"
            "\r\n【 リンク 】http://example.jp/\r\n\r\n\r\n本文1\n\r\n\r\n"},
        {4, "【タイトル】書きかけ\r\n【記事番号】* (4)\r\n【  日時  】26/12/05 13:00\r\n【 発言者 】\r\n下書き\n\r\n\r\n"},
        {5, "【タイトル】識別子\r\n【記事番号】abc\r\n【  日時  】26/12/06 14:00\r\n【 発言者 】五郎\r\n本文abc\n\r\n\r\n"},
        {6, "【タイトル】新規\r\n【  日時  】26/12/07 15:00\r\n【 発言者 】\r\n新しい話\n\r\n\r\n"},
    };
    std::string all;
    for (const Case& c : cases) {
        EXPECT_EQ(TitleCopy_Text(s, {c.article}), c.text) << c.article;
        all += c.text;
    }
    // Several rows: one after the other, in the order given.
    EXPECT_EQ(TitleCopy_Text(s, {0, 4, 5, 6}), all);
}

TEST(TitleMark, WhichArticlesEachMarkCommandChanges)
{
    const int32_t root = SUBJ_NO_UNKNOWN, reply = 1;
    struct Case {
        int id;
        uint8_t atr;
        int32_t pno;
        int applies, clear, set;
    } cases[] = {
        {ID_MARK_UNREAD, 0, reply, 1, 0, ATR_N},   {ID_MARK_UNREAD, ATR_U, root, 1, 0, ATR_N},
        {ID_MARK_READ, ATR_N, root, 1, ATR_N, 0},  {ID_HOLD, ATR_U, reply, 1, 0, ATR_B},
        {ID_HOLD, 0, reply, 0, 0, 0},              {ID_SEND_NEXT, ATR_U | ATR_B, root, 1, ATR_B, 0},
        {ID_SEND_NEXT, ATR_B, root, 0, 0, 0},      {ID_PATROL_MARK, 0, root, 1, 0, ATR_R},
        {ID_PATROL_MARK, 0, reply, 0, 0, 0},       {ID_PATROL_MARK, ATR_U, root, 0, 0, 0},
        {ID_PATROL_UNMARK, ATR_R, root, 1, ATR_R, 0}, {ID_COPY, 0, root, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int clear = -1, set = -1;
        ASSERT_EQ(TitleMark_Change(c.id, c.atr, c.pno, &clear, &set), c.applies) << c.id << " " << (int)c.atr;
        if (c.applies) {
            EXPECT_EQ(clear, c.clear) << c.id;
            EXPECT_EQ(set, c.set) << c.id;
        }
    }
}

TEST(TitleRemove, SelectionsAcrossTheTreeLoseExactlyTheirArticles)
{
    struct Case {
        std::vector<int> rows;   // selected rows of the tree display
        int rowAfter;
    } cases[] = {
        {{1}, 1},         // one reply
        {{0, 2, 5}, 0},   // a root, a deeper reply, another thread's root
        {{3, 4}, 3},      // two neighbours
        {{7}, 7},         // the last row
        {{}, -1},
    };
    for (const Case& c : cases) {
        CSubj s;
        subjtest::Parse(s, kStore);
        CTitleRows rows;
        ASSERT_TRUE(rows.Build(s, TitleOrder{1, 0, 0}));
        std::vector<std::string> kept, all = Titles(s, {0, 1, 2, 3, 4, 5, 6, 7});
        for (int r = 0; r < rows.Count(); ++r)
            if (std::find(c.rows.begin(), c.rows.end(), r) == c.rows.end())
                kept.push_back(s.GetTitle(rows.Article(r)));
        TitleRemovePlan plan = Title_PlanRemove(rows, c.rows);
        EXPECT_TRUE(std::is_sorted(plan.articles.rbegin(), plan.articles.rend()));
        for (int a : plan.articles)
            s.Delete(a);
        std::vector<std::string> left;
        for (int a = 0; a < s.GetCount(); ++a)
            left.push_back(s.GetTitle(a));
        std::sort(kept.begin(), kept.end());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, kept) << c.rows.size();
        EXPECT_EQ(plan.rowAfter, c.rowAfter);
    }
}

TEST(TitleRemove, CopiesGoFromTheLastSelectedRowUp)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    CTitleRows rows;
    ASSERT_TRUE(rows.Build(s, TitleOrder{1, 0, 0}));
    std::vector<int> order = Title_CopyOrder(rows, {2, 0, 5});
    EXPECT_EQ(order, (std::vector<int>{rows.Article(5), rows.Article(2), rows.Article(0)}));
}

TEST(TitleParent, ParentRowAndTextWithParent)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    CTitleRows rows;
    ASSERT_TRUE(rows.Build(s, TitleOrder{0, 0, 1}));   // flat by number
    struct Case {
        int article, parent;
    } cases[] = {{3, 1}, {4, 3}, {1, 0}, {0, -1}, {7, -1}, {5, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(Title_ParentArticle(s, c.article), c.parent) << c.article;
        int row = Title_ParentRow(rows, s, c.article);
        EXPECT_EQ(row < 0 ? -1 : rows.Article(row), c.parent) << c.article;
    }
    EXPECT_EQ(Title_TextWithParent(s, 3), "本文4\n\n-- 親記事 --\n本文2\n");
    EXPECT_EQ(Title_TextWithParent(s, 0), "本文1\n");
}

TEST(TitleCompose, ReplyTitlesKeepAnExistingPrefix)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    struct Case {
        int article;
        const char* header;
        const char* title;
    } cases[] = {
        {0, "", "RE: 最初"},           {1, "", "Re: 最初"},
        {2, "", "RE:最初"},            {3, "", "re: re: 最初"},
        {0, "返信: %s_title% (%s_no%)", "返信: 最初 (1)"}, {1, "返信: %s_title%", "Re: 最初"},
    };
    for (const Case& c : cases) {
        TitleCompose tc;
        ASSERT_TRUE(Title_ComposeFor(ID_REPLY, s, c.article, c.header, &tc));
        EXPECT_EQ(tc.title, c.title);
    }
}

TEST(TitleCompose, FieldsOfNewReplyAndEdit)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    TitleCompose c;
    ASSERT_TRUE(Title_ComposeFor(ID_NEW_ARTICLE, s, 2, "", &c));
    EXPECT_EQ(c.no, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(c.pno, SUBJ_NO_UNKNOWN);
    EXPECT_FALSE(c.hasTitle || c.hasText || c.reply || c.edit);
    EXPECT_EQ(c.tmpl, "POST,x,new");   // its own "-" template gives way to the list's

    ASSERT_TRUE(Title_ComposeFor(ID_REPLY, s, 2, "", &c));
    EXPECT_EQ(c.pno, 3);
    EXPECT_EQ(c.author, "三郎");
    EXPECT_EQ(c.text, "本文3\n");
    EXPECT_EQ(c.tmpl, "POST,own,follow");
    EXPECT_TRUE(c.reply && c.hasTitle && c.hasText && !c.edit);

    // A reply to an unsent reply answers its parent; to an identifier,
    // the identifier text.
    ASSERT_TRUE(Title_ComposeFor(ID_REPLY, s, 4, "", &c));
    EXPECT_EQ(c.pno, 4);
    ASSERT_TRUE(Title_ComposeFor(ID_REPLY, s, 5, "", &c));
    EXPECT_TRUE(c.pno & SUBJ_NO_ID);
    EXPECT_EQ(c.pnoText, "abc");

    EXPECT_FALSE(Title_ComposeFor(ID_EDIT, s, 0, "", &c));   // not unsent
    ASSERT_TRUE(Title_ComposeFor(ID_EDIT, s, 4, "", &c));
    EXPECT_EQ(c.no, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(c.pno, 4);
    EXPECT_EQ(c.title, "書きかけ");
    EXPECT_EQ(c.text, "下書き\n");
    EXPECT_EQ(c.tmpl, "POST,x,new");
    EXPECT_TRUE(c.edit && !c.reply);
    EXPECT_FALSE(Title_ComposeFor(ID_REPLY, s, 99, "", &c));
}

TEST(TitleDrop, TargetStoreOfADroppedItem)
{
    const char* open = "C:\\zeva\\data\\板\\001.zvt";
    const std::string tooLong = "C:\\" + std::string(255, 'x') + "\\";
    struct Case {
        const char* target;
        int result;
        const char* path;
    } cases[] = {
        {"C:\\zeva\\data\\板\\001.zvt", 0, ""},               // the open store
        {"C:\\zeva\\data\\板\\", 0, ""},                      // its folder
        {"C:\\zeva\\data\\板\\Log.html", 0, ""},              // an item of its folder
        {"C:\\zeva\\data\\板\\送信済み.zvt", 1, "C:\\zeva\\data\\板\\送信済み.zvt"},
        {"C:\\zeva\\data\\他\\", 1, "C:\\zeva\\data\\他\\001.zvt"},
        {"C:\\zeva\\data\\他\\雑談.ZVT", 1, "C:\\zeva\\data\\他\\雑談.ZVT"},
        {"C:\\zeva\\data\\ソフト\\", 1, "C:\\zeva\\data\\ソフト\\001.zvt"},   // 0x5C inside a character
        {"", -1, ""},
        {tooLong.c_str(), -1, ""},
    };
    for (const Case& c : cases) {
        char out[260] = "?";
        EXPECT_EQ(Title_DropTarget(c.target, open, '\\', out, sizeof out), c.result) << c.target;
        EXPECT_STREQ(out, c.path) << c.target;
    }
}

TEST(TitleAddress, OnlyWebAddressesAreOpened)
{
    struct Case {
        const char* address;
        int opened;
    } cases[] = {{"http://example.jp/", 1}, {"HTTPS://example.jp", 1}, {"ftp://example.jp/x", 1},
                 {"http://", 0},            {"C:\\Windows\\notepad.exe", 0}, {"\\\\host\\share\\x.exe", 0},
                 {"file:///C:/x.exe", 0},   {"www.example.jp", 0},               {"", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Title_IsWebAddress(c.address), c.opened) << c.address;
}

}  // namespace

namespace {

// The removal as the user sees it, one step at a time: the selected row
// whose article has the highest index goes, with its article, until none
// is selected; the row where the last one went.
int LiteralRemove(CSubj& s, std::vector<int> rowArticles, std::vector<char> selected)
{
    int lastRow = -1;
    for (;;) {
        int best = -1;
        for (size_t r = 0; r < rowArticles.size(); ++r)
            if (selected[r] && (best < 0 || rowArticles[r] > rowArticles[(size_t)best]))
                best = (int)r;
        if (best < 0)
            return lastRow;
        int a = rowArticles[(size_t)best];
        rowArticles.erase(rowArticles.begin() + best);
        selected.erase(selected.begin() + best);
        s.Delete(a);
        for (int& other : rowArticles)
            if (other > a)
                --other;
        lastRow = best;
    }
}

std::vector<std::string> Titles(CSubj& s)
{
    std::vector<std::string> out;
    for (int a = 0; a < s.GetCount(); ++a)
        out.push_back(std::string(s.GetTitle(a)) + "/" + s.GetMsg(a));
    return out;
}

void RandomStore(CSubj& s, unsigned seed, int count)
{
    srand(seed);
    for (int i = 0; i < count; ++i) {
        std::string title = "t" + std::to_string(rand() % 7), msg = "m" + std::to_string(i);
        subjtest::Article a;
        a.no = i + 1;
        a.pno = i && rand() % 2 ? 1 + rand() % i : SUBJ_NO_UNKNOWN;
        a.date = subjtest::Date(2026, 1 + rand() % 12, 1 + rand() % 28);
        a.title = title.c_str();
        a.msg = msg.c_str();
        subjtest::Add(s, a);
    }
}

}  // namespace

TEST(TitleRemove, OnePassRemovalMatchesTheStepwiseOne)
{
    struct Case {
        TitleOrder order;
        int percent;   // rows selected
    } cases[] = {{{1, 0, 0}, 50}, {{0, 0, 1}, 10}, {{0, 2, 0}, 100}, {{1, 0, 0}, 3}};
    for (unsigned seed = 1; seed <= 20; ++seed)
        for (const Case& c : cases) {
            CSubj fast, literal;
            RandomStore(fast, seed, 120);
            RandomStore(literal, seed, 120);
            CTitleRows rows;
            ASSERT_TRUE(rows.Build(fast, c.order));
            std::vector<int> rowArticles, selectedRows;
            std::vector<char> selected;
            for (int r = 0; r < rows.Count(); ++r) {
                rowArticles.push_back(rows.Article(r));
                selected.push_back(rand() % 100 < c.percent);
                if (selected.back())
                    selectedRows.push_back(r);
            }
            int rowAfter = LiteralRemove(literal, rowArticles, selected);
            TitleRemovePlan plan = Title_PlanRemove(rows, selectedRows);
            fast.DeleteMany(plan.articles);
            EXPECT_EQ(Titles(fast), Titles(literal)) << seed << " " << c.percent;
            EXPECT_EQ(plan.rowAfter, rowAfter) << seed << " " << c.percent;
        }
}

TEST(TitleRemove, KeysNoLongerHoldAfterAReload)
{
    CSubj s;
    subjtest::Parse(s, kStore);
    std::vector<TitleArticleKey> keys = Title_KeysOf(s, {5, 1});
    EXPECT_TRUE(Title_KeysHold(s, keys));
    s.SetAtr(5, 0, ATR_N);   // a mark changes no article
    EXPECT_TRUE(Title_KeysHold(s, keys));
    s.Delete(0);   // the articles moved down
    EXPECT_FALSE(Title_KeysHold(s, keys));
    CSubj reloaded;
    subjtest::Parse(reloaded, kStore);
    EXPECT_FALSE(Title_KeysHold(reloaded, Title_KeysOf(s, {0})));
}
