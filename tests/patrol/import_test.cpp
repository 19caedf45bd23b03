// The import of plug-in output: ".zv$" merges, ".zvw" settling, the notices
// around every rewritten store, and that a failed save never loses what the
// plug-in fetched or posted.
#include "patrol/Import.h"

#include "base/debug.h"
#include "base/fileio.h"
#include "base/sjis.h"
#include "patrol/StoreNotify.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

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

// ZVT text with correct header counts, as the host's writer leaves it.
std::string Zvt(const std::string& text)
{
    CSubj s;
    Parse(s, text);
    return Written(s);
}

std::string Article(const std::string& no, const std::string& flags, const std::string& title,
                    const std::string& msg = "body")
{
    return "S:" + no + ",*,04/05/06,12:00" + (flags.empty() ? "" : "," + flags) + "\nT:" + title + "\nN:nm\nM:" + msg + "\n.\n";
}

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

class ImportTest : public ::testing::Test {
protected:
    std::string Folder() const { return dir.Path() + kSep; }
    std::string F(const std::string& name) const { return Folder() + name; }
    void Put(const std::string& name, const std::string& text) { ASSERT_TRUE(WriteBytes(F(name), text)); }
    int Import() { return Patrol_Import(Folder().c_str(), &notify); }

    TempDir dir;
    RecordingNotify notify;
};

TEST(ImportNames, StoreIsTheFileWithItsLastCharacterMadeT)
{
    char out[260];
    Import_StorePath(out, sizeof out, "C:\\data\\board\\001.zv$");
    EXPECT_STREQ(out, "C:\\data\\board\\001.zvt");
    Import_StorePath(out, sizeof out, "X.ZVW");
    EXPECT_STREQ(out, "X.ZVt");
    EXPECT_TRUE(Import_HasExt("a.b.ZV$", ".zv$"));
    EXPECT_FALSE(Import_HasExt("a.zv$.txt", ".zv$"));
    EXPECT_FALSE(Import_HasExt("zv$", ".zv$"));
}

TEST_F(ImportTest, OutputFilesFillTheirStoresAndAreDeleted)
{
    Put("001.zv$", "#T:board\n" + Article("1", "", "one") + Article("2", "", "two"));
    Put("雑談.zv$", "#T:cat\n" + Article("5", "", "chat"));
    Put("002.ZV$", Article("9", "", "upper"));
    Put("ReadList.tmp", "1\r\n");
    Put("keep.txt", "x");

    EXPECT_EQ(Import(), 4);

    EXPECT_EQ(Load(F("001.zvt")).titles, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Load(F("001.zvt")).flags, (std::vector<int>{ATR_N, ATR_N}));
    EXPECT_EQ(Load(F("雑談.zvt")).titles, std::vector<std::string>{"chat"});
    EXPECT_EQ(Load(F("002.ZVt")).titles, std::vector<std::string>{"upper"});
    for (const char* gone : {"001.zv$", "雑談.zv$", "002.ZV$", "ReadList.tmp"})
        EXPECT_FALSE(File_Exists(F(gone).c_str())) << gone;
    EXPECT_TRUE(File_Exists(F("keep.txt").c_str()));

    // Each store is announced before it is loaded and reported after.
    ASSERT_EQ(notify.log.size(), 6u);
    for (size_t i = 0; i < notify.log.size(); i += 2) {
        std::string name = notify.log[i].substr(7);
        EXPECT_EQ(notify.log[i], "before " + name);
        EXPECT_EQ(notify.log[i + 1], "after " + name + " 1");
    }

    // The same output again adds nothing and says so.
    Put("001.zv$", "#T:board\n" + Article("1", "", "one"));
    notify.log.clear();
    EXPECT_EQ(Import(), 0);
    EXPECT_EQ(notify.log, (std::vector<std::string>{"before 001.zvt", "after 001.zvt 0"}));
    EXPECT_FALSE(File_Exists(F("001.zv$").c_str()));
}

