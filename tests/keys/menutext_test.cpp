#include "ui/keys/MenuText.h"

#include <gtest/gtest.h>

#include <string>

// A lead byte takes the next byte with it, whatever it is: these pairs must
// never be read as "&", "(" or a tab.
namespace {
const char kAmpTrail[] = "\x83\x26";   // lead byte + "&"
const char kParenTrail[] = "\x89\x28";   // lead byte + "("
}

TEST(MenuText, SplitAndVisibleLabel)
{
    const struct {
        std::string text, label, key, visible;
    } cases[] = {
        {"検索(&S)...\tCtrl+F", "検索(&S)...", "Ctrl+F", "検索(S)..."},
        {"終了(&X)", "終了(&X)", "", "終了(X)"},
        {"A&&B&c\t", "A&&B&c", "", "A&Bc"},
        {"\tF5", "", "F5", ""},
        {std::string("x") + "\x82\x09" + "y\tF2", std::string("x") + "\x82\x09" + "y", "F2",
         std::string("x") + "\x82\x09" + "y"},
        {std::string(kAmpTrail) + "a&", kAmpTrail + std::string("a&"), "", kAmpTrail + std::string("a")},
    };
    for (const auto& c : cases) {
        size_t len = 0;
        const char* key = nullptr;
        MenuText_Split(c.text.c_str(), &len, &key);
        EXPECT_EQ(std::string(c.text.c_str(), len), c.label);
        EXPECT_STREQ(key, c.key.c_str());
        char out[MenuTextSize];
        MenuText_Visible(c.text.c_str(), len, out, sizeof out);
        EXPECT_EQ(std::string(out), c.visible);
    }
    // A cut never leaves half a double-byte character.
    char small[4];
    EXPECT_EQ(MenuText_Visible("&a\x88\x9F\x88\x9F", 6, small, sizeof small), 3u);
    EXPECT_STREQ(small, "a\x88\x9F");
}

TEST(MenuText, Swatches)
{
    const struct {
        const char* label;
        bool swatch;
        uint32_t colorref;
    } cases[] = {
        {"C_0000FF", true, 0xFF0000},  {"C_ff8000", true, 0x0080FF}, {"C_12aB3c\tx", true, 0x3CAB12},
        {"C_FFZZ", true, 0xFF0000},    {"C_", true, 0},              {"C_1234567", true, 0x563412},
        {"c_0000FF", false, 0},        {"なし", false, 0},           {"C", false, 0},
    };
    for (const auto& c : cases) {
        uint32_t color = 0xDEADBEEF;
        EXPECT_EQ(MenuText_Swatch(c.label, &color), c.swatch) << c.label;
        if (c.swatch) {
            EXPECT_EQ(color, c.colorref) << c.label;
        }
    }
}

TEST(MenuText, ColorLabelTextsShowTheirColour)
{
    const char* const expected[] = {"なし",     "C_0000FF", "C_FF0000", "C_FF00FF", "C_00FF00",
                                    "C_00FFFF", "C_FFFF00", "C_808080", "C_000080", "C_800000",
                                    "C_800080", "C_008000", "C_008080", "C_808000", "C_C0C0C0"};
    ASSERT_EQ(ColorLabelCount, 15);
    for (int i = 0; i < ColorLabelCount; ++i) {
        char text[MenuTextSize];
        ASSERT_TRUE(ColorLabelText(ColorLabelIds[i], text, sizeof text));
        EXPECT_STREQ(text, expected[i]) << ColorLabelIds[i];
        // The swatch drawn from the label is the colour the command sets.
        uint32_t set = 0, shown = 0;
        if (i > 0) {
            ASSERT_TRUE(ColorLabelColor(ColorLabelIds[i], &set));
            ASSERT_TRUE(MenuText_Swatch(text, &shown));
            EXPECT_EQ(shown, set);
        }
    }
    char text[8] = "x";
    EXPECT_FALSE(ColorLabelText(32947, text, sizeof text));
    EXPECT_STREQ(text, "");
}

