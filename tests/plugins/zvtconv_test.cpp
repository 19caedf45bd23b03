// zv_ZVT's converter: "001.zv$" holds the text unchanged; the posting
// address, the pointer kind and the next-read pointer come from the text.
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/zvt/ZvtConv.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string g_out;
void Capture(const char* d, size_t n)
{
    g_out.append(d, n);
}

ZvtScan Scan(const std::string& text)
{
    ZvtScan s;
    ZvtConv_Scan(text.data(), text.size(), &s);
    return s;
}

std::string Rec(const char* line, const char* body = "x\n")
{
    return std::string(line) + "\nT:t\nN:n\nM:" + body + ".\n";
}
}

TEST(ZvtConv, NumberPointerIsOneMoreThanTheGreatestNumber)
{
    std::string text = "#T:b\n" + Rec("S:7,*,04/01/02,12:00") + Rec("S:41,7,04/01/02,12:01") +
                       Rec("S:30,*,04/01/02,12:02");
    ZvtScan s = Scan(text);
    EXPECT_FALSE(s.dateKind);
    EXPECT_EQ(s.pointer, "42");

    // A record without a number counts as 0.
    EXPECT_EQ(Scan("\n" + Rec("S:*,*,04/01/02,12:00")).pointer, "1");
    // Huge numbers are held, not overflowed.
    EXPECT_EQ(Scan("\n" + Rec("S:99999999999999999999,*,04/01/02,12:00")).pointer, "2147483648");
}

TEST(ZvtConv, RecordsAreOnlySeenAfterALineFeed)
{
    // A record in the very first line is not seen; no record, no pointer.
    EXPECT_EQ(Scan(Rec("S:5,*,04/01/02,12:00")).pointer, "");
    EXPECT_EQ(Scan("").pointer, "");
    EXPECT_EQ(Scan("#T:only a header\n").pointer, "");
}

TEST(ZvtConv, MessageLinesBeginningWithSAreNoRecords)
{
    std::string text = "#T:b\n" + Rec("S:3,*,04/01/02,12:00", "S:900,*,04/01/02,12:00\nmore\n") +
                       Rec("S:4,*,04/01/02,12:00");
    EXPECT_EQ(Scan(text).pointer, "5");
}

TEST(ZvtConv, UnterminatedLastRecordStillCounts)
{
    std::string text = "#T:b\n" + Rec("S:3,*,04/01/02,12:00") + "S:10,*,04/01/02,12:00\nM:cut off";
    EXPECT_EQ(Scan(text).pointer, "11");
    // After a record without terminator the scan ends.
    text = "#T:b\nS:10,*,04/01/02,12:00\nM:no end\nS:50,*,04/01/02,12:00\n";
    EXPECT_EQ(Scan(text).pointer, "11");
}

TEST(ZvtConv, DatePointerTakesTheLatestDateWithCentury)
{
    std::string text = "#T:b\n#RP:DATE\n" + Rec("S:1,*,99/12/31,23:59") + Rec("S:2,*,00/01/01,00:10");
    ZvtScan s = Scan(text);
    EXPECT_TRUE(s.dateKind);
    EXPECT_EQ(s.pointer, "2000/01/01,00:10");

    // Four-digit years are kept; flags after the time are not part of it.
    text = "#T:b\n#RP:DATE\n" + Rec("S:1,*,2004/05/06,21:07,N,0000FF") + Rec("S:2,*,2003/12/31,23:00");
    EXPECT_EQ(Scan(text).pointer, "2004/05/06,21:07");
    // "8x" and "9x" belong to the 1900s, every other digit to the 2000s.
    text = "#T:b\n#RP:DATE\n" + Rec("S:1,*,85/01/01,00:00");
    EXPECT_EQ(Scan(text).pointer, "1985/01/01,00:00");
    text = "#T:b\n#RP:DATE\n" + Rec("S:1,*,70/01/01,00:00");
    EXPECT_EQ(Scan(text).pointer, "2070/01/01,00:00");
}

