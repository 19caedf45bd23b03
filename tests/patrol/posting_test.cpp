// The posting pass over a board's stores with a poster played by the test:
// which articles are posted, handed over, held or listed for fetching, where
// they end up, and that no article is lost when a file can't be written.
#include "patrol/Posting.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/profile.h"
#include "base/sjis.h"
#include "patrol/StoreNotify.h"
#include "pluginhost/PluginRun.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <atomic>
#include "patrol_testutil.h"

#include <string>
#include <vector>

using subjtest::Parse;
using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;
using subjtest::Written;
using patroltest::RecordingNotify;
using patroltest::kSent;
using patroltest::kSep;

namespace {

class RecordingRow : public CPluginStatusSink {
public:
    void ShowStatus(const char* text) override { texts.push_back(text); }
    std::vector<std::string> texts;
};

std::vector<unsigned> g_waits;
void RecordSleep(unsigned ms) { g_waits.push_back(ms); }

struct PostCall {
    std::string url, body, user, pass, log;
};

class ScriptedPoster : public CHttpPoster {
public:
    int Post(CPluginStatusSink* row, const char* logPath, const char* url, const char* body, const char* user,
             const char* pass) override
    {
        calls.push_back({url, body, user, pass, Path_FileName(logPath)});
        int ok = results.empty() ? 1 : results[(calls.size() - 1) % results.size()];
        if (cancelAfter && (int)calls.size() >= cancelAfter && cancel)
            *cancel = 1;
        return ok;
    }
    std::vector<PostCall> calls;
    std::vector<int> results;   // cycled; empty = always success
    int cancelAfter = 0;
    std::atomic<int>* cancel = nullptr;
};

class CountingSaver : public COpenStoreSaver {
public:
    void SaveOpenStore() override { ++saves; }
    int saves = 0;
};

std::string Zvt(const std::string& text)
{
    CSubj s;
    Parse(s, text);
    return Written(s);
}

std::string Article(const std::string& no, const std::string& flags, const std::string& title,
                    const std::string& extra = "")
{
    return "S:" + no + ",*,04/05/06,12:00" + (flags.empty() ? "" : "," + flags) + "\nT:" + title + "\nN:nm\n" +
           extra + "M:text of " + title + "\n.\n";
}

const char kHeader[] = "#T:board\n#P:POST,http://127.0.0.1/b.cgi,title=$T&name=$N&comment=$M\n";

struct Loaded {
    std::vector<std::string> titles;
    std::vector<int> flags;
};

Loaded Load(const std::string& path)
{
    Loaded out;
    CSubj s;
    s.LoadFile(path.c_str());
    for (int i = 0; i < s.GetCount(); ++i) {
        out.titles.push_back(s.GetTitle(i));
        out.flags.push_back(s.GetItem(i).atr);
    }
    return out;
}

using Titles = std::vector<std::string>;

class PostingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_waits.clear();
        ctx.row = &row;
        ctx.notify = &notify;
        ctx.poster = &poster;
        ctx.openStore = &saver;
        ctx.cancel = &cancel;
        ctx.sleep = RecordSleep;
        poster.cancel = &cancel;
        std::string ini = F("zeva_BBS.ini");
        Profile_WriteString("BASIC", "USER", "usr", ini.c_str());
        Profile_WriteString("BASIC", "PASS", "pw", ini.c_str());
        Profile_WriteString("BASIC", "NAME", "A", ini.c_str());
    }
    std::string Folder() const { return dir.Path() + kSep; }
    std::string F(const std::string& name) const { return Folder() + name; }
    void Put(const std::string& name, const std::string& text) { ASSERT_TRUE(WriteBytes(F(name), Zvt(text))); }
    int Run() { return Patrol_PostArticles(Folder().c_str(), ctx, &result); }

    TempDir dir;
    RecordingNotify notify;
    RecordingRow row;
    ScriptedPoster poster;
    CountingSaver saver;
    std::atomic<int> cancel{0};
    PostingContext ctx;
    PostingResult result;
};

TEST_F(PostingTest, FolderWithoutStoresIsLeftAlone)
{
    EXPECT_EQ(Run(), 0);
    EXPECT_FALSE(File_Exists(F("ReadList.tmp").c_str()));
    EXPECT_TRUE(notify.log.empty());
    EXPECT_TRUE(row.texts.empty());
}