TEST(MenuText, MnemonicDecision)
{
    const std::string lead = kAmpTrail;
    // Items: 0 "&File", 1 "&Find", 2 "sjis" whose trail byte is "&" before "x",
    // 3 "e&xit", 4 no text, 5 "A&&B" (a literal "&" before "B"), 6 "フォルダ(&Q)".
    const std::string sjis = lead + "x";
    const char* items[] = {"&File", "&Find", sjis.c_str(), "e&xit", nullptr, "A&&B", "フォルダ(&Q)"};
    const int n = 7;
    const struct {
        int highlighted;
        unsigned char ch;
        MenuCharAction action;
        int index;
    } cases[] = {
        {-1, 'f', MenuCharAction::Select, 0},   // two matches: the first is selected
        {0, 'F', MenuCharAction::Select, 1},    // the scan starts after the highlighted item
        {1, 'f', MenuCharAction::Select, 0},    // and wraps
        {-1, 'x', MenuCharAction::Execute, 3},  // one match: executed (not the trail byte)
        {3, 'X', MenuCharAction::Execute, 3},
        {-1, 'q', MenuCharAction::Execute, 6},
        {-1, 'b', MenuCharAction::None, -1},
        {-1, 'z', MenuCharAction::None, -1},
    };
    for (const auto& c : cases) {
        int index = 99;
        EXPECT_EQ(MenuChar_Decide(items, n, c.highlighted, c.ch, &index), c.action) << c.ch;
        EXPECT_EQ(index, c.index) << c.ch;
    }
    int index = 0;
    EXPECT_EQ(MenuChar_Decide(items, 0, -1, 'f', &index), MenuCharAction::None);
}

TEST(MenuText, ToolTipAndKeptTextCuts)
{
    const std::string long100(100, 'a');
    const struct {
        std::string text, tip;
    } cases[] = {
        {"検索(&S)...", "検索"},
        {"通常巡回", "通常巡回"},
        {std::string("x") + kParenTrail + "(&Y)", std::string("x") + kParenTrail},
        {long100, std::string(79, 'a')},
        {std::string(78, 'a') + "漢字", std::string(78, 'a')},   // never half a character
    };
    for (const auto& c : cases) {
        char tip[ToolTipSize];
        MenuText_ToolTip(c.text.c_str(), tip, sizeof tip);
        EXPECT_EQ(std::string(tip), c.tip);
    }
    char tip[ToolTipSize] = "x";
    EXPECT_EQ(MenuText_ToolTip(nullptr, tip, sizeof tip), 0u);
    EXPECT_STREQ(tip, "");
    // A kept item text is cut the same way, but not at "(".
    char kept[MenuTextSize];
    std::string kanji;
    for (int i = 0; i < 60; ++i)
        kanji += "漢";
    EXPECT_EQ(MenuText_Copy(kanji.c_str(), kept, sizeof kept), 98u);
    EXPECT_EQ(MenuText_Copy("検索(&S)", kept, sizeof kept), 8u);
}

TEST(MenuText, KeyTextReplacesTheOldOne)
{
    struct Case {
        const char* text;
        const char* key;
        const char* want;
        bool changed;
    } cases[] = {
        {"検索(&S)...", "Ctrl+F", "検索(&S)...\tCtrl+F", true},
        {"検索(&S)...\tCtrl+F", "F3", "検索(&S)...\tF3", true},
        {"検索(&S)...\tCtrl+F", "Ctrl+F", "検索(&S)...\tCtrl+F", false},
        {"検索(&S)...\tCtrl+F", "", "検索(&S)...", true},
        {"ラベル", "", "ラベル", false},
    };
    for (const Case& c : cases) {
        char out[MenuTextSize];
        EXPECT_EQ(MenuText_WithKey(c.text, c.key, out, sizeof out), c.changed) << c.text;
        EXPECT_STREQ(out, c.want);
    }
    // Cut within the item's bytes, never through a double-byte character.
    char small[8];
    MenuText_WithKey("ああああ", "Ctrl+A", small, sizeof small);
    EXPECT_STREQ(small, "あああ");
}
