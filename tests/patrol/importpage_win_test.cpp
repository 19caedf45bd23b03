// The saved-page import with a stand-in plug-in (tests/patrol/pageconv) that
// converts a page into "page.zv$" in the board folder.
#include "patrol/ImportPage_win.h"

#include "base/fileio.h"
#include "base/profile.h"
#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <string>

using subjtest::TempDir;
using subjtest::WriteBytes;

namespace {

class ImportPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        opt.pluginFolder = plugins.c_str();
        opt.perl = "perl";
        opt.ruby = "ruby";
        opt.multiWindow = false;
        SetLib("PageConv");
    }
    void SetLib(const char* lib) { Profile_WriteString("BASIC", "LIB", lib, F("zeva_BBS.ini").c_str()); }
    std::string Folder() const { return dir.Path() + "\\"; }
    std::string F(const std::string& name) const { return Folder() + name; }
    int Run(const std::string& page) { return Patrol_ImportSavedPage(Folder().c_str(), page.c_str(), opt, &lock, nullptr); }

    TempDir dir;
    std::string plugins = std::string(ZEVA_PAGE_PLUGINS) + "\\";
    PluginRunOptions opt;
    CCritSec lock;
};

TEST_F(ImportPageTest, ConvertedPageIsImportedAndCounted)
{
    std::string page = dir.Path() + "\\saved.html";
    ASSERT_TRUE(WriteBytes(page, "first\r\nsecond\r\n"));
    EXPECT_EQ(Run(page), 2);
    CSubj s;
    ASSERT_EQ(s.LoadFile(F("page.zvt").c_str()), 1);
    ASSERT_EQ(s.GetCount(), 2);
    EXPECT_STREQ(s.GetTitle(0), "first");
    EXPECT_STREQ(s.GetTitle(1), "second");
    EXPECT_FALSE(File_Exists(F("page.zv$").c_str()));
    EXPECT_EQ(Run(page), 0);   // the same page again brings nothing new
}

TEST_F(ImportPageTest, PageThePluginCannotConvertGivesNoArticles)
{
    EXPECT_EQ(Run(dir.Path() + "\\missing.html"), 0);
    EXPECT_FALSE(File_Exists(F("page.zvt").c_str()));
}

TEST_F(ImportPageTest, PluginThatCannotBeStartedImportsNothing)
{
    SetLib("NoSuchPlugin");
    ASSERT_TRUE(WriteBytes(F("left.zv$"), "S:1,*,04/05/06,12:00\nT:t\nN:n\nM:m\n.\n"));
    EXPECT_EQ(Run(dir.Path() + "\\saved.html"), -1);
    EXPECT_TRUE(File_Exists(F("left.zv$").c_str()));
    EXPECT_FALSE(File_Exists(F("left.zvt").c_str()));
}

// Output an earlier import could not save was overwritten by the plug-in,
// which writes its files anew: the articles of that fetch were lost. They
// are now imported before the plug-in runs.
TEST_F(ImportPageTest, OutputAnEarlierFailedSaveLeftIsImportedBeforeThePluginOverwritesIt)
{
    ASSERT_TRUE(WriteBytes(F("page.zv$"), "#T:page\nS:9,*,04/05/06,12:00\nT:left\nN:n\nM:m\n.\n"));
    std::string page = dir.Path() + "\\saved.html";
    ASSERT_TRUE(WriteBytes(page, "first\r\n"));
    EXPECT_EQ(Run(page), 2);
    CSubj s;
    ASSERT_EQ(s.LoadFile(F("page.zvt").c_str()), 1);
    ASSERT_EQ(s.GetCount(), 2);
    EXPECT_STREQ(s.GetTitle(0), "left");
    EXPECT_STREQ(s.GetTitle(1), "first");
}

}  // namespace
