// How a row looks: colours by age and the blend, selection, status icons,
// the No column's text, cutting at character boundaries, preview, layout
// numbers.
#include "store/Subj.h"
#include "ui/titleview/TitleDraw.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

uint32_t Key(uint16_t date, int minute)
{
    return ((uint32_t)date << 16) | (uint32_t)minute;
}

TEST(TitleDraw, ThreeAgeColours)
{
    // Now: 2026-12-08 09:30. Limits: 12-07 09:30 and 12-05 09:30.
    TitleAgeLimits l = Title_AgeLimits(2026, 12, 8, 570);
    EXPECT_EQ(l.oneDay, Key(Title_PackDate(2026, 12, 7), 570));
    EXPECT_EQ(l.threeDays, Key(Title_PackDate(2026, 12, 5), 570));
    TitleColours c = {0, 0xFF0000, 0x800000, 0x96FF96, 0xFFFFFF, 0x000000};
    struct Case {
        const char* what;
        uint32_t key;
        TitleColour text;
    } cases[] = {
        {"within the last day", Key(Title_PackDate(2026, 12, 7), 600), 0xFF0000},
        {"exactly one day old", l.oneDay, 0xFF0000},
        {"two days ago", Key(Title_PackDate(2026, 12, 6), 570), 0x800000},
        {"older", Key(Title_PackDate(2026, 12, 5), 569), 0x000000},
    };
    for (const Case& k : cases) {
        RowColours r = Title_AgeColours(c, l, k.key);
        EXPECT_EQ(r.text, k.text) << k.what;
        EXPECT_EQ(r.back, 0xFFFFFFu) << k.what;
    }
}

TEST(TitleDraw, MonthAndYearBoundariesOfTheLimits)
{
    EXPECT_EQ(Title_DaysBefore(2027, 1, 1, 1), Title_PackDate(2026, 12, 31));
    EXPECT_EQ(Title_DaysBefore(2024, 3, 2, 3), Title_PackDate(2024, 2, 28));
    EXPECT_EQ(Title_DaysBefore(2023, 3, 1, 1), Title_PackDate(2023, 2, 28));
}

TEST(TitleDraw, BlendArithmetic)
{
    EXPECT_EQ(Title_Blend(0xFFFFFF, 0x96FF96, 0), 0xFFFFFFu);
    EXPECT_EQ(Title_Blend(0xFFFFFF, 0x96FF96, 100), 0x96FF96u);
    // (255 x 50 + 150 x 50) / 100 = 202 for red and blue, 255 for green.
    EXPECT_EQ(Title_Blend(0xFFFFFF, 0x96FF96, 50), 0xCAFFCAu);
    uint16_t d = Title_PackDate(2026, 12, 7);
    uint32_t limit = Key(d, 570);
    struct Case {
        uint32_t key;
        int weight;
    } cases[] = {
        {Key(d + 1, 570), 100},   // a day after the limit (now): e = 0
        {Key(d + 2, 0), 100},     // later than now: e below 0 counts as 0
        {Key(d, 570), 75},        // e = 65536 / 2560 = 25
        {Key(d - 1, 570), 49},    // e = 131072 / 2560 = 51
        {Key(d - 3, 570), 0},     // e = 102
    };
    for (const Case& c : cases)
        EXPECT_EQ(Title_BlendWeight(limit, c.key), c.weight) << c.key;
    TitleColours c = {1, 0xFF0000, 0x800000, 0x96FF96, 0xFFFFFF, 0x000000};
    TitleAgeLimits l = {limit, Key(d - 2, 570)};
    RowColours r = Title_AgeColours(c, l, Key(d - 1, 570));
    EXPECT_EQ(r.text, 0x000000u);
    EXPECT_EQ(r.back, Title_Blend(0xFFFFFF, 0x96FF96, 49));
}

TEST(TitleDraw, SelectionColours)
{
    RowColours age = {0xFF0000, 0xFFFFFF};
    RowColours none = Title_SelectionColours(age, 0, 1, 0xFFFFFF);
    RowColours focused = Title_SelectionColours(age, 1, 1, 0xFFFFFF);
    RowColours unfocused = Title_SelectionColours(age, 1, 0, 0xFFFFFF);
    EXPECT_EQ(none.text, 0xFF0000u);
    EXPECT_EQ(focused.text, 0xFFFFFFu);
    EXPECT_EQ(focused.back, 0xFF0000u);
    EXPECT_EQ(unfocused.text, 0xFF0000u);
    EXPECT_EQ(unfocused.back, Title_Blend(0xFF0000, 0xFFFFFF, 85));
}

TEST(TitleDraw, StatusIconTable)
{
    struct Case {
        uint8_t atr;
        int parent, icon;
    } cases[] = {
        {ATR_N, 0, 1},           {ATR_U, 0, 3},           {ATR_U | ATR_B, 0, 2}, {ATR_R, 0, 9},
        {ATR_R | ATR_N, 1, 9},   {0, 0, 0},               {0, 1, 8},             {ATR_N | ATR_U, 0, 0},
        {ATR_N | ATR_U, 1, 8},   {ATR_B, 0, 0},           {ATR_R | ATR_U, 1, 8}, {ATR_N | ATR_V, 0, 1},
        {ATR_U | ATR_O, 0, 3},   {ATR_N | ATR_B, 1, 8},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Title_StatusIcon(c.atr, c.parent), c.icon) << (int)c.atr << " " << c.parent;
}

