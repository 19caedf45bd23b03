// One test per fault found in the ZVT reader and writer.
#include "store/Subj.h"

#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <string>

using namespace subjtest;

namespace {

// A zero byte right after a "." line cut the text there; the writer then
// put its terminator after the ".", which ended the text one line early on
// the next read and left a stray "." line.
TEST(ZvtRegression, ZeroByteAfterADotLineNoLongerEndsTheTextEarly)
{
    std::string text = "S:101,*,104/01/02,12:00\nM:text\n.";
    text += std::string(2, '\0');
    text += "\xC8\xB2#T:board\n#N:1\nM:\n.\n";
    CSubj s;
    Parse(s, text);
    ASSERT_EQ(s.GetCount(), 1);
    EXPECT_STREQ(s.GetMsg(0), "text\n.  \xC8\xB2#T:board\n#N:1\nM:\n");
    std::string w = Written(s);
    EXPECT_EQ(RoundTrip(w), w);
}

}  // namespace

// A text line holding only "." used to end the message when the store was
// read back: the rest of the text was lost and its lines were parsed as
// records of their own.
TEST(ZvtRegressions, TextLineOfASingleDotDoesNotEndTheMessage)
{
    CSubj c;
    Article a;
    a.msg = "first\n.\nS:9,*,04/01/02,12:00\nM:not a record\n.";
    Add(c, a);
    a.msg = "next\n";
    Add(c, a);
    std::string w = Written(c);
    EXPECT_NE(w.find("M:first\n. \nS:9,*,04/01/02,12:00\nM:not a record\n. \n.\n"), std::string::npos);

    CSubj back;
    Parse(back, w);
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_STREQ(back.GetMsg(0), "first\n. \nS:9,*,04/01/02,12:00\nM:not a record\n. \n");
    EXPECT_STREQ(back.GetMsg(1), "next\n");
    EXPECT_EQ(Written(back), w);   // stable from then on

    // A first line of "." shares its line with "M:" and stays as it is.
    CSubj d;
    a.msg = ".\n..\n";
    Add(d, a);
    EXPECT_NE(Written(d).find("M:.\n..\n.\n"), std::string::npos);
}
