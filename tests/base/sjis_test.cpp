#include "base/sjis.h"

#include <gtest/gtest.h>
#include <string.h>

// "ソ" is 0x83 0x5C: its trail byte is a backslash and must not be taken
// for a path separator.
TEST(Sjis, ScansStepOverTrailBytes)
{
    const char path[] = "C:\\data\\\x83\x5C\x83\x74\x83\x67\\a.zvt";
    const char* last = Sjis_StrRChr(path, '\\');
    ASSERT_NE(last, nullptr);
    EXPECT_STREQ(last, "\\a.zvt");
    EXPECT_STREQ(Path_FileName(path), "a.zvt");
    EXPECT_STREQ(Path_FileName("\x83\x5C"), "\x83\x5C");
    EXPECT_EQ(Sjis_StrChr("\x83\x5C", '\\'), nullptr);
    EXPECT_STREQ(Sjis_StrChr("ab\\c", '\\'), "\\c");
    // A lead byte at the very end stands alone.
    EXPECT_EQ(Sjis_StrRChr("a\x83", '\\'), nullptr);
}

TEST(Sjis, BoundedCopiesCutAndTerminate)
{
    char buf[5];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(Str_Copy(buf, sizeof buf, "abcdefgh"), 4u);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(Str_CopyN(buf, sizeof buf, "abcdefgh", 2), 2u);
    EXPECT_STREQ(buf, "ab");
    EXPECT_EQ(Str_Cat(buf, sizeof buf, "xyz"), 2u);
    EXPECT_STREQ(buf, "abxy");
    EXPECT_EQ(Str_Format(buf, sizeof buf, "%d", 1234567), 4);
    EXPECT_STREQ(buf, "1234");
    EXPECT_EQ(Str_Copy(buf, sizeof buf, nullptr), 0u);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Str_ICmp("BASIC", "basic"), 0);
    EXPECT_NE(Str_ICmp("BASIC", "basix"), 0);
    EXPECT_EQ(Str_NICmp("URL=x", "url=y", 4), 0);
}
