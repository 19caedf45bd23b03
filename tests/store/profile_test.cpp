#include "store/Profile.h"

#include "base/fileio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A settings file in a folder of its own, removed afterwards.
class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_dir = std::string("tmp_profile_") + info->name();
        std::filesystem::remove_all(m_dir);
        std::filesystem::create_directories(m_dir);
        m_path = m_dir + "/zeva.ini";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    void Write(const std::string& bytes) { ASSERT_EQ(File_Replace(m_path.c_str(), bytes.data(), bytes.size()), 1); }
    std::string Read()
    {
        std::vector<char> buf;
        if (!File_ReadAll(m_path.c_str(), buf))
            return "<missing>";
        return std::string(buf.begin(), buf.end());
    }
    std::string Get(CProfile& p, const char* key)
    {
        char buf[1200];
        p.GetString(key, buf, sizeof buf, "<none>");
        return buf;
    }

    std::string m_dir, m_path;
};

TEST_F(ProfileTest, ReadingIgnoresCaseButNotSpaces)
{
    Write("URL=outside\r\n[basic]\r\nURL=http://a/\r\nNAME =spaced\r\n[OTHER]\r\nKEY=k\r\n");
    CProfile p;
    ASSERT_EQ(p.Open(m_path.c_str()), 1);
    // Nothing is found before a section is chosen.
    EXPECT_EQ(Get(p, "URL"), "<none>");
    p.SetSection("BASIC");
    EXPECT_EQ(Get(p, "Url"), "http://a/");
    EXPECT_EQ(Get(p, "NAME"), "<none>");     // a space before "=" is part of the key
    EXPECT_EQ(Get(p, "NAME "), "spaced");
    EXPECT_EQ(Get(p, "KEY"), "<none>");      // other section
    EXPECT_EQ(Get(p, "UR"), "<none>");       // the key must be followed by "="
}

TEST_F(ProfileTest, KeysOfARepeatedSectionAreFoundInBothBlocks)
{
    Write("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\nx=9\r\n");
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("A");
    EXPECT_EQ(Get(p, "x"), "1");
    EXPECT_EQ(Get(p, "z"), "3");
    EXPECT_EQ(Get(p, "y"), "<none>");
}

TEST_F(ProfileTest, WritingPlacesLinesAsTheFileIsLaidOut)
{
    Write("; comment\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("A");
    p.SetString("z", "3");       // new: before [B], after the blank line
    p.SetString("x", "one");     // existing: rewritten in place
    p.SetSection("B");
    p.SetString("w", "4");       // last section: appended at the end
    p.SetSection("C");
    p.SetInt("n", -17);          // no such section: header and line appended
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), "; comment\r\n[A]\r\nx=one\r\n\r\nz=3\r\n[B]\r\ny=2\r\nw=4\r\n[C]\r\nn=-17\r\n");
    EXPECT_EQ(p.IsModified(), 0);
}

TEST_F(ProfileTest, WritingComparesWithCaseSoASecondLineAppears)
{
    Write("[BASIC]\r\nURL=old\r\n");
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("BASIC");
    p.SetString("url", "new");
    EXPECT_EQ(Get(p, "url"), "old");   // reading still finds the first line
    p.SetSection("basic");
    p.SetString("URL", "x");            // "[basic]" is another section for writing
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), "[BASIC]\r\nURL=old\r\nurl=new\r\n[basic]\r\nURL=x\r\n");
}

TEST_F(ProfileTest, RemovingAndSavingOnlyWhatChanged)
{
    Write("[A]\r\nx=1\r\ny=2\r\n");
    {
        CProfile p;
        p.Open(m_path.c_str());
        p.SetSection("A");
        char buf[8];
        p.GetString("x", buf, sizeof buf, "");
        // Reading never writes: the file removed meanwhile stays missing.
        ASSERT_EQ(File_Delete(m_path.c_str()), 1);
        EXPECT_EQ(p.Save(), 1);
        EXPECT_EQ(Read(), "<missing>");
        p.SetString("x", nullptr);
        EXPECT_EQ(p.LineCount(), 2);
        EXPECT_EQ(Get(p, "x"), "<none>");
        // Removing a key that is not there still counts as a change.
        ASSERT_EQ(p.Save(), 1);
        p.SetString("gone", nullptr);
        EXPECT_EQ(p.IsModified(), 1);
        ASSERT_EQ(p.Save(), 1);
        EXPECT_EQ(Read(), "[A]\r\ny=2\r\n");
        p.SetString("y", "3");
        // The destructor saves.
    }
    EXPECT_EQ(Read(), "[A]\r\ny=3\r\n");
}

TEST_F(ProfileTest, LongLinesAreCutAndALastLineWithoutLineEndIsKept)
{
    std::string longValue(600, 'v');
    Write("[A]\r\nk=" + longValue + "\r\nlast=1");
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("A");
    // 510 bytes of line: "k=" and 508 of the value.
    EXPECT_EQ(Get(p, "k"), std::string(508, 'v'));
    EXPECT_EQ(Get(p, "last"), "1");
    EXPECT_EQ(p.LineCount(), 3);
    // A line set in memory may be longer than a file line.
    p.SetString("m", std::string(700, 'm').c_str());
    EXPECT_EQ(Get(p, "m"), std::string(511, 'm'));
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), "[A]\r\nk=" + std::string(508, 'v') + "\r\nlast=1\r\nm=" + std::string(700, 'm') + "\r\n");
}

