// CSubj::Merge: a plug-in's output joining a store.
#include "store/Subj.h"

#include "base/debug.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace subjtest;

namespace {

const char kOutput[] =
    "#T:雑談\n#P:new\n#F:follow\n"
    "S:1,*,04/01/02,12:00,,\nT:one\nN:a\nM:first\n.\n"
    "S:2,1,04/01/02,12:05,,\nT:two\nN:b\nM:second\nline\n.\n"
    "S:*,*,04/01/03,08:00,,\nT:anon\nN:c\nM:unnumbered\n.\n";

struct Store {
    TempDir dir;
    std::string path = dir.File("001.zvt");
    CSubj s;

    // Merges ZVT text into the store as the import does; the merge's count.
    int Merge(const std::string& text)
    {
        CSubj in;
        Parse(in, text);
        return s.Merge(&in);
    }
    void Load()
    {
        s.LoadFile(path.c_str());
    }
};

TEST(Merge, SameOutputTwiceAddsNothingAndKeepsReadMarks)
{
    Store st;
    st.Load();
    Debug_BeginCapture();
    EXPECT_EQ(st.Merge(kOutput), 3);
    EXPECT_NE(Debug_Take().find("+++\n"), std::string::npos);
    Debug_EndCapture();
    ASSERT_EQ(st.s.GetCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(st.s.GetAtr(i, 0xFF), ATR_N);
    EXPECT_EQ(st.s.IsModified(), 0);   // written
    EXPECT_STREQ(st.s.Header().title, "雑談");
    EXPECT_STREQ(st.s.Header().post, "new");

    st.s.SetAtr(0, ATR_N, 0);
    st.s.SetAtr(2, ATR_N, 0);
    ASSERT_EQ(st.s.Update(), 1);
    std::string before = ReadBytes(st.path);
    EXPECT_EQ(st.Merge(kOutput), 0);
    EXPECT_EQ(st.s.GetCount(), 3);
    EXPECT_EQ(st.s.GetAtr(0, ATR_N), 0);
    EXPECT_EQ(st.s.GetAtr(1, ATR_N), ATR_N);
    EXPECT_EQ(st.s.GetAtr(2, ATR_N), 0);
    EXPECT_EQ(ReadBytes(st.path), before);

    // And after a reload from the file, the same again.
    st.Load();
    EXPECT_EQ(st.Merge(kOutput), 0);
    EXPECT_EQ(st.s.GetCount(), 3);
}

TEST(Merge, KnownNumberWithOtherTextIsASecondArticleUnlessOverwrite)
{
    Store st;
    st.Load();
    st.Merge(kOutput);
    st.s.SetAtr(0, ATR_N, ATR_R);
    st.s.GetItemPtr(0)->color = 0x00FF00;

    EXPECT_EQ(st.Merge("S:1,*,04/01/02,12:00,,\nT:one\nN:a\nM:edited\n.\n"), 1);
    ASSERT_EQ(st.s.GetCount(), 4);
    EXPECT_STREQ(st.s.GetMsg(3), "edited\n");
    EXPECT_EQ(st.s.GetAtr(0, 0xFF), ATR_R);

    // With O the first article of the number is replaced and marked unread;
    // it keeps its colour label and takes the incoming flags.
    EXPECT_EQ(st.Merge("S:1,*,04/01/04,13:00,O,0000FF\nT:one v2\nN:a2\nE:e@x\nM:rewritten\n.\n"), 1);
    ASSERT_EQ(st.s.GetCount(), 4);
    const SubjItem& it = st.s.GetItem(0);
    EXPECT_STREQ(st.s.GetMsg(0), "rewritten\n");
    EXPECT_STREQ(st.s.GetTitle(0), "one v2");
    EXPECT_STREQ(st.s.GetEmail(0), "e@x");
    EXPECT_EQ(it.date, Date(2004, 1, 4));
    EXPECT_EQ(it.atr, ATR_O | ATR_N);
    EXPECT_EQ(it.color, 0x00FF00u);
    EXPECT_STREQ(st.s.GetMsg(3), "edited\n");

    // An identical article with O is replaced without the unread mark.
    st.s.SetAtr(0, ATR_N, 0);
    EXPECT_EQ(st.Merge("S:1,*,04/01/04,13:00,O,\nT:one v2\nN:a2\nM:rewritten\n.\n"), 0);
    EXPECT_EQ(st.s.GetAtr(0, 0xFF), ATR_O);
    EXPECT_STREQ(st.s.GetEmail(0), "");
}

TEST(Merge, UnknownNumbersMatchOnDateTimeNameAndTitle)
{
    Store st;
    st.Load();
    st.Merge(kOutput);
    st.s.SetAtr(2, ATR_N, 0);
    // Another text, even with O: the same article, never replaced.
    EXPECT_EQ(st.Merge("S:*,*,04/01/03,08:00,O,\nT:anon\nN:c\nM:other text\n.\n"), 0);
    EXPECT_EQ(st.s.GetCount(), 3);
    EXPECT_STREQ(st.s.GetMsg(2), "unnumbered\n");
    EXPECT_EQ(st.s.GetAtr(2, ATR_N), 0);
    // Another minute, name or title: a new article.
    EXPECT_EQ(st.Merge("S:*,*,04/01/03,08:01,,\nT:anon\nN:c\nM:unnumbered\n.\n"
                       "S:*,*,04/01/03,08:00,,\nT:anon\nN:d\nM:unnumbered\n.\n"
                       "S:*,*,04/01/03,08:00,,\nT:anon2\nN:c\nM:unnumbered\n.\n"),
              3);
    EXPECT_EQ(st.s.GetCount(), 6);
}

TEST(Merge, VirtualArticles)
{
    Store st;
    st.Load();
    // An incoming V article arrives read, and still counts as arrived.
    EXPECT_EQ(st.Merge("S:7,*,04/01/02,12:00,V,\nT:v\nM:virtual\n.\n"), 1);
    ASSERT_EQ(st.s.GetCount(), 1);
    EXPECT_EQ(st.s.GetAtr(0, 0xFF), ATR_V);

    // A stored V article is replaced by an identical copy; the read mark
    // comes from the incoming flags.
    st.s.SetAtr(0, 0, ATR_N);
    EXPECT_EQ(st.Merge("S:7,*,04/01/02,12:00,,\nT:v\nH:http://x/\nM:virtual\n.\n"), 0);
    ASSERT_EQ(st.s.GetCount(), 1);
    EXPECT_EQ(st.s.GetAtr(0, 0xFF), 0);
    EXPECT_STREQ(st.s.GetHp(0), "http://x/");
    // No longer V: the next identical copy changes nothing.
    st.s.SetAtr(0, 0, ATR_R);
    EXPECT_EQ(st.Merge("S:7,*,04/01/02,12:00,N,\nT:v\nM:virtual\n.\n"), 0);
    EXPECT_EQ(st.s.GetAtr(0, 0xFF), ATR_R);
}

TEST(Merge, DeleteRemovesTheFirstArticleOfItsNumberAndIsNeverStored)
{
    Store st;
    st.Load();
    st.Merge(kOutput);
    st.Merge("S:2,1,04/01/02,12:05,,\nT:two\nN:b\nM:another two\n.\n");
    ASSERT_EQ(st.s.GetCount(), 4);
    EXPECT_EQ(st.Merge("S:2,*,70/00/00, 0:00,D,\nM:\n.\nS:99,*,04/01/02,12:00,D,\nM:\n.\n"), 0);
    ASSERT_EQ(st.s.GetCount(), 3);
    EXPECT_STREQ(st.s.GetMsg(2), "another two\n");
    EXPECT_EQ(st.s.IsModified(), 0);
    CSubj again;
    again.LoadFile(st.path.c_str());
    EXPECT_EQ(again.GetCount(), 3);
    EXPECT_EQ(ReadBytes(st.path).find("D,"), std::string::npos);

    // Identifier numbers compare by text across the two collections.
    st.Merge("S:Sk1,*,04/01/02,12:00,,\nM:id one\n.\n");
    EXPECT_EQ(st.s.GetCount(), 4);
    EXPECT_EQ(st.Merge("S:sk1,*,04/01/02,12:00,D,\nM:\n.\n"), 0);
    EXPECT_EQ(st.s.GetCount(), 3);
    EXPECT_EQ(st.s.Atoms(CSubj::A_ID).Top(), 1);
}

TEST(Merge, ListHeaderIsTakenEvenWhenEmpty)
{
    Store st;
    st.Load();
    st.Merge(kOutput);
    EXPECT_EQ(st.Merge("S:1,*,04/01/02,12:00,,\nT:one\nN:a\nM:first\n.\n"), 0);
    EXPECT_STREQ(st.s.Header().title, "");
    EXPECT_STREQ(st.s.Header().post, "");
    EXPECT_STREQ(st.s.Header().follow, "");
    EXPECT_EQ(ReadBytes(st.path).rfind("#T:\n", 0), 0u);
}

TEST(Merge, EmptyMergeIntoAMissingStoreWritesNothing)
{
    Store st;
    st.Load();
    EXPECT_EQ(st.Merge(""), 0);
    EXPECT_FALSE(File_Exists(st.path.c_str()));
    // A title alone is a change and makes the file.
    EXPECT_EQ(st.Merge("#T:t\n"), 0);
    EXPECT_EQ(ReadBytes(st.path), "#T:t\n#N:0\n#U:0\n#B:0\n#R:0\n#F:\n#P:\n");
}

TEST(Merge, StoredTextsAreNormalised)
{
    auto norm = [](const char* t) {
        char* p = CSubj::NormalizedText(t);
        std::string s = p;
        CSubj::FreeText(p);
        return s;
    };
    EXPECT_EQ(norm("abc"), "abc\n");
    EXPECT_EQ(norm("abc\n"), "abc\n");
    EXPECT_EQ(norm("abc\n\n \t\n\t"), "abc\n");
    EXPECT_EQ(norm("abc  \n  "), "abc  \n");
    EXPECT_EQ(norm("a\n\nb\n\n"), "a\n\nb\n");
    EXPECT_EQ(norm(" \n\t\n"), " \n\t\n");   // nothing else: as it is
    EXPECT_EQ(norm(""), "");
    EXPECT_EQ(norm(nullptr), "");
    EXPECT_EQ(norm("abc\n　\n"), "abc\n　\n");   // an ideographic space is content
    EXPECT_EQ(norm("abc\r\n\n"), "abc\r\n");

    // Incoming texts are compared as read: a text that normalisation changes
    // never equals its stored copy.
    Store st;
    st.Load();
    const char* ragged = "S:5,*,04/01/02,12:00,,\nM:text\n\n.\n";
    EXPECT_EQ(st.Merge(ragged), 1);
    EXPECT_STREQ(st.s.GetMsg(0), "text\n");
    EXPECT_EQ(st.Merge(ragged), 1);
    EXPECT_EQ(st.s.GetCount(), 2);
}

TEST(Merge, FailedWriteLeavesTheStoreModified)
{
    Store st;
    st.Load();
    st.Merge(kOutput);
    std::string before = ReadBytes(st.path);
    FileFault_Set(0);
    st.s.Update();
    int settingsSteps = FileFault_Steps();
    FileFault_Set(settingsSteps + 1);
    EXPECT_EQ(st.Merge("S:3,*,04/01/02,12:00,,\nM:new\n.\n"), 1);
    FileFault_Set(0);
    EXPECT_EQ(st.s.IsModified(), 1);
    EXPECT_EQ(ReadBytes(st.path), before);
    EXPECT_EQ(st.s.Update(), 1);
    CSubj again;
    again.LoadFile(st.path.c_str());
    EXPECT_EQ(again.GetCount(), 4);
}

// A straightforward model of the partner rules, written apart from the
// store's own search, checked on random merges.
int ModelPartner(CSubj& store, CSubj& in, int i, int* replace, int* unread)
{
    const SubjItem& p = in.GetItem(i);
    *replace = *unread = 0;
    for (int j = 0; j < store.GetCount(); ++j) {
        const SubjItem& s = store.GetItem(j);
        if (std::string(store.NoStr(j)) != in.NoStr(i) || ((s.no ^ p.no) & SUBJ_NO_ID))
            continue;
        if (p.atr & ATR_D)
            return j;
        bool head = s.date == p.date && s.time == p.time &&
                    std::string(store.GetName(j)) == in.GetName(i) &&
                    std::string(store.GetTitle(j)) == in.GetTitle(i);
        if (p.no == SUBJ_NO_UNKNOWN) {
            if (head)
                return j;
        } else if (head && std::string(store.GetMsg(j)) == in.GetMsg(i)) {
            *replace = (s.atr & ATR_V) || (p.atr & ATR_O);
            return j;
        } else if (p.atr & ATR_O) {
            *replace = *unread = 1;
            return j;
        }
    }
    return -1;
}

TEST(Merge, PartnerSearchAgreesWithTheRulesOnRandomInput)
{
    std::mt19937 rng(77);
    auto randomRecords = [&](int n) {
        std::string t;
        static const char* const kNo[] = {"1", "2", "3", "*", "Sa", "sa", "Sb"};
        static const char* const kFlags[] = {"", "", "N", "V", "O", "D", "VO"};
        static const char* const kMsg[] = {"x", "y", "x\n\n", ""};
        for (int i = 0; i < n; ++i) {
            t += std::string("S:") + kNo[rng() % 7] + ",*,04/01/0" + std::to_string(1 + rng() % 2) + ",12:00," +
                 kFlags[rng() % 7] + ",\nT:" + (rng() % 2 ? "t" : "u") + "\nM:" + kMsg[rng() % 4] + "\n.\n";
        }
        return t;
    };
    for (int round = 0; round < 300; ++round) {
        CSubj store, in;
        Parse(store, randomRecords(rng() % 12));
        Parse(in, randomRecords(1 + rng() % 6));
        for (int i = 0; i < in.GetCount(); ++i) {
            int r1, u1, r2, u2;
            int a = store.FindPartner(&in, i, &r1, &u1);
            int b = ModelPartner(store, in, i, &r2, &u2);
            ASSERT_EQ(a, b) << "round " << round << " record " << i;
            if (a >= 0) {
                ASSERT_EQ(r1, r2);
                ASSERT_EQ(u1, u2);
            }
        }
        // The merge itself: no incoming D article is stored, and the count
        // is what arrived.
        auto countD = [](CSubj& c) {
            int n = 0;
            for (int j = 0; j < c.GetCount(); ++j)
                n += c.GetAtr(j, ATR_D) ? 1 : 0;
            return n;
        };
        int before = store.GetCount(), dBefore = countD(store);
        int arrived = store.Merge(&in);
        ASSERT_LE(countD(store), dBefore);
        ASSERT_LE(store.GetCount(), before + arrived);
    }
}

}  // namespace
