// zv_Orbiloom's converter: an "rnall.cgi" listing becomes one ".zv$" file
// per category with the posting templates at its head.
#include "plugins/common/PluginOutput.h"
#include "plugins/common/PluginStatus.h"
#include "plugins/orbiloom/OrbiloomConv.h"

#include <gtest/gtest.h>

#include <string>

namespace {
const std::string SEP = "-\t-\t-\t-\t-\t-\t-\n";
const std::string HEAD_P = "#P:POST,$C,category=$#T&title=$T&name=$N&follow=&comment=$M\n";
const std::string HEAD_F = "#F:POST,$C,category=$#T&title=$T&name=$N&follow=$Sr&comment=$M\n";

std::string g_out;
void Capture(const char* d, size_t n)
{
    g_out.append(d, n);
}

struct Converted {
    CZvMemorySink sink;
    OrbiloomResult result;
    std::string printed;

    std::string File(const char* name) const
    {
        const CZvMemorySink::File* f = sink.Find(name);
        return f ? f->data : std::string("<missing>");
    }
};

void Convert(Converted& c, const std::string& text)
{
    g_out.clear();
    Plugin_SetWriter(Capture);
    OrbiloomConv_Convert(text.data(), text.size(), c.sink, &c.result);
    Plugin_SetWriter(nullptr);
    c.printed = g_out;
}

const std::string kListing =
    "(host)Serial-number:1234\n"
    "No.5 ｢テスト板｣\n" +
    SEP +
    "雑談(1230/1234) 04/05/06 21:07 はじめまして\n"
    "  120bytes 山田 \n"
    "本文1\n"
    "二行目\n" +
    SEP +
    "質問(1231/1234) 04/05/06 21:10 Re: はじめまして\n"
    " &lt;1230:山田&gt;\n"
    "  45bytes 鈴木 \n"
    "答えです\n" +
    SEP +
    "雑談(1232/1234) 04/05/07 09:00 また雑談\n"
    "  10bytes 田中 \n"
    "雑談の続き\n"
    "読み終わりました。\n";
}

TEST(OrbiloomConv, ListingBecomesOneFilePerCategory)
{
    Converted c;
    Convert(c, kListing);
    EXPECT_EQ(c.result.serial, 1234);
    EXPECT_EQ(c.result.articles, 3);
    ASSERT_EQ(c.sink.files.size(), 2u);
    EXPECT_EQ(c.sink.files[0].name, "雑談.zv$");
    EXPECT_EQ(c.sink.files[1].name, "質問.zv$");
    EXPECT_TRUE(c.sink.files[0].closed && c.sink.files[1].closed);
    // Only the first file carries the title; the recurring category is
    // appended to its file.
    EXPECT_EQ(c.File("雑談.zv$"),
              "#T:雑談 テスト板\n" + HEAD_P + HEAD_F +
                  "S:1230,*,04/05/06,21:07\nT:はじめまして\nN:山田\nM:本文1\n二行目\n.\n"
                  "S:1232,*,04/05/07,09:00\nT:また雑談\nN:田中\nM:雑談の続き\n.\n");
    EXPECT_EQ(c.File("質問.zv$"),
              HEAD_P + HEAD_F + "S:1231,1230,04/05/06,21:10\nT:Re: はじめまして\nN:鈴木\nM:答えです\n.\n");
    EXPECT_EQ(c.printed, "");
}

TEST(OrbiloomConv, ArticleWithoutAuthorLineIsDropped)
{
    Converted c;
    Convert(c, SEP + "雑談(1/1) 04/05/06 21:07 a\nno author here\n" + SEP +
                   "雑談(2/1) 04/05/06 21:08 b\n 名無し\nbody\n");
    EXPECT_EQ(c.result.articles, 1);
    EXPECT_EQ(c.File("雑談.zv$"), HEAD_P + HEAD_F + "S:2,*,04/05/06,21:08\nT:b\nN:名無し\nM:body\n.\n");
    // A space in the second place is enough.
    Converted d;
    Convert(d, SEP + "c(3/1) d t x\nA bytes:who \nm\n");
    EXPECT_EQ(d.File("c.zv$"), HEAD_P + HEAD_F + "S:3,*,d,t\nT:x\nN:who\nM:m\n.\n");
}

TEST(OrbiloomConv, AuthorTextRules)
{
    Converted c;
    // Without "bytes": the text after the leading blanks, up to " \n".
    // "bytes" inside a double-byte character is not the word.
    Convert(c, SEP + "a(1/1) d t x\n  山田太郎 \nm\n" + SEP + "a(2/1) d t x\n  \x83" "bytes X \nm\n" + SEP +
                   "a(3/1) d t x\n 9bytes\n\n" + SEP + "a(4/1) d t x\n 9bytes:その他 \nm");
    EXPECT_EQ(c.File("a.zv$"), HEAD_P + HEAD_F + "S:1,*,d,t\nT:x\nN:山田太郎\nM:m\n.\n" +
                                   "S:2,*,d,t\nT:x\nN:\x83" "bytes X\nM:m\n.\n" +
                                   "S:3,*,d,t\nT:x\nN:\nM:\n.\n" +
                                   "S:4,*,d,t\nT:x\nN:その他\nM:m\n.\n");
}