TEST_F(ImportTest, FolderWithoutOutputReturnsZeroAndRemovesTheReadList)
{
    Put("ReadList.tmp", "12\r\n");
    Put("a.zvt", Zvt(Article("1", "", "stored")));
    std::string before = ReadBytes(F("a.zvt"));
    EXPECT_EQ(Import(), 0);
    EXPECT_FALSE(File_Exists(F("ReadList.tmp").c_str()));
    EXPECT_EQ(ReadBytes(F("a.zvt")), before);
    EXPECT_TRUE(notify.log.empty());
    EXPECT_EQ(Patrol_Import(Folder().c_str(), nullptr), 0);
}

TEST_F(ImportTest, FailedSaveKeepsTheOutputFileUntilTheArticlesAreStored)
{
    Put("a.zvt", Zvt("#T:board\n" + Article("1", "", "old")));
    std::string before = ReadBytes(F("a.zvt"));
    Put("a.zv$", "#T:board\n" + Article("2", "", "new"));
    ASSERT_EQ(File_SetReadOnly(F("a.zvt").c_str(), 1), 1);

    EXPECT_EQ(Import(), 0);
    EXPECT_TRUE(File_Exists(F("a.zv$").c_str()));
    EXPECT_EQ(ReadBytes(F("a.zvt")), before);
    EXPECT_EQ(notify.log, (std::vector<std::string>{"before a.zvt", "after a.zvt 0"}));

    // Once the store can be written the articles arrive after all.
    ASSERT_EQ(File_SetReadOnly(F("a.zvt").c_str(), 0), 1);
    EXPECT_EQ(Import(), 1);
    EXPECT_EQ(Load(F("a.zvt")).titles, (std::vector<std::string>{"old", "new"}));
    EXPECT_FALSE(File_Exists(F("a.zv$").c_str()));
}

TEST_F(ImportTest, WhicheverWriteStepFailsTheArticlesAreEitherStoredOrStillWaiting)
{
    Put("b.zv$", Article("3", "", "first"));
    // Fail the k-th file step of the import (settings or store), for
    // k = 1, 2, ... until an import runs through without meeting its fault.
    // A single failed write is retried once, so the articles always arrive;
    // what matters is that they are never lost or doubled on the way.
    for (int k = 1; k < 100; ++k) {
        FileFault_Set(k);
        int n = Import();
        bool faultHit = FileFault_Steps() >= k;
        FileFault_Set(0);
        bool stored = Load(F("b.zvt")).titles == std::vector<std::string>{"first"};
        bool waiting = File_Exists(F("b.zv$").c_str()) != 0;
        EXPECT_NE(stored, waiting) << k;   // never both, never neither
        if (waiting) {
            EXPECT_EQ(n, 0) << k;
            continue;
        }
        EXPECT_EQ(n, 1) << k;
        if (!faultHit)
            break;
        // Stored despite a fault (it hit the settings file): import again
        // from the start.
        Put("b.zv$", Article("3", "", "first"));
        ASSERT_TRUE(File_Delete(F("b.zvt").c_str()));
    }
    EXPECT_FALSE(File_Exists(F("b.zv$").c_str()));
    EXPECT_EQ(Import(), 0);
}

