#include "base/profile.h"
#include "base/fileio.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

using subjtest::TempDir;
using subjtest::ReadBytes;

// The same expectations hold for the system's functions under Wine and for
// our own implementation natively.
TEST(ProfileFunctions, MatchSectionsAndKeysIgnoringCase)
{
    TempDir dir;
    std::string ini = dir.File("zeva_BBS.ini");
    std::string text = "[basic]\r\nurl=http://a/\r\n NAME = yamada \r\nQUOTED=\"x y\"\r\n[DIALOG]\r\nURL=other\r\n";
    ASSERT_EQ(File_Replace(ini.c_str(), text.data(), text.size()), 1);

    char buf[260];
    EXPECT_EQ(Profile_GetString("BASIC", "URL", "", buf, sizeof buf, ini.c_str()), 9u);
    EXPECT_STREQ(buf, "http://a/");
    Profile_GetString("Basic", "name", "", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "yamada");
    Profile_GetString("BASIC", "QUOTED", "", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "x y");
    Profile_GetString("BASIC", "MISSING", "def", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "def");
    Profile_GetString("NOSECTION", "URL", "d2", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "d2");
    Profile_GetString("BASIC", "URL", "", buf, 5, ini.c_str());
    EXPECT_STREQ(buf, "http");
    Profile_GetString("BASIC", "URL", "", buf, sizeof buf, dir.File("none.ini").c_str());
    EXPECT_STREQ(buf, "");
}

TEST(ProfileFunctions, WriteReplacesAddsAndRemoves)
{
    TempDir dir;
    std::string ini = dir.File("zeva_BBS.ini");
    char buf[260];

    ASSERT_EQ(Profile_WriteString("BASIC", "PARAM2", "100", ini.c_str()), 1);
    ASSERT_EQ(Profile_WriteString("BASIC", "URL", "http://b/", ini.c_str()), 1);
    ASSERT_EQ(Profile_WriteString("DIALOG", "X", "1", ini.c_str()), 1);
    ASSERT_EQ(Profile_WriteString("basic", "param2", "200", ini.c_str()), 1);
    Profile_GetString("BASIC", "PARAM2", "", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "200");
    Profile_GetString("BASIC", "URL", "", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "http://b/");
    EXPECT_EQ(Profile_GetInt("DIALOG", "X", 7, ini.c_str()), 1);
    EXPECT_EQ(Profile_GetInt("DIALOG", "Y", 7, ini.c_str()), 7);

    ASSERT_EQ(Profile_WriteString("BASIC", "URL", nullptr, ini.c_str()), 1);
    Profile_GetString("BASIC", "URL", "gone", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "gone");
    std::string bytes = ReadBytes(ini);
    EXPECT_NE(bytes.find("PARAM2=200\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find("URL="), std::string::npos);
    EXPECT_LT(bytes.find("[BASIC]"), bytes.find("[DIALOG]"));
}

#ifndef _WIN32
// Settings written again unchanged (a store writes its view settings at
// every save) leave the file alone; a changed value replaces it.
TEST(ProfileFunctions, AnUnchangedValueDoesNotRewriteTheFile)
{
    TempDir dir;
    std::string ini = dir.File("zeva_BBS.ini");
    ASSERT_EQ(Profile_WriteString("BASIC", "TREE", "1", ini.c_str()), 1);
    ASSERT_EQ(Profile_WriteString("BASIC", "CLM00", "120", ini.c_str()), 1);
    std::string before = ReadBytes(ini);

    FileFault_Set(1000);   // counts the steps of atomic writes
    EXPECT_EQ(Profile_WriteString("basic", "tree", "1", ini.c_str()), 1);
    EXPECT_EQ(FileFault_Steps(), 0);
    EXPECT_EQ(ReadBytes(ini), before);

    EXPECT_EQ(Profile_WriteString("BASIC", "TREE", "0", ini.c_str()), 1);
    EXPECT_GT(FileFault_Steps(), 0);
    FileFault_Set(0);
    char buf[16];
    Profile_GetString("BASIC", "TREE", "", buf, sizeof buf, ini.c_str());
    EXPECT_STREQ(buf, "0");
}
#endif