TEST(OrbiloomConv, MessageEndsAtSeparatorOrReadEnd)
{
    Converted c;
    // The first message line always belongs to the message; the end line
    // is skipped; text after it is read as other lines.
    Convert(c, SEP + "a(1/1) d t x\n 1bytes n \n読み終わりました。\nsecond\n\n読み終わりました。\nNo.1 ｢later｣\n" +
                   SEP + "b(2/1) d t y\n 1bytes n \nlast line without feed");
    EXPECT_EQ(c.File("a.zv$"), HEAD_P + HEAD_F + "S:1,*,d,t\nT:x\nN:n\nM:読み終わりました。\nsecond\n\n.\n");
    // The title read after the first file belongs to the next new file.
    EXPECT_EQ(c.File("b.zv$"), "#T:b later\n" + HEAD_P + HEAD_F + "S:2,*,d,t\nT:y\nN:n\nM:last line without feed\n.\n");
}

TEST(OrbiloomConv, BoardTitleSkipsBracketBytesInsideCharacters)
{
    Converted c;
    // "い" is 0x82 0xA2: its second byte equals the half-width "｢".
    Convert(c, "No.1 い｢板｣\n" + SEP + "a(1/1) d t x\n n\nm\n");
    std::string file = c.File("a.zv$");
    EXPECT_EQ(file.substr(0, file.find('\n')), "#T:a 板");
}

TEST(OrbiloomConv, MalformedHeaderStillWritesARecord)
{
    Converted c;
    Convert(c, SEP + "ジャンク\n n\nm\n");
    EXPECT_EQ(c.File("ジャンク.zv$"), HEAD_P + HEAD_F + "S:0,*,,\nT:\nN:n\nM:m\n.\n");
}

TEST(OrbiloomConv, LongFieldsAreCutWithoutSplittingCharacters)
{
    std::string longTitle;
    for (int i = 0; i < 100; ++i)
        longTitle += "あ";
    Converted c;
    Convert(c, "No.1 ｢" + longTitle + "｣\n" + SEP + "c(1/1) 2004/05/06 12:34:56 " + longTitle + "\n n\nm\n");
    std::string file = c.File("c.zv$");
    // Board title: 98 bytes; article title: 99 bytes cut to 98 (49 characters).
    EXPECT_EQ(file.substr(0, file.find('\n')), "#T:c " + longTitle.substr(0, 98));
    EXPECT_NE(file.find("S:1,*,2004/05/,12:34:56\nT:" + longTitle.substr(0, 98) + "\n"), std::string::npos);
}

TEST(OrbiloomConv, UnsafeCategoryNamesStayInTheFolder)
{
    Converted c;
    Convert(c, SEP + "../../up(1/1) d t x\n n\nm\n" + SEP + "a\\b(2/1) d t x\n n\nm\n" + SEP +
                   "CON(3/1) d t x\n n\nm\n");
    ASSERT_EQ(c.sink.files.size(), 3u);
    EXPECT_EQ(c.sink.files[0].name, ".._.._up.zv$");
    EXPECT_EQ(c.sink.files[1].name, "a_b.zv$");
    EXPECT_EQ(c.sink.files[2].name, "_CON.zv$");
}

TEST(OrbiloomConv, CategoriesSharingAFileNameShareTheFile)
{
    Converted c;
    Convert(c, SEP + "abc(1/1) d t x\n n\nm\n" + SEP + "ABC(2/1) d t x\n n\nm\n" + SEP + "a/b(3/1) d t x\n n\nm\n" +
                   SEP + "a_b(4/1) d t x\n n\nm\n");
    ASSERT_EQ(c.sink.files.size(), 2u);
    EXPECT_EQ(c.File("abc.zv$"), HEAD_P + HEAD_F + "S:1,*,d,t\nT:x\nN:n\nM:m\n.\nS:2,*,d,t\nT:x\nN:n\nM:m\n.\n");
    EXPECT_EQ(c.result.articles, 4);
}

TEST(OrbiloomConv, FileThatCannotBeCreatedStopsTheParsing)
{
    Converted c;
    c.sink.failName = "質問.zv$";
    Convert(c, kListing);
    EXPECT_EQ(c.printed, "質問.zv$ が作成できません\r\n");
    EXPECT_TRUE(c.result.stopped);
    EXPECT_EQ(c.result.articles, 1);
    EXPECT_EQ(c.result.serial, 1234);   // read before the failure
    EXPECT_EQ(c.File("雑談.zv$"),
              "#T:雑談 テスト板\n" + HEAD_P + HEAD_F +
                  "S:1230,*,04/05/06,21:07\nT:はじめまして\nN:山田\nM:本文1\n二行目\n.\n");
}

TEST(OrbiloomConv, SerialNumberAndEmptyListing)
{
    Converted c;
    Convert(c, "no serial here\n");
    EXPECT_EQ(c.result.serial, 0);
    EXPECT_TRUE(c.sink.files.empty());
    Converted d;
    Convert(d, "(host)Serial-number:99999999999999\n");
    EXPECT_EQ(d.result.serial, 2147483647);
    Converted e;
    Convert(e, "");
    EXPECT_EQ(e.result.articles, 0);
}