TEST_F(PostingTest, StoresWithNothingToSendAreNotTouchedButTheReadListIsCreated)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "N", "read me") + Article("2", "UB", "held"));
    std::string before = ReadBytes(F("a.zvt"));
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(poster.calls.empty());
    EXPECT_EQ(ReadBytes(F("a.zvt")), before);
    EXPECT_TRUE(File_Exists(F("ReadList.tmp").c_str()));
    EXPECT_EQ(ReadBytes(F("ReadList.tmp")), "");
    EXPECT_EQ(notify.log, (Titles{std::string("before ") + kSent, std::string("after ") + kSent + " 0"}));
    EXPECT_FALSE(File_Exists(F(kSent).c_str()));
}

TEST_F(PostingTest, DueArticlesArePostedHandedOverOrKeptAndFetchMarksListed)
{
    Put("a.zvt", std::string(kHeader) +
                     Article("1", "U", "posted") +                          // posted, moves to the sent store
                     Article("2", "UB", "held") +                           // held back: untouched
                     Article("3", "UR", "lib", "P:LIB,http://x/,t=$T\n") +  // handed to the plug-in
                     Article("4", "R", "fetch") +                           // listed for fetching
                     Article("5", "UR", "fails") +                          // post fails: stays due, listed
                     Article("*", "NR", "unknown"));                        // listed as "*"
    Put(kSent, Article("9", "U", "sent before"));   // never posted again
    poster.results = {1, 0};

    EXPECT_EQ(Run(), 1);

    ASSERT_EQ(poster.calls.size(), 2u);
    EXPECT_EQ(poster.calls[0].url, "http://127.0.0.1/b.cgi");
    EXPECT_EQ(poster.calls[0].body, "title=posted&name=A&comment=text%20of%20posted%0D%0A");
    EXPECT_EQ(poster.calls[0].user, "usr");
    EXPECT_EQ(poster.calls[0].pass, "pw");
    EXPECT_EQ(poster.calls[0].log, "送信LOG.html");
    EXPECT_EQ(row.texts, (Titles{"送信中(1)", "送信中(2)"}));
    EXPECT_EQ(saver.saves, 1);

    Loaded store = Load(F("a.zvt"));
    EXPECT_EQ(store.titles, (Titles{"held", "fetch", "fails", "unknown"}));
    EXPECT_EQ(store.flags, (std::vector<int>{ATR_U | ATR_B, ATR_R, ATR_U | ATR_R, ATR_N | ATR_R}));
    Loaded sent = Load(F(kSent));
    EXPECT_EQ(sent.titles, (Titles{"sent before", "posted"}));
    EXPECT_EQ(sent.flags, (std::vector<int>{ATR_U, ATR_U}));
    Loaded hand = Load(F("a.zvw"));
    EXPECT_EQ(hand.titles, Titles{"lib"});
    EXPECT_EQ(hand.flags, std::vector<int>{ATR_U | ATR_R});
    EXPECT_EQ(ReadBytes(F("ReadList.tmp")), "4\r\n5\r\n*\r\n");
    EXPECT_EQ(notify.log, (Titles{std::string("before ") + kSent, "before a.zvt", "after a.zvt 1",
                                  std::string("after ") + kSent + " 1"}));
    EXPECT_EQ(result.posted, 1);
    EXPECT_EQ(result.handedOver, 1);
    EXPECT_EQ(result.failed, 1);
}

TEST_F(PostingTest, EveryStoreButTheSentStoreIsExaminedAndEachPostCounted)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "U", "a1") + Article("2", "U", "a2"));
    Put("b.ZVT", std::string(kHeader) + Article("3", "U", "b1"));
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(row.texts, (Titles{"送信中(1)", "送信中(2)", "送信中(3)"}));
    EXPECT_EQ(Load(F(kSent)).titles.size(), 3u);
    EXPECT_TRUE(Load(F("a.zvt")).titles.empty());
    EXPECT_TRUE(Load(F("b.ZVT")).titles.empty());
    EXPECT_EQ(saver.saves, 3);
}

TEST_F(PostingTest, CancelIsReadBeforeEachArticle)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "U", "first") + Article("2", "U", "second") +
                     Article("3", "R", "fetch"));
    poster.cancelAfter = 1;
    EXPECT_EQ(Run(), 1);
    ASSERT_EQ(poster.calls.size(), 1u);
    EXPECT_EQ(Load(F("a.zvt")).titles, (Titles{"second", "fetch"}));
    EXPECT_EQ(Load(F(kSent)).titles, Titles{"first"});

    // Cancelled before the pass: nothing is posted, nothing moves.
    poster.calls.clear();
    std::string before = ReadBytes(F("a.zvt"));
    EXPECT_EQ(Run(), 1);
    EXPECT_TRUE(poster.calls.empty());
    EXPECT_EQ(ReadBytes(F("a.zvt")), before);
}

