// The ZVT reader and writer of CSubj.
#include "store/Subj.h"

#include "base/debug.h"
#include "subj_testutil.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

using namespace subjtest;

namespace {

const char kExample[] =
    "#T:雑談\n#N:1\n#U:0\n#B:0\n#R:0\n#F:\n#P:\n"
    "S:12,*,04/05/06,21:07,N,0000FF\n"
    "T:こんにちは\n"
    "N:山田\n"
    "M:本文1行目\n2行目\n.\n";

std::string Record(const std::string& sline, const std::string& msg = "x")
{
    return sline + "\nM:" + msg + "\n.\n";
}

TEST(Zvt, WriterProducesTheExampleByteForByte)
{
    CSubj s;
    s.SetTitle("雑談");
    Article a;
    a.no = 12;
    a.date = Date(2004, 5, 6);
    a.time = 21 * 60 + 7;
    a.atr = ATR_N;
    a.color = 0x0000FF;
    a.title = "こんにちは";
    a.name = "山田";
    a.msg = "本文1行目\n2行目\n";
    Add(s, a);
    EXPECT_EQ(Written(s), kExample);
}

TEST(Zvt, ExampleReadsAsItsRecordAndWritesBackUnchanged)
{
    CSubj s;
    Parse(s, kExample);
    ASSERT_EQ(s.GetCount(), 1);
    const SubjItem& it = s.GetItem(0);
    EXPECT_EQ(it.no, 12);
    EXPECT_EQ(it.pno, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(it.date, Date(2004, 5, 6));
    EXPECT_EQ(it.time, 21 * 60 + 7);
    EXPECT_EQ(it.atr, ATR_N);
    EXPECT_EQ(it.color, 0x0000FFu);
    EXPECT_STREQ(s.GetTitle(0), "こんにちは");
    EXPECT_STREQ(s.GetName(0), "山田");
    EXPECT_STREQ(s.GetMsg(0), "本文1行目\n2行目\n");
    EXPECT_STREQ(s.Header().title, "雑談");
    EXPECT_EQ(Written(s), kExample);

    // The same through a file: load, write, compare the bytes.
    TempDir dir;
    std::string path = dir.File("001.zvt");
    ASSERT_TRUE(WriteBytes(path, kExample));
    CSubj f;
    ASSERT_EQ(f.LoadFile(path.c_str()), 1);
    EXPECT_EQ(f.IsModified(), 0);
    f.SetModified();
    ASSERT_EQ(f.Update(), 1);
    EXPECT_EQ(ReadBytes(path), kExample);
}

TEST(Zvt, PluginRecordWithFourFieldsAndAllValueLines)
{
    CSubj s;
    Parse(s, "#T:board\n#P:new\n#F:follow\n"
             "S:*,*,04/01/02,12:00\nI:img\nH:http://h/\nE:a@b\nF:-\nP:own\nN:nm\nT:tt\nM:text\n.\n");
    ASSERT_EQ(s.GetCount(), 1);
    const SubjItem& it = s.GetItem(0);
    EXPECT_EQ(it.no, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(it.pno, SUBJ_NO_UNKNOWN);
    EXPECT_EQ(it.date, Date(2004, 1, 2));
    EXPECT_EQ(it.time, 720);
    EXPECT_EQ(it.atr, 0);
    EXPECT_EQ(it.color, SUBJ_NO_COLOR);
    EXPECT_STREQ(s.GetImage(0), "img");
    EXPECT_STREQ(s.GetHp(0), "http://h/");
    EXPECT_STREQ(s.GetEmail(0), "a@b");
    EXPECT_STREQ(s.GetPostStr(0), "own");
    EXPECT_STREQ(s.GetFollowStr(0), "follow");   // "-" defers to the list's
    EXPECT_EQ(Written(s), "#T:board\n#N:0\n#U:0\n#B:0\n#R:0\n#F:follow\n#P:new\n"
                          "S:*,*,04/01/02,12:00,,\nT:tt\nN:nm\nP:own\nF:-\nE:a@b\nH:http://h/\nI:img\n"
                          "M:text\n.\n");
}

TEST(Zvt, IdentifierNumbersInEitherCaseAreWrittenWithCapitalS)
{
    CSubj s;
    Parse(s, Record("S:sABC,SABC,04/01/02,12:00") + Record("S:SXY,sABC,04/01/02,12:00"));
    ASSERT_EQ(s.GetCount(), 2);
    EXPECT_NE(s.GetItem(0).no & SUBJ_NO_ID, 0);
    EXPECT_EQ(s.GetItem(0).no, s.GetItem(0).pno);   // one shared atom
    EXPECT_EQ(s.GetItem(1).pno, s.GetItem(0).no);
    EXPECT_STREQ(s.NoStr(0), "ABC");
    EXPECT_STREQ(s.PnoStr(1), "ABC");
    EXPECT_EQ(Written(s).substr(Written(s).find("S:")), Record("S:SABC,SABC,04/01/02,12:00,,") +
                                                         Record("S:SXY,SABC,04/01/02,12:00,,"));
    // Identifiers keep at most 255 bytes.
    CSubj l;
    Parse(l, Record("S:S" + std::string(300, 'i') + ",*,04/01/02,12:00"));
    ASSERT_EQ(l.GetCount(), 1);
    EXPECT_EQ(std::string(l.NoStr(0)), std::string(255, 'i'));
}

TEST(Zvt, NumberFields)
{
    CSubj s;
    Parse(s, Record("S:12abc,abc,04/01/02,12:00") + Record("S:2147483646,2147483647,04/01/02,12:00") +
                 Record("S:99999999999, 7,04/01/02,12:00") + Record("S:,*"));
    ASSERT_EQ(s.GetCount(), 4);
    EXPECT_EQ(s.GetItem(0).no, 12);
    EXPECT_EQ(s.GetItem(0).pno, 0);   // malformed
    EXPECT_EQ(s.GetItem(1).no, 2147483646);
    EXPECT_EQ(s.GetItem(1).pno, SUBJ_NO_UNKNOWN);
    EXPECT_STREQ(s.PnoStr(1), "*");
    EXPECT_EQ(s.GetItem(2).no, SUBJ_NO_UNKNOWN);   // beyond the range: as read, top bit cleared
    EXPECT_EQ(s.GetItem(2).pno, 7);
    EXPECT_EQ(s.GetItem(3).no, 0);
    EXPECT_EQ(s.GetItem(3).date, 0);
}

TEST(Zvt, DateForms)
{
    CSubj s;
    Parse(s, Record("S:1,*,04/01/02,12:00") + Record("S:2,*,104/01/02,12:00") +
                 Record("S:3,*,2004/01/02,12:00") + Record("S:4,*,70/01/01,00:00") +
                 Record("S:5,*,69/12/31,23:59") + Record("S:6,*,2004-01-02,12:00") +
                 Record("S:7,*,70/00/00, 9:05") + Record("S:8,*,04/1,12:00"));
    ASSERT_EQ(s.GetCount(), 8);
    EXPECT_EQ(s.GetItem(0).date, Date(2004, 1, 2));
    EXPECT_EQ(s.GetItem(1).date, Date(2004, 1, 2));
    EXPECT_EQ(s.GetItem(2).date, Date(2004, 1, 2));
    EXPECT_EQ(s.GetItem(3).date, Date(1970, 1, 1));
    EXPECT_EQ(s.GetItem(4).date, Date(2069, 12, 31));
    EXPECT_EQ(s.GetItem(4).time, 23 * 60 + 59);
    EXPECT_EQ(s.GetItem(5).date, 0);   // no "/" in bytes 3 to 5
    EXPECT_EQ(s.GetItem(6).date, 0);
    EXPECT_EQ(s.GetItem(6).time, 9 * 60 + 5);
    EXPECT_EQ(s.GetItem(7).date, Date(2004, 1, 0));   // day missing: cut field
    std::string w = Written(s);
    EXPECT_NE(w.find("S:1,*,04/01/02,12:00,,\n"), std::string::npos);
    EXPECT_NE(w.find("S:3,*,04/01/02,12:00,,\n"), std::string::npos);
    EXPECT_NE(w.find("S:4,*,70/01/01, 0:00,,\n"), std::string::npos);
    EXPECT_NE(w.find("S:6,*,70/00/00,12:00,,\n"), std::string::npos);
    EXPECT_NE(w.find("S:7,*,70/00/00, 9:05,,\n"), std::string::npos);
    EXPECT_EQ(RoundTrip(w), w);
}

TEST(Zvt, FlagLettersAndColours)
{
    CSubj s;
    Parse(s, Record("S:1,*,04/01/02,12:00,DNxbO R,ff00aA") + Record("S:2,*,04/01/02,12:00,VRBOUN,") +
                 Record("S:3,*,04/01/02,12:00,,zz") + Record("S:4,*,04/01/02,12:00,\x82\xA0U,1"));
    ASSERT_EQ(s.GetCount(), 4);
    EXPECT_EQ(s.GetItem(0).atr, ATR_D | ATR_N | ATR_O);   // stops at the blank
    EXPECT_EQ(s.GetItem(0).color, 0xFF00AAu);
    EXPECT_EQ(s.GetItem(1).atr, ATR_V | ATR_R | ATR_B | ATR_O | ATR_U | ATR_N);
    EXPECT_EQ(s.GetItem(1).color, SUBJ_NO_COLOR);
    EXPECT_EQ(s.GetItem(2).color, 0u);   // not empty, no digit
    EXPECT_EQ(s.GetItem(3).atr, ATR_U);   // bytes above "0" are passed over
    EXPECT_EQ(s.GetItem(3).color, 1u);
    std::string w = Written(s);
    EXPECT_NE(w.find("S:1,*,04/01/02,12:00,NO,FF00AA\n"), std::string::npos);   // never D
    EXPECT_NE(w.find("S:2,*,04/01/02,12:00,NUBORV,\n"), std::string::npos);
    EXPECT_NE(w.find("S:3,*,04/01/02,12:00,,000000\n"), std::string::npos);
    EXPECT_NE(w.find("S:4,*,04/01/02,12:00,U,000001\n"), std::string::npos);
}

TEST(Zvt, MessageTexts)
{
    CSubj s;
    Parse(s, Record("S:1,*,04/01/02,12:00", "abc") + "S:2,*,04/01/02,12:00\nM:abc\n\n.\n" +
                 "S:3,*,04/01/02,12:00\nM:\n.\n" + "S:4,*,04/01/02,12:00\nM:.\n..\n.\n");
    ASSERT_EQ(s.GetCount(), 4);
    EXPECT_STREQ(s.GetMsg(0), "abc\n");
    EXPECT_STREQ(s.GetMsg(1), "abc\n\n");   // the empty last line stays
    EXPECT_STREQ(s.GetMsg(2), "\n");
    EXPECT_STREQ(s.GetMsg(3), ".\n..\n");
    std::string w = Written(s);
    EXPECT_NE(w.find("M:abc\n.\nS:2"), std::string::npos);
    EXPECT_NE(w.find("M:abc\n\n.\nS:3"), std::string::npos);
    EXPECT_NE(w.find("M:\n.\nS:4"), std::string::npos);

    // Texts that the writer gets without a final LF, or empty.
    CSubj c;
    Article a;
    a.msg = "no end";
    Add(c, a);
    a.msg = "";
    Add(c, a);
    w = Written(c);
    EXPECT_NE(w.find("M:no end\n.\nS:"), std::string::npos);
    EXPECT_EQ(w.substr(w.size() - 5), "M:\n.\n");
}

TEST(Zvt, RecordsAreTakenOnlyWithATerminatedMessage)
{
    CSubj s;
    // A record line right after another loses the first record; value lines
    // and messages outside a record are passed over.
    Parse(s, "T:orphan\nM:orphan text\nS:9,*,04/01/02,12:00\n.\n"
             "S:1,*,04/01/02,12:00\nT:first\nS:2,*,04/01/02,12:00\nM:two\n.\n"
             "T:stray\nM:stray\n.\n"
             "S:3,*,04/01/02,12:00\nM:three, never ended\n.");
    ASSERT_EQ(s.GetCount(), 1);
    EXPECT_EQ(s.GetItem(0).no, 2);
    EXPECT_STREQ(s.GetTitle(0), "");
    EXPECT_STREQ(s.GetMsg(0), "two\n");
}

TEST(Zvt, FileCutAnywhereKeepsTheRecordsBeforeTheCut)
{
    std::string full = std::string(kExample) + Record("S:13,12,04/05/06,21:08,,", "reply\nline") +
                       Record("S:SID,13,04/05/07,01:00,R,00FF00", "third");
    CSubj ref;
    Parse(ref, full);
    ASSERT_EQ(ref.GetCount(), 3);
    for (size_t cut = 0; cut <= full.size(); ++cut) {
        CSubj s;
        Parse(s, full.substr(0, cut));
        ASSERT_LE(s.GetCount(), 3);
        for (int i = 0; i < s.GetCount(); ++i) {
            ASSERT_EQ(std::string(s.NoStr(i)), ref.NoStr(i)) << "cut " << cut;
            ASSERT_STREQ(s.GetMsg(i), ref.GetMsg(i)) << "cut " << cut;
        }
    }
}

TEST(Zvt, HeaderLines)
{
    CSubj s;
    Parse(s, "#T:first\n#N:7\n#U:3\n#B:2\n#R:1\n#T:second\n#X:ignored\n#T\n#P:p\n#F:f\n");
    EXPECT_STREQ(s.Header().title, "");   // "#T" alone: an empty value
    EXPECT_EQ(s.Header().unread, 7);
    EXPECT_EQ(s.Header().unsent, 3);
    EXPECT_EQ(s.Header().held, 2);
    EXPECT_EQ(s.Header().patrol, 1);
    EXPECT_STREQ(s.Header().post, "p");
    EXPECT_STREQ(s.Header().follow, "f");

    // The board's own lines read as counters that don't start with a digit.
    CSubj b;
    Parse(b, "#U:5\n#R:4\n#UU:http://board/post.cgi\n#RP:DATE\n");
    EXPECT_EQ(b.Header().unsent, 0);
    EXPECT_EQ(b.Header().patrol, 0);
    EXPECT_STREQ(b.Header().post, "");

    // Long header texts are cut at 259 bytes, never inside a character.
    CSubj l;
    std::string kanji;
    for (int i = 0; i < 200; ++i)
        kanji += "字";
    Parse(l, "#T:" + std::string(300, 't') + "\n#P:x" + kanji + "\n#F:" + kanji + "\n");
    EXPECT_EQ(std::string(l.Header().title), std::string(259, 't'));
    EXPECT_EQ(std::string(l.Header().post), "x" + kanji.substr(0, 258));
    EXPECT_EQ(std::string(l.Header().follow), kanji.substr(0, 258));
}

TEST(Zvt, ValueLinesKeepAtMost254Bytes)
{
    CSubj s;
    Parse(s, "S:1,*,04/01/02,12:00\nT:" + std::string(300, 'a') + "\nN:" + std::string(254, 'b') +
                 "\nM:x\n.\n");
    ASSERT_EQ(s.GetCount(), 1);
    EXPECT_EQ(std::string(s.GetTitle(0)), std::string(254, 'a'));
    EXPECT_EQ(std::string(s.GetName(0)), std::string(254, 'b'));
}

// CR bytes are kept as read; a CR LF file therefore never ends a message.
TEST(Zvt, CarriageReturnsAreKeptAsRead)
{
    CSubj s;
    Parse(s, "#T:board\r\n#N:2\r\nS:1,*,04/01/02,12:00,N,\r\nT:title\r\nM:text\r\n.\r\n"
             "S:2,*,04/01/02,12:00\r\nM:more\r\n.\r\n");
    EXPECT_STREQ(s.Header().title, "board\r");
    EXPECT_EQ(s.Header().unread, 2);
    EXPECT_EQ(s.GetCount(), 0);

    CSubj m;
    Parse(m, "S:1,*,04/01/02,12:00,N,\r\nT:title\r\nM:text\r\n\n.\n");
    ASSERT_EQ(m.GetCount(), 1);
    EXPECT_STREQ(m.GetTitle(0), "title\r");
    EXPECT_STREQ(m.GetMsg(0), "text\r\n\n");
    EXPECT_EQ(m.GetItem(0).color, 0u);   // the colour field holds a CR
    EXPECT_EQ(RoundTrip(Written(m)), Written(m));
}

TEST(Zvt, ZeroBytesCutValuesButNotTheFile)
{
    std::string text = "#T:ab";
    text += '\0';
    text += "cd\nS:1,*,04/01/02,12:00\nT:x";
    text += '\0';
    text += "y\nM:m1";
    text += '\0';
    text += "m2\n.\nS:2,*,04/01/02,12:00\nM:second\n.\n";
    CSubj s;
    Parse(s, text);
    EXPECT_STREQ(s.Header().title, "ab");
    ASSERT_EQ(s.GetCount(), 2);
    EXPECT_STREQ(s.GetTitle(0), "x");
    EXPECT_STREQ(s.GetMsg(0), "m1 m2\n");   // a zero byte in a text stands as a blank
    EXPECT_STREQ(s.GetMsg(1), "second\n");
    EXPECT_EQ(RoundTrip(Written(s)), Written(s));
}

TEST(Zvt, HugeLinesAndTexts)
{
    std::string line(10u << 20, 'z');
    CSubj a;
    Parse(a, line);
    EXPECT_EQ(a.GetCount(), 0);

    CSubj b;
    Parse(b, "S:" + line + "\nT:" + line + "\nM:" + line + "\n.\n");
    ASSERT_EQ(b.GetCount(), 1);
    EXPECT_EQ(b.GetItem(0).no, 0);
    EXPECT_EQ(strlen(b.GetTitle(0)), 254u);
    EXPECT_EQ(strlen(b.GetMsg(0)), line.size() + 1);
    std::string w = Written(b);
    EXPECT_EQ(RoundTrip(w), w);

    CSubj c;
    Parse(c, "#T:" + line + "\n#N:" + line + "\n");
    EXPECT_EQ(strlen(c.Header().title), 259u);
    EXPECT_EQ(c.Header().unread, 0);
}

// Whatever the bytes, writing what was read and reading it again gives the
// same bytes.
TEST(Zvt, WriteReadWriteIsStableOnRandomInput)
{
    static const char* const kPieces[] = {
        "S:", "M:", "T:", "N:", "#T:", "#N:", "#UU:", "\n", "\n.\n", ",", "*", "s", "S", "/", ":",
        "04/01/02", "104/1", "2097/12/31", "99:99", " 9:05", "NUBORVD", "ffFFff", "\r", "\x82\xA0",
        "\x83", "\x5C", ".", "12", "-3", "9999999999", " ", "\t", "E:", "P:-", "#F:", "#R:",
    };
    std::mt19937 rng(20240506);
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        int n = 1 + rng() % 40;
        for (int i = 0; i < n; ++i) {
            if (rng() % 8 == 0)
                text += (char)(rng() % 256);
            else
                text += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
        }
        std::string w1 = RoundTrip(text);
        std::string w2 = RoundTrip(w1);
        ASSERT_EQ(w1, w2) << "input: " << ::testing::PrintToString(text);
    }
}

TEST(Zvt, SummaryReadTakesHeaderLinesOfTheFirst512Bytes)
{
    TempDir dir;
    std::string path = dir.File("s.zvt");
    // Counters past an empty line or past byte 512 are not seen.
    std::string head = "#T:list\n#N:4\n#U:3\nS:1,*,04/01/02,12:00\n#B:2\n\n#R:9\n";
    ASSERT_TRUE(WriteBytes(path, head + Record("S:1,*,04/01/02,12:00")));
    CSubj s;
    Parse(s, Record("S:5,*,04/01/02,12:00"));
    s.Header().patrol = 77;
    ASSERT_EQ(s.LoadHeader(path.c_str()), 1);
    EXPECT_STREQ(s.Header().title, "list");
    EXPECT_EQ(s.Header().unread, 4);
    EXPECT_EQ(s.Header().unsent, 3);
    EXPECT_EQ(s.Header().held, 2);
    EXPECT_EQ(s.Header().patrol, 0);   // cleared, and after the empty line
    EXPECT_EQ(s.GetCount(), 1);        // records untouched
    EXPECT_STREQ(s.GetPath(), path.c_str());

    std::string longTitle = "#T:" + std::string(505, 't') + "\n#N:5\n";
    ASSERT_TRUE(WriteBytes(path, longTitle));
    ASSERT_EQ(s.LoadHeader(path.c_str()), 1);
    EXPECT_EQ(std::string(s.Header().title), std::string(259, 't'));
    EXPECT_EQ(s.Header().unread, 0);   // beyond byte 512

    ASSERT_TRUE(WriteBytes(path, "#T:x\n#N:" + std::string(600, '1')));
    ASSERT_EQ(s.LoadHeader(path.c_str()), 1);
    EXPECT_EQ(s.Header().unread, 2147483647);   // the cut number, saturated

    EXPECT_EQ(s.LoadHeader(dir.File("missing.zvt").c_str()), 0);
    EXPECT_STREQ(s.Header().title, "");
}

}  // namespace
