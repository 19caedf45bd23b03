// The article properties form: what the dialog shows and what OK stores.
#include "base/sjis.h"
#include "store/Subj.h"
#include "ui/textview/ArticleProps.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// One article: number 12, parent 3 (or identifiers), flags N O, its own
// new-article template, no own follow-up template (the list's applies).
int AddArticle(CSubj& s, bool ids)
{
    SubjItem it;
    CSubj::InitItem(&it);
    it.no = ids ? s.MakeIdNo("abc123") : 12;
    it.pno = ids ? s.MakeIdNo("xyz") : 3;
    it.date = (uint16_t)((2026 - 1970) * 512 + 12 * 32 + 8);
    it.time = 10 * 60 + 5;
    it.atr = ATR_N | ATR_O;
    it.title = s.Atoms(CSubj::A_TITLE).Add("題名");
    it.name = s.Atoms(CSubj::A_NAME).Add("名前");
    it.post = s.Atoms(CSubj::A_POST).Add("own post");
    it.msg = CSubj::AllocText("text\n");
    return s.Append(it);
}

TEST(ArticleProps, NumbersAsTheDialogTakesThemBack)
{
    const struct {
        const char* text;
        int32_t no;
    } cases[] = {
        {"*", SUBJ_NO_UNKNOWN}, {"*12", SUBJ_NO_UNKNOWN}, {"42", 42}, {" 7x", 7}, {"", 0},
        {"2147483648", 0},      // the top bit cleared
        {"-1", 0x7FFFFFFF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArticleProps_ParseNo(c.text), c.no) << c.text;
}

TEST(ArticleProps, ShowsTheRecordsOwnValues)
{
    CSubj s;
    int i = AddArticle(s, false);
    ArticleProps f;
    ASSERT_TRUE(ArticleProps_Read(s, i, &f));
    EXPECT_STREQ(f.no, s.NoStr(i));
    EXPECT_STREQ(f.pno, s.PnoStr(i));
    EXPECT_TRUE(f.noEditable && f.pnoEditable);
    char date[32];
    s.DateStr(i, date);
    EXPECT_STREQ(f.date, date);
    EXPECT_STREQ(f.name, "名前");
    EXPECT_STREQ(f.title, "題名");
    EXPECT_STREQ(f.post, "own post");
    EXPECT_STREQ(f.follow, "");
    EXPECT_EQ(f.unread + 2 * f.unsent + 4 * f.held + 8 * f.virt, 1);
    EXPECT_FALSE(ArticleProps_Read(s, 1, &f));
}

TEST(ArticleProps, IdentifiersAreShownButNotEditable)
{
    CSubj s;
    int i = AddArticle(s, true);
    ArticleProps f;
    ASSERT_TRUE(ArticleProps_Read(s, i, &f));
    EXPECT_STREQ(f.no, s.NoStr(i));
    EXPECT_FALSE(f.noEditable || f.pnoEditable);
    int32_t no = s.GetItem(i).no;
    Str_Copy(f.no, sizeof f.no, "5");   // what a form holds must not reach an identifier
    ArticleProps_Apply(s, i, f);
    EXPECT_EQ(s.GetItem(i).no, no);
}

TEST(ArticleProps, OkStoresNumbersFlagsAndTemplates)
{
    CSubj s;
    int i = AddArticle(s, false);
    ArticleProps f;
    ArticleProps_Read(s, i, &f);
    Str_Copy(f.no, sizeof f.no, "99");
    Str_Copy(f.pno, sizeof f.pno, "*");
    f.unread = 0;
    f.unsent = 1;
    f.held = 1;
    f.virt = 1;
    std::string longFollow = "f" + std::string(300, '\x88');   // cut at 254 bytes, between characters
    Str_Copy(f.follow, sizeof f.follow, longFollow.c_str());
    EXPECT_EQ(ArticleProps_Apply(s, i, f), 1);
    EXPECT_EQ(s.GetItem(i).no, 99);
    EXPECT_EQ(s.GetItem(i).pno, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(s.GetItem(i).atr, ATR_U | ATR_B | ATR_V | ATR_O);   // O is kept
    EXPECT_EQ(std::string(s.Atoms(CSubj::A_FOLLOW).Get(s.GetItem(i).follow)), longFollow.substr(0, 253));
    EXPECT_STREQ(s.Atoms(CSubj::A_POST).Get(s.GetItem(i).post), "own post");
    ArticleProps again;
    ArticleProps_Read(s, i, &again);
    EXPECT_EQ(ArticleProps_Apply(s, i, again), 0);   // nothing changed
}

TEST(ArticleProps, ReadOnlyCollectionsAreNotChanged)
{
    CSubj s;
    int i = AddArticle(s, false);
    ArticleProps f;
    ArticleProps_Read(s, i, &f);
    f.unread = 0;
    s.SetReadOnly(1);
    EXPECT_EQ(ArticleProps_Apply(s, i, f), 0);
    EXPECT_EQ(s.GetItem(i).atr & ATR_N, ATR_N);
}

}  // namespace
