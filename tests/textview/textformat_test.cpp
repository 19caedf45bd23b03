// Quote and hit ranges in the control's character positions, the header
// lines, the "tmp.html" page and the placeholder expansion.
#include "store/Subj.h"
#include "ui/textview/TextFormat.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

std::string Ranges(const std::vector<TextRange>& v)
{
    std::string s;
    for (const TextRange& r : v)
        s += std::to_string(r.start) + "-" + std::to_string(r.end) + " ";
    return s;
}

std::string Quotes(const std::string& text)
{
    std::vector<TextRange> v;
    TextFormat_QuoteRanges(text.data(), text.size(), &v);
    return Ranges(v);
}

std::string Hits(const std::string& text, const char* search)
{
    std::vector<TextRange> v;
    TextFormat_PlainHits(text.data(), text.size(), search, &v);
    return Ranges(v);
}

TEST(TextFormat, CharactersCountAsTheControlCountsThem)
{
    const struct {
        std::string text;
        int count;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {"あいう", 3},                // double-byte characters count one
        {"a\r\nb", 3},                // CR LF is one paragraph mark
        {"a\nb\rc", 5},
        {std::string("x\x82", 2), 2},  // a lead byte at the very end
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextFormat_CharCount(c.text.data(), c.text.size()), c.count) << c.text;
}