TEST_F(ImportTest, HandOverFileSettlesPostedAndUnpostedArticles)
{
    Put("a.zvt", Zvt("#T:board\n" + Article("1", "", "stored")));
    // The plug-in posted "sent" (cleared its send flag) and left "later".
    Put("a.zvw", Zvt(Article("*", "U", "later") + Article("*", "R", "sent") + Article("*", "UB", "held")));
    Debug_BeginCapture();
    EXPECT_EQ(Import(), 0);
    std::string debug = Debug_Take();
    Debug_EndCapture();

    Loaded store = Load(F("a.zvt"));
    EXPECT_EQ(store.titles, (std::vector<std::string>{"stored", "later", "held"}));
    EXPECT_EQ(store.flags, (std::vector<int>{0, ATR_U, ATR_U | ATR_B}));
    Loaded sent = Load(F(kSent));
    EXPECT_EQ(sent.titles, std::vector<std::string>{"sent"});
    EXPECT_EQ(sent.flags, std::vector<int>{ATR_U | ATR_R});
    EXPECT_FALSE(File_Exists(F("a.zvw").c_str()));
    EXPECT_NE(debug.find("Import Completed\n"), std::string::npos);
    EXPECT_EQ(notify.log, (std::vector<std::string>{"before a.zvt", std::string("before ") + kSent, "after a.zvt 1",
                                                    std::string("after ") + kSent + " 1"}));
}

TEST_F(ImportTest, HandOverWithAllArticlesUnpostedAddsNothingToTheSentStore)
{
    Put("a.zvw", Zvt(Article("*", "U", "x") + Article("*", "U", "y")));
    EXPECT_EQ(Import(), 0);
    EXPECT_EQ(Load(F("a.zvt")).titles, (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(File_Exists(F(kSent).c_str()));
    EXPECT_FALSE(File_Exists(F("a.zvw").c_str()));
}

TEST_F(ImportTest, EmptyHandOverFileIsDeletedAndChangesNothing)
{
    Put("a.zvw", "");
    EXPECT_EQ(Import(), 0);
    EXPECT_FALSE(File_Exists(F("a.zvw").c_str()));
    EXPECT_FALSE(File_Exists(F("a.zvt").c_str()));
    EXPECT_FALSE(File_Exists(F(kSent).c_str()));
    EXPECT_EQ(notify.log, (std::vector<std::string>{"before a.zvt", "after a.zvt 0"}));
}

TEST_F(ImportTest, HandOverKeepsWhatCouldNotBeSavedAndSettlesItOnceLater)
{
    Put(kSent, Zvt(Article("1", "U", "earlier")));
    Put("a.zvw", Zvt(Article("*", "U", "back") + Article("*", "", "posted")));
    ASSERT_EQ(File_SetReadOnly(F(kSent).c_str(), 1), 1);

    EXPECT_EQ(Import(), 0);
    // The returned article is home; the posted one stays in the hand-over
    // file, as the plug-in left it.
    EXPECT_EQ(Load(F("a.zvt")).titles, std::vector<std::string>{"back"});
    Loaded left = Load(F("a.zvw"));
    EXPECT_EQ(left.titles, std::vector<std::string>{"posted"});
    EXPECT_EQ(left.flags, std::vector<int>{0});
    EXPECT_EQ(Load(F(kSent)).titles, std::vector<std::string>{"earlier"});

    ASSERT_EQ(File_SetReadOnly(F(kSent).c_str(), 0), 1);
    EXPECT_EQ(Import(), 0);
    EXPECT_EQ(Load(F("a.zvt")).titles, std::vector<std::string>{"back"});
    EXPECT_EQ(Load(F(kSent)).titles, (std::vector<std::string>{"earlier", "posted"}));
    EXPECT_FALSE(File_Exists(F("a.zvw").c_str()));
}

TEST_F(ImportTest, HandOverIsKeptWholeWhenItsStoreCannotBeSaved)
{
    Put("a.zvt", Zvt(Article("1", "", "stored")));
    Put("a.zvw", Zvt(Article("*", "U", "back")));
    std::string handed = ReadBytes(F("a.zvw"));
    ASSERT_EQ(File_SetReadOnly(F("a.zvt").c_str(), 1), 1);
    EXPECT_EQ(Import(), 0);
    EXPECT_EQ(ReadBytes(F("a.zvw")), handed);
    EXPECT_EQ(Load(F("a.zvt")).titles, std::vector<std::string>{"stored"});
    EXPECT_EQ(notify.log, (std::vector<std::string>{"before a.zvt", "after a.zvt 0"}));
}

}  // namespace