TEST_F(ProfileTest, UnknownLinesSurviveARoundTrip)
{
    const std::string text = "\r\n;; note\r\n[A]\r\n  spaced = x\r\nnoequals\r\n[B\r\n=v\r\n\x83\x5C=\x95\x5C\r\n";
    Write(text);
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("A");
    p.SetString("new", "1");
    p.SetString("new", nullptr);
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), text);
}

TEST_F(ProfileTest, GetStringHonoursBothLimits)
{
    std::string v(600, 'a');
    CProfile p;
    p.SetSection("S");
    p.SetString("k", v.c_str());
    char buf[1000];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(p.GetString("k", buf, sizeof buf, ""), 511);
    EXPECT_EQ(buf[511], 0);
    EXPECT_EQ(buf[512], 'x');
    char small[5];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(p.GetString("k", small, sizeof small, ""), 4);
    EXPECT_STREQ(small, "aaaa");
    EXPECT_EQ(p.GetString("none", small, sizeof small, "defaults"), 4);
    EXPECT_STREQ(small, "defa");
    EXPECT_EQ(p.GetString("none", small, sizeof small, nullptr), 0);
    EXPECT_STREQ(small, "");
}

TEST_F(ProfileTest, GetIntReadsDecimalText)
{
    CProfile p;
    p.SetSection("S");
    p.SetString("neg", "-42");
    p.SetString("lead", " 7px");
    p.SetString("hex", "0x10");
    p.SetString("empty", "");
    p.SetString("huge", "99999999999999999999");
    p.SetString("tiny", "-99999999999999999999");
    // Only 99 bytes of the value are read.
    p.SetString("long", (std::string(98, '0') + "12").c_str());
    EXPECT_EQ(p.GetInt("neg", 5), -42);
    EXPECT_EQ(p.GetInt("lead", 5), 7);
    EXPECT_EQ(p.GetInt("hex", 5), 0);
    EXPECT_EQ(p.GetInt("empty", 5), 0);
    EXPECT_EQ(p.GetInt("missing", 5), 5);
    EXPECT_EQ(p.GetInt("huge", 5), 2147483647);
    EXPECT_EQ(p.GetInt("tiny", 5), -2147483647 - 1);
    EXPECT_EQ(p.GetInt("long", 5), 1);
    p.SetInt("min", -2147483647 - 1);
    EXPECT_EQ(Get(p, "min"), "-2147483648");
}

TEST_F(ProfileTest, FontsUseFourKeys)
{
    ProfileFont f = {"ＭＳ ゴシック", -12, 1, 700};
    {
        CProfile p;
        p.Open(m_path.c_str());
        p.SetSection("OPTION");
        p.SetFont("FontText", &f);
    }
    EXPECT_EQ(Read(), "[OPTION]\r\nFontTextFace=ＭＳ ゴシック\r\nFontTextSize=-12\r\n"
                      "FontTextItalic=1\r\nFontTextWeight=700\r\n");

    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("OPTION");
    ProfileFont def = {"def", 9, 0, 400};
    ProfileFont got;
    p.GetFont("FontText", &got, &def);
    EXPECT_STREQ(got.face, f.face);
    EXPECT_EQ(got.size, -12);
    EXPECT_EQ(got.italic, 1);
    EXPECT_EQ(got.weight, 700);
    p.GetFont("FontTitle", &got, &def);
    EXPECT_STREQ(got.face, "def");
    EXPECT_EQ(got.size, 9);
    EXPECT_EQ(got.weight, 400);
    // A face name longer than the record holds is cut at 31 bytes.
    p.SetString("FontLongFace", std::string(40, 'F').c_str());
    p.GetFont("FontLong", &got, &def);
    EXPECT_EQ(std::string(got.face), std::string(31, 'F'));
}

TEST_F(ProfileTest, MissingOrUnwritableFiles)
{
    CProfile p;
    EXPECT_EQ(p.Open((m_dir + "/none.ini").c_str()), 0);
    p.SetSection("A");
    EXPECT_EQ(Get(p, "k"), "<none>");
    EXPECT_EQ(p.GetInt("k", 3), 3);

    // A file that can't be written is not written and stays modified.
    CProfile q;
    q.Open((m_dir + "/no/such/folder/x.ini").c_str());
    q.SetSection("A");
    q.SetString("k", "v");
    EXPECT_EQ(q.Save(), 0);
    EXPECT_EQ(q.IsModified(), 1);
}

TEST_F(ProfileTest, NoKeyIsWrittenBeforeASectionIsChosen)
{
    Write("[LAST]\r\na=1\r\n");
    CProfile p;
    p.Open(m_path.c_str());
    p.SetString("stray", "1");
    p.SetSection("LAST");
    EXPECT_EQ(Get(p, "stray"), "<none>");
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), "[LAST]\r\na=1\r\n");
}

TEST_F(ProfileTest, LinesEndAtLoneLineFeedsAndZeroBytes)
{
    static const char text[] = "[A]\nx=1\r\ny=2\0junk\r\n";
    Write(std::string(text, sizeof text - 1));
    CProfile p;
    p.Open(m_path.c_str());
    p.SetSection("A");
    EXPECT_EQ(Get(p, "x"), "1");
    EXPECT_EQ(Get(p, "y"), "2");
    p.SetString("z", "3");
    ASSERT_EQ(p.Save(), 1);
    EXPECT_EQ(Read(), "[A]\r\nx=1\r\ny=2\r\nz=3\r\n");
}

} // namespace