TEST(TextFormat, QuoteLinesStartWithEitherQuoteMark)
{
    const struct {
        std::string text, ranges;
    } cases[] = {
        {"", ""},
        {">a\nb\n", "0-2 "},
        {"＞あい\n>x\n", "0-3 4-6 "},          // both marks; lines after an LF
        {"a\n >b\n", ""},                    // a blank first: not a quote
        {"x\n>last", "2-7 "},                // a last line without LF, to the end
        {"漢>\n>\n", "3-4 "},                // ">" after a character is not a line start
        {"a\r\n>b\r\nc", "2-4 "},            // CR LF counts one
        {std::string("\x81", 1), ""},        // a lone lead byte
        {std::string(">\x81", 2), "0-2 "},
        {"\x81\x84", "0-1 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Quotes(c.text), c.ranges) << c.text;
}

TEST(TextFormat, PlainHitsKeepTheFirstByteAndFoldTheRest)
{
    const struct {
        std::string text;
        const char* search;
        std::string ranges;
    } cases[] = {
        {"zeva ZEVA zEVA", "zeva", "0-4 10-14 "},   // the first byte as typed, the rest any case
        {"日本語の日本", "日本", "0-2 4-6 "},
        {"aaa", "aa", "0-3 "},                       // overlapping places merge
        {"a\nab", "ab", "2-4 "},
        {"ab", "", ""},
        {"", "a", ""},
        {"a", "ab", ""},                             // runs past the end
        {"\x83\x41", "A", ""},                       // never inside a character
        {"\x83\x61", "\x83\x41", ""},                // double-byte characters compare exactly
        {"x\r\nab", "ab", "2-4 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Hits(c.text, c.search), c.ranges) << c.text << " / " << c.search;
}

// A stand-in for the regular-expression library: std::regex over bytes.
class CStdMatcher : public CTextMatcher {
public:
    explicit CStdMatcher(const char* pattern) : m_re(pattern) {}
    int Find(const char* start, const char* end, const char** ms, const char** me) override
    {
        std::cmatch m;
        if (!std::regex_search(start, end, m, m_re))
            return 0;
        *ms = m[0].first;
        *me = m[0].second;
        return 1;
    }

private:
    std::regex m_re;
};

TEST(TextFormat, RegexHitsFollowEachOtherFromTheEndOfTheLast)
{
    const struct {
        std::string text;
        const char* pattern;
        std::string ranges;
    } cases[] = {
        {"ab12cd345", "[0-9]+", "2-4 6-9 "},
        {"漢字12漢3", "[0-9]", "2-4 5-6 "},   // positions in characters
        {"abc", "x*", ""},                     // empty matches move on, mark nothing
        {"", "a", ""},
    };
    for (const auto& c : cases) {
        CStdMatcher m(c.pattern);
        std::vector<TextRange> v;
        TextFormat_RegexHits(c.text.data(), c.text.size(), &m, &v);
        EXPECT_EQ(Ranges(v), c.ranges) << c.text;
    }
    std::vector<TextRange> v = {{1, 2}};
    TextFormat_RegexHits("abc", 3, nullptr, &v);   // no library: no hits
    EXPECT_TRUE(v.empty());
}

TEST(TextFormat, BigTextsAndOddEndsDoNotBreakTheScans)
{
    std::string big(10 * 1024 * 1024, 'a');
    for (size_t i = 0; i < big.size(); i += 100)
        big[i] = '\n';
    big[big.size() - 1] = '\x82';   // a lead byte at the very end, no LF
    big[1] = '>';
    std::vector<TextRange> v;
    TextFormat_QuoteRanges(big.data(), big.size(), &v);
    EXPECT_EQ(Ranges(v), "1-100 ");
    TextFormat_PlainHits(big.data(), big.size(), "\n>", &v);
    EXPECT_EQ(Ranges(v), "0-2 ");
    EXPECT_EQ(TextFormat_CharCount(big.data(), big.size()), (int)big.size());
}

TEST(TextFormat, RichTextCarriesTheRangesAndEscapesTheBytes)
{
    const std::string head = "{\\rtf1\\ansi\\ansicpg932{\\colortbl ;\\red0\\green0\\blue128;"
                             "\\red255\\green255\\blue255;\\red1\\green2\\blue3;}\n";
    const struct {
        std::string text;
        std::vector<TextRange> quotes, hits;
        std::string body;
    } cases[] = {
        {"a{b}\\c\td", {}, {}, "a\\{b\\}\\\\c\\tab d"},
        {"表\r\nx\n", {}, {}, "\\'95\\'5c\\par\nx\\par\n"},         // both bytes escaped; CR LF one paragraph
        {">q\nzz", {{0, 2}}, {{3, 4}}, "\\cf1\\b0\\highlight0 >q\\cf0\\b0\\highlight0 \\par\n"
                                             "\\cf2\\b\\highlight3 z\\cf0\\b0\\highlight0 z"},
        {">ab", {{0, 3}}, {{1, 2}}, "\\cf1\\b0\\highlight0 >\\cf2\\b\\highlight3 a\\cf1\\b0\\highlight0 b"},
        {std::string("\x01\x82", 2), {}, {}, "\\'01\\'82"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TextFormat_Rtf(c.text.data(), c.text.size(), c.quotes, c.hits, 0x800000, 0xFFFFFF, 0x030201),
                  head + c.body + "}")
            << c.text;
}

TEST(TextFormat, HeaderLinesNameTheEmailOnlyWhenThereIsOne)
{
    std::string l1, l2;
    TextFormat_HeaderLines("題名", "名前", "a@b", "http://h/", "26/12/08 10:00", &l1, &l2);
    EXPECT_EQ(l1, "タイトル： 題名  http://h/");
    EXPECT_EQ(l2, "発言者： 名前 <a@b>    日付： 26/12/08 10:00");
    TextFormat_HeaderLines("t", "n", "", nullptr, "d", &l1, &l2);
    EXPECT_EQ(l1, "タイトル： t  ");
    EXPECT_EQ(l2, "発言者： n    日付： d");
    std::string huge(3000, '\x88');   // 1500 double-byte characters
    TextFormat_HeaderLines(huge.c_str(), "", "", "", "", &l1, &l2);
    EXPECT_EQ(l1.size(), std::string("タイトル： ").size() + 1024 + 2);
}

TEST(TextFormat, CopiesNeverCutACharacter)
{
    char buf[4];
    EXPECT_EQ(TextFormat_CopyChars(buf, sizeof buf, "aあい"), 3u);
    EXPECT_STREQ(buf, "aあ");
    EXPECT_EQ(TextFormat_CopyChars(buf, sizeof buf, "あいう"), 2u);
    EXPECT_STREQ(buf, "あ");
    EXPECT_EQ(TextFormat_CopyChars(buf, 0, "x"), 0u);
}

TEST(TextFormat, HtmlPageWrapsTheTextUnchanged)
{
    EXPECT_EQ(TextFormat_FolderOf("C:\\data\\表\\雑談.zvt"), "C:\\data\\表\\");
    EXPECT_EQ(TextFormat_FolderOf("\x95\\x.zvt"), "");   // "表x.zvt": the 0x5C is inside a character
    EXPECT_EQ(TextFormat_FolderOf(""), "");
    EXPECT_EQ(TextFormat_HtmlPage("C:\\d\\", "a<b>\n"),
              "<HTML><BASE HREF=\"C:\\d\\\"><BODY><PRE>\r\na<b>\n</PRE></BODY></HTML>");
}

PlaceholderValues Values()
{
    return PlaceholderValues{"12", "(3)", "題名", "本文\n", "名前", "m@x", "http://h/", "p.gif"};
}

TEST(Placeholder, NamesBetweenPercentSignsAreReplaced)
{
    const struct {
        const char *tmpl, *result;
    } cases[] = {
        {"RE: %s_title%", "RE: 題名"},
        {"%s_no%,%s_pno%,%s_msg%%s_name%,%s_email%,%s_hp%,%s_image%", "12,(3),本文\n名前,m@x,http://h/,p.gif"},
        {"%%s_no%%", "%s_no%"},                      // doubled signs: the text itself
        {"100%%", "100%"},
        {"%s_date% %s_time%x", " x"},                // not names of this expansion
        {"%s_title", "%s_title"},                    // never closed
        {"%123456789012345678901%x", "%123456789012345678901%x"},   // a name of 21 bytes is no name
        {"%12345678901234567890%x", "x"},            // 20 bytes: a name, unknown
        {"%あ%", ""},
        {"", ""},
        {"a\x81", "a\x81"},                          // a lead byte at the end
    };
    for (const auto& c : cases)
        EXPECT_EQ(Placeholder_Expand(c.tmpl, Values()), c.result) << c.tmpl;
    EXPECT_EQ(Placeholder_Expand(nullptr, Values()), "");
    EXPECT_EQ(Placeholder_Expand("[%s_title%]", PlaceholderValues{}), "[]");
}

TEST(Placeholder, LongValuesGrowTheResult)
{
    std::string msg(30000, 'm');
    PlaceholderValues v = Values();
    v.msg = msg.c_str();
    EXPECT_EQ(Placeholder_Expand("%s_msg%%s_msg%", v), msg + msg);
}

TEST(Placeholder, ReplyTitleTemplate)
{
    const struct {
        const char *title, *header, *result;
    } cases[] = {
        {"Re: hello", "", "Re: hello"},
        {"hello", "", "RE: hello"},
        {"RE:x", "Re[%s_no%] %s_title%", "RE:x"},
        {"hello", "Re[%s_no%] %s_title%", "Re[12] hello"},
        {"re", "", "RE: re"},
    };
    for (const auto& c : cases) {
        PlaceholderValues v = Values();
        v.title = c.title;
        EXPECT_EQ(Placeholder_Expand(Placeholder_ReplyTemplate(c.title, c.header), v), c.result) << c.title;
    }
}

TEST(Placeholder, ArticleValuesComeFromTheCollection)
{
    CSubj s;
    SubjItem it;
    CSubj::InitItem(&it);
    it.no = 7;
    it.pno = SUBJ_NO_UNKNOWN;
    it.title = s.Atoms(CSubj::A_TITLE).Add("題");
    it.name = s.Atoms(CSubj::A_NAME).Add("某");
    it.msg = CSubj::AllocText("本文\n");
    s.Append(it);
    EXPECT_EQ(Placeholder_ExpandArticle("%s_no%/%s_pno%/%s_title%/%s_name%/%s_msg%", s, 0),
              std::string(s.NoStr(0)) + "/" + s.PnoStr(0) + "/題/某/本文\n");
    EXPECT_EQ(Placeholder_ExpandArticle("[%s_title%]", s, 5), "[]");
}

}  // namespace