TEST(ZvtConv, RpAfterTheFirstRecordLeavesTheNumberKind)
{
    std::string text = "#T:b\n" + Rec("S:8,*,04/01/02,12:00") + "#RP:DATE\n" + Rec("S:9,*,04/01/02,12:00");
    ZvtScan s = Scan(text);
    EXPECT_FALSE(s.dateKind);
    EXPECT_EQ(s.pointer, "10");
    // "#RP:" with anything but DATE is the number kind too.
    EXPECT_FALSE(Scan("\n#RP:NUMBER\n" + Rec("S:1,*,04/01/02,12:00")).dateKind);
    // Without any record the kind is date, but there is no pointer.
    s = Scan("#T:b\n#RP:DATE\n");
    EXPECT_TRUE(s.dateKind);
    EXPECT_EQ(s.pointer, "");
}

TEST(ZvtConv, DateRecordWithoutDateFieldGivesNoPointer)
{
    ZvtScan s = Scan("#T:b\n#RP:DATE\nS:1\nM:x\n.\n");
    EXPECT_EQ(s.pointer, "");
    // A long date field is cut at 99 bytes.
    s = Scan("#T:b\n#RP:DATE\nS:1,*," + std::string(300, '9') + "\nM:x\n.\n");
    EXPECT_EQ(s.pointer.size(), 99u);
}

TEST(ZvtConv, PostingAddressFromUU)
{
    ZvtScan s = Scan("#T:b\n#UU:http://example.jp/post.cgi\n");
    EXPECT_TRUE(s.hasUpUrl);
    EXPECT_EQ(s.upUrl, "http://example.jp/post.cgi");
    // Not seen in the very first line.
    EXPECT_FALSE(Scan("#UU:http://first/line\n#T:b\n").hasUpUrl);
    // At the end of the text without a line feed; cut at 300.
    EXPECT_EQ(Scan("\n#UU:tail").upUrl, "tail");
    EXPECT_EQ(Scan("\n#UU:" + std::string(400, 'u') + "\n").upUrl, std::string(300, 'u'));
}

TEST(ZvtConv, WritesTheTextUnchangedIntoOneFile)
{
    std::string text = "#T:b\n" + Rec("S:1,*,04/01/02,12:00");
    CZvMemorySink sink;
    ZvtScan s;
    EXPECT_EQ(ZvtConv_Convert(text.data(), text.size(), sink, &s), 1);
    ASSERT_EQ(sink.files.size(), 1u);
    EXPECT_EQ(sink.files[0].name, "001.zv$");
    EXPECT_EQ(sink.files[0].data, text);
    EXPECT_TRUE(sink.files[0].closed);
    EXPECT_EQ(s.pointer, "2");

    // An empty answer gives an empty file and no pointer.
    CZvMemorySink empty;
    EXPECT_EQ(ZvtConv_Convert("", 0, empty, &s), 1);
    ASSERT_EQ(empty.files.size(), 1u);
    EXPECT_EQ(empty.files[0].data, "");
    EXPECT_EQ(s.pointer, "");
}

TEST(ZvtConv, FileThatCannotBeCreatedGivesMessageAndNoPointer)
{
    std::string text = "#T:b\n#UU:http://x/\n" + Rec("S:1,*,04/01/02,12:00");
    CZvMemorySink sink;
    sink.failName = "001.zv$";
    ZvtScan s;
    g_out.clear();
    Plugin_SetWriter(Capture);
    EXPECT_EQ(ZvtConv_Convert(text.data(), text.size(), sink, &s), 0);
    Plugin_SetWriter(nullptr);
    EXPECT_EQ(g_out, "001.zv$ の作成ができません\r\n");
    EXPECT_FALSE(s.hasUpUrl);
    EXPECT_EQ(s.pointer, "");
}