TEST(TitleDraw, NoColumnTextsByViewflag)
{
    struct Case {
        int flag;
        const char* text;
    } cases[] = {{66, "12"}, {2 | 4, "12(10)"}, {4, "(10)"}, {2 | 8, "12 題名"}, {8, " 題名"}, {0x70, ""}};
    std::string out;
    for (const Case& c : cases) {
        Title_NoText(c.flag, "12", "10", "題名", out);
        EXPECT_EQ(out, c.text) << c.flag;
    }
    EXPECT_STREQ(Title_Author("太郎", 0, "私"), "太郎");
    EXPECT_STREQ(Title_Author("太郎", 1, "私"), "私");
    EXPECT_STREQ(Title_Author("太郎", 1, ""), "<< 名前未設定 >>");
}

// Every byte 8 pixels wide, as a fixed font with double-width kanji.
int Width8(size_t n)
{
    return (int)n * 8;
}

TEST(TitleDraw, TextIsCutAtACharacterBoundaryWithDots)
{
    struct Case {
        const char* what;
        std::string text;
        int avail;
        size_t keep;
        bool cut;
    } cases[] = {
        {"fits", "abc", 24, 3, false},
        {"ascii cut", "abcdef", 40, 2, true},         // 2 x 8 + 24 <= 40
        {"not in a kanji", "a\x8a\xbf\x8e\x9a" "b", 44, 1, true},   // 2 bytes would fit, half a kanji
        {"lead byte at the end", std::string("ab\x82", 3), 24, 3, false},
        {"lead byte at the end, cut", std::string("abcd\x82", 5), 39, 1, true},
        {"nothing fits but dots", "abcdef", 10, 0, true},
    };
    for (const Case& c : cases) {
        bool cut = false;
        size_t keep = Title_FitText(c.text.data(), c.text.size(), c.avail, 24, Width8, &cut);
        EXPECT_EQ(keep, c.keep) << c.what;
        EXPECT_EQ(cut, c.cut) << c.what;
    }
    // A 10 MB title: only the head is measured, and the cut is still whole.
    std::string huge(10 * 1024 * 1024, '\0');
    for (size_t i = 0; i < huge.size(); i += 2) {
        huge[i] = '\x82';
        huge[i + 1] = '\xa0';
    }
    size_t calls = 0;
    bool cut = false;
    size_t keep = Title_FitText(huge.data(), huge.size(), 100, 24, [&](size_t n) { ++calls; return (int)n * 8; }, &cut);
    EXPECT_TRUE(cut);
    EXPECT_EQ(keep % 2, 0u);
    EXPECT_LE(keep * 8 + 24, 100u);
    EXPECT_LT(calls, 40u);
}

TEST(TitleDraw, PreviewText)
{
    std::string out;
    Title_PreviewText("一行目\n\t二行目\n", out);
    EXPECT_EQ(out, "一行目  二行目 ");
    // 3,000 bytes at most; a kanji across the limit stays out whole.
    std::string msg = "a" + std::string(3200, '\0');
    for (size_t i = 1; i < msg.size(); i += 2) {
        msg[i] = '\x8a';
        msg[i + 1] = '\x5c';   // a second byte that is a backslash
    }
    Title_PreviewText(msg.c_str(), out);
    EXPECT_EQ(out.size(), 2999u);
    Title_PreviewText(std::string(5000, 'x').c_str(), out);
    EXPECT_EQ(out.size(), 3000u);
}

TEST(TitleDraw, LayoutNumbers)
{
    EXPECT_EQ(Title_RowHeight(12, 0), 14);
    EXPECT_EQ(Title_RowHeight(16, 0), 17);
    EXPECT_EQ(Title_RowHeight(16, 1), 51);
    EXPECT_EQ(Title_IndentUnit(100, 14, 0), 20);
    EXPECT_EQ(Title_IndentUnit(100, 14, 5), 10);   // 86 / 8
    EXPECT_EQ(Title_IndentUnit(100, 14, 65535), 2);
    struct Centre {
        int row, page, count, top;
    } centres[] = {{50, 10, 100, 45}, {2, 10, 100, 0}, {98, 10, 100, 90}, {3, 10, 5, 0}};
    for (const Centre& c : centres)
        EXPECT_EQ(Title_CentreTop(c.row, c.page, c.count), c.top) << c.row;
    EXPECT_EQ(Title_FitWidth(3), 24);
    EXPECT_EQ(Title_FitWidth(100), 108);
    EXPECT_EQ(Title_NoColumnWidth(2), 122);
    char s[80];
    Title_StatusText(3, 1, 20, s, sizeof s);
    EXPECT_STREQ(s, "未読 : 3 / 未送信 : 1 / 総数 : 20");
}

}  // namespace

TEST(TitleDraw, ArticlePictureCells)
{
    // Rows 15 pixels high, the No column from x = 2.
    struct Case {
        const char* what;
        int row, rowTop, rowH, preview;
        TitlePictureCell want;
    } cases[] = {
        {"even row: first column, twice the row, centred on it", 4, 60, 15, 0, {2, 53, 30}},
        {"odd row: second column", 5, 75, 15, 0, {32, 68, 30}},
        {"preview: the row height at the left", 5, 135, 45, 1, {2, 135, 45}},
    };
    for (const Case& c : cases) {
        TitlePictureCell got = Title_PictureCell(c.row, c.rowTop, c.rowH, c.preview, 2);
        EXPECT_EQ(got.left, c.want.left) << c.what;
        EXPECT_EQ(got.top, c.want.top) << c.what;
        EXPECT_EQ(got.size, c.want.size) << c.what;
    }
    // Neighbouring pictures do not overlap: row 4's ends where row 6's starts.
    TitlePictureCell a = Title_PictureCell(4, 60, 15, 0, 2), b = Title_PictureCell(6, 90, 15, 0, 2);
    EXPECT_LE(a.top + a.size, b.top + 1);
    EXPECT_EQ(Title_PictureSpace(15, 0), 60);
    EXPECT_EQ(Title_PictureSpace(45, 1), 45);
}
