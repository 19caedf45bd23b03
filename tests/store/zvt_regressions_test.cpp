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
