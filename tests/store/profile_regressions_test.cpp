// One test per fault found in the settings-file class.
#include "store/Profile.h"

#include "alloc_fault.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CProfile& p)
{
    std::string out;
    p.Serialize(out);
    return out;
}

std::string Get(CProfile& p, const char* key)
{
    char buf[600];
    p.GetString(key, buf, sizeof buf, "<none>");
    return buf;
}

// A key in the second block of a repeated section was found by a read but
// not by a write: removing it removed nothing, setting it added a line.
TEST(ProfileRegressions, KeyInARepeatedSectionIsRewrittenAndRemovedWhereTheReadFindsIt)
{
    const char kFile[] = "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nk=old\r\n";
    CProfile p;
    p.Parse(kFile, sizeof kFile - 1);
    p.SetSection("A");
    p.SetString("k", "new");
    EXPECT_EQ(Text(p), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\nk=new\r\n");
    EXPECT_EQ(Get(p, "k"), "new");
    p.SetString("k", nullptr);
    EXPECT_EQ(Text(p), "[A]\r\nx=1\r\n[B]\r\ny=2\r\n[A]\r\n");
    EXPECT_EQ(Get(p, "k"), "<none>");
    // A new key still goes to the end of the section's first block.
    p.SetString("n", "1");
    EXPECT_EQ(Text(p), "[A]\r\nx=1\r\nn=1\r\n[B]\r\ny=2\r\n[A]\r\n");
}

// Case-blind matching folded the second byte of a double-byte character:
// "[ア]" (83 41) found "[ヂ]" (83 61), and key "アX" the line of "ヂX".
TEST(ProfileRegressions, SectionsAndKeysWhoseSecondBytesAreLettersStayApart)
{
    const char kFile[] = "[ヂ]\r\nヂkey=other\r\n[ア]\r\nヂkey=wrong\r\nアkey=right\r\n";
    CProfile p;
    p.Parse(kFile, sizeof kFile - 1);
    p.SetSection("ア");
    EXPECT_EQ(Get(p, "アKEY"), "right");
    p.SetSection("ヂ");
    EXPECT_EQ(Get(p, "アkey"), "<none>");
    EXPECT_EQ(Get(p, "ヂkey"), "other");
}

// A line node that could not be had threw out of the class and ended the
// program. Whichever allocation fails now, the file ends up either as it was
// or with the change, never cut short.
TEST(ProfileRegressions, NoMemoryForALineLeavesTheFileWholeInsteadOfEndingTheProgram)
{
    subjtest::TempDir dir;
    std::string path = dir.File("zeva.ini");
    const std::string before = "[OPTION]\r\nEditor=notepad\r\n; note\r\n[GOAROUND]\r\nLEFT=1\r\n";
    const std::string after = "[OPTION]\r\nEditor=ed\r\n; note\r\n[GOAROUND]\r\nLEFT=1\r\n";
    int failures = 0;
    for (int k = 1;; ++k) {
        ASSERT_TRUE(subjtest::WriteBytes(path, before));
        bool done;
        {
            CProfile p;   // saves again when it goes
            AllocFault_Set(k);
            p.Open(path.c_str());
            p.SetSection("OPTION");
            p.SetString("Editor", "ed");
            failures += !p.Save();
            done = AllocFault_Count() < k;   // no allocation was left to fail
            AllocFault_Set(0);
        }
        std::string now = subjtest::ReadBytes(path);
        EXPECT_TRUE(now == before || now == after) << "allocation " << k << ": " << now;
        if (done) {
            EXPECT_EQ(now, after);
            break;
        }
    }
    EXPECT_GT(failures, 0);
}

}  // namespace
