// zv_Stillmark's rewrite of "zeva_BBS.ini": DIALOG first, BASIC second,
// everything else kept behind them.
#include "plugins/stillmark/Stillmark.h"

#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Rewrite(const std::string& text, bool dialog)
{
    return Stillmark_Rewrite(text.data(), text.size(), dialog);
}
const std::string kDialog = "[DIALOG]\r\nURL=1\r\n_URL=ブラウザで開くアドレス(URL)(&A)：\r\n";
}

TEST(Stillmark, DialogComesBeforeBasic)
{
    EXPECT_EQ(Rewrite("[BASIC]\r\nURL=http://x/\r\n[DIALOG]\r\nURL=1\r\n", false),
              "[DIALOG]\r\nURL=1\r\n[BASIC]\r\nURL=http://x/\r\n");
}

TEST(Stillmark, DialogModeReplacesOrAddsTheDialogSection)
{
    EXPECT_EQ(Rewrite("[BASIC]\r\nLIB=Stillmark\r\n", true), kDialog + "[BASIC]\r\nLIB=Stillmark\r\n");
    EXPECT_EQ(Rewrite("[DIALOG]\r\nL000=.\r\nPARAM1=1\r\n[BASIC]\r\nLIB=Stillmark\r\n", true),
              kDialog + "[BASIC]\r\nLIB=Stillmark\r\n");
    EXPECT_EQ(Rewrite("", true), kDialog);
}

TEST(Stillmark, TrailingBlankLinesGoAndOtherSectionsStay)
{
    EXPECT_EQ(Rewrite("[BASIC]\r\nURL=u\r\n\r\n \t\r\n\r\n", false), "[BASIC]\r\nURL=u\r\n");
    EXPECT_EQ(Rewrite("; note\r\n[TITLE]\r\nCLMSORT=3\r\n[BASIC]\r\nURL=u\r\n\r\n", false),
              "; note\r\n[BASIC]\r\nURL=u\r\n\r\n[TITLE]\r\nCLMSORT=3\r\n");
    // LF-only lines and a last line without a line end are read as lines.
    EXPECT_EQ(Rewrite("[BASIC]\nA=1\n[DIALOG]\nURL=1", false), "[DIALOG]\r\nURL=1\r\n[BASIC]\r\nA=1\r\n");
    // Section names are compared exactly.
    EXPECT_EQ(Rewrite("[basic]\r\nA=1\r\n[BASIC]\r\nB=2\r\n", false), "[BASIC]\r\nB=2\r\n[basic]\r\nA=1\r\n");
    EXPECT_EQ(Rewrite("", false), "");
}

TEST(Stillmark, RunRewritesTheFileInTheFolder)
{
    subjtest::TempDir dir;
    ASSERT_TRUE(subjtest::WriteBytes(dir.File("zeva_BBS.ini"), "[BASIC]\r\nURL=u\r\n"));
    // Only the exact argument "i" is dialog mode.
    EXPECT_EQ(Stillmark_Run("index", dir.Path().c_str()), 0);
    EXPECT_EQ(subjtest::ReadBytes(dir.File("zeva_BBS.ini")), "[BASIC]\r\nURL=u\r\n");
    EXPECT_EQ(Stillmark_Run("i", dir.Path().c_str()), 0);
    EXPECT_EQ(subjtest::ReadBytes(dir.File("zeva_BBS.ini")), kDialog + "[BASIC]\r\nURL=u\r\n");
    EXPECT_EQ(Stillmark_Run("", dir.Path().c_str()), 0);
    EXPECT_EQ(subjtest::ReadBytes(dir.File("zeva_BBS.ini")), kDialog + "[BASIC]\r\nURL=u\r\n");
}

TEST(Stillmark, RunWithoutFileInDialogModeCreatesIt)
{
    subjtest::TempDir dir;
    EXPECT_EQ(Stillmark_Run("i", dir.Path().c_str()), 0);
    EXPECT_EQ(subjtest::ReadBytes(dir.File("zeva_BBS.ini")), kDialog);
}