TEST_F(PostingTest, PostedArticleStaysInItsStoreNoLongerDueWhenTheSentStoreCannotBeSaved)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "U", "posted") + Article("2", "U", "lib", "P:LIB,u,x=$T\n"));
    Put(kSent, Article("9", "U", "sent before"));
    std::string sentBefore = ReadBytes(F(kSent));
    ASSERT_EQ(File_SetReadOnly(F(kSent).c_str(), 1), 1);

    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(poster.calls.size(), 1u);
    // The posted article stays in its store, no longer due; the hand-over
    // goes ahead.
    Loaded store = Load(F("a.zvt"));
    EXPECT_EQ(store.titles, Titles{"posted"});
    EXPECT_EQ(store.flags, std::vector<int>{0});
    EXPECT_EQ(ReadBytes(F(kSent)), sentBefore);
    EXPECT_EQ(Load(F("a.zvw")).titles, Titles{"lib"});
    EXPECT_EQ(result.posted, 0);
    EXPECT_EQ(notify.log, (Titles{std::string("before ") + kSent, "before a.zvt", "after a.zvt 1",
                                  std::string("after ") + kSent + " 0"}));

    // The next patrol posts nothing again.
    ASSERT_EQ(File_SetReadOnly(F(kSent).c_str(), 0), 1);
    EXPECT_EQ(Run(), 1);
    EXPECT_EQ(poster.calls.size(), 1u);
    EXPECT_EQ(Load(F(kSent)).titles, Titles{"sent before"});
    EXPECT_EQ(Load(F("a.zvt")).titles, Titles{"posted"});
    EXPECT_EQ(Load(F("a.zvw")).titles, Titles{"lib"});
}

TEST_F(PostingTest, HandOverThatCannotBeSavedKeepsItsArticleDue)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "U", "lib", "P:LIB,u,x=$T\n") + Article("2", "U", "posted"));
    Put("a.zvw", Article("7", "U", "handed earlier"));
    ASSERT_EQ(File_SetReadOnly(F("a.zvw").c_str(), 1), 1);
    EXPECT_EQ(Run(), 1);
    Loaded store = Load(F("a.zvt"));
    EXPECT_EQ(store.titles, Titles{"lib"});
    EXPECT_EQ(store.flags, std::vector<int>{ATR_U});
    EXPECT_EQ(Load(F("a.zvw")).titles, Titles{"handed earlier"});
    EXPECT_EQ(Load(F(kSent)).titles, Titles{"posted"});
    EXPECT_EQ(result.handedOver, 0);
    EXPECT_EQ(result.posted, 1);
}

TEST_F(PostingTest, ReadListThatCannotBeCreatedIsReportedAndPostingGoesOn)
{
    Put("a.zvt", std::string(kHeader) + Article("1", "U", "posted"));
    FileFault_Set(1);   // the list is the first file the pass creates
    EXPECT_EQ(Run(), 1);
    FileFault_Set(0);
    EXPECT_FALSE(File_Exists(F("ReadList.tmp").c_str()));
    ASSERT_GE(row.texts.size(), 2u);
    EXPECT_EQ(row.texts[0], "巡回リスト作成失敗");
    EXPECT_EQ(row.texts[1], "送信中(1)");
    ASSERT_FALSE(g_waits.empty());
    EXPECT_EQ(g_waits[0], 1000u);
    EXPECT_EQ(Load(F(kSent)).titles, Titles{"posted"});
}

TEST(PostJudge, ErrorCommentsFailThePostAndShowTheirReason)
{
    RecordingRow row;
    g_waits.clear();
    std::string ok = "<html><!-- 書き込みました --><p>ERROR: not in a comment</p></html>";
    EXPECT_EQ(Post_JudgeResponse(ok.data(), ok.size(), &row, RecordSleep), 1);
    EXPECT_TRUE(row.texts.empty());

    std::string bad = "<!-- a --><!--ERROR:名前がありません--><!-- x ERROR: second -->";
    EXPECT_EQ(Post_JudgeResponse(bad.data(), bad.size(), &row, RecordSleep), 0);
    EXPECT_EQ(row.texts, (Titles{"名前がありません", " second "}));
    EXPECT_EQ(g_waits, (std::vector<unsigned>{2000, 2000}));

    // A comment cut off by the end of what was read runs to that end; the
    // bytes are not zero-terminated.
    row.texts.clear();
    std::string cut = "<!-- ERROR:cut here-->";
    EXPECT_EQ(Post_JudgeResponse(cut.data(), cut.size() - 4, &row, RecordSleep), 0);
    EXPECT_EQ(row.texts, Titles{"cut her"});
    EXPECT_EQ(Post_JudgeResponse("", 0, &row, RecordSleep), 1);
}

}  // namespace
