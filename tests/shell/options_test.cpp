#include "ui/shell/AppOptions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Serialized(CProfile& p)
{
    std::string s;
    p.Serialize(s);
    return s;
}

TEST(AppOptions, DefaultsOfAMissingFile)
{
    CProfile ini;
    ini.Parse("", 0);
    AppOptions o;
    AppOptions_Read(ini, &o, AppOptions_DefaultFontSize(96));
    EXPECT_STREQ(o.editor, "notepad");
    EXPECT_STREQ(o.perl, "perl");
    EXPECT_STREQ(o.ruby, "ruby");
    EXPECT_STREQ(o.quoteMark, ">");
    EXPECT_EQ(o.threadCount, 2);
    EXPECT_EQ(o.proxyIE, 1);
    EXPECT_EQ(o.autoConnect, 1);
    EXPECT_EQ(o.smoothScroll, 1);
    EXPECT_EQ(o.scrollLine, 50);
    EXPECT_EQ(o.animation, 1);
    EXPECT_EQ(o.showToolbar, 1);
    EXPECT_EQ(o.showStatusbar, 1);
    EXPECT_EQ(o.showLogfile, 0);
    EXPECT_EQ(o.colTitleBlend, 0x96FF96u);
    EXPECT_EQ(o.colTitleToday, 0xFF0000u);
    EXPECT_STREQ(o.fontText.face, "ＭＳ ゴシック");
    EXPECT_STREQ(o.fontTitle.face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(o.fontTitle.size, -12);
    EXPECT_EQ(o.enableRegExp, 0);
    EXPECT_EQ(ini.IsModified(), 0);   // reading writes nothing
}

TEST(AppOptions, DefaultFontSizeRoundsAsMulDiv)
{
    struct Case {
        int ppi, size;
    } cases[] = {{96, -12}, {120, -15}, {72, -9}, {100, -13}, {144, -18}, {0, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(AppOptions_DefaultFontSize(c.ppi), c.size) << c.ppi;
}

TEST(AppOptions, ReadsEveryKindOfKeyAndCutsLongStrings)
{
    std::string longProxy(300, 'p');
    std::string text = "[OPTION]\r\nEditor=C:\\エディタ\\ed.exe\r\nThreadCount=4\r\nColTextQuote=255\r\n"
                       "ProxyAdr=" + longProxy + "\r\nQuoteMark=" + std::string(200, '>') +
                       "\r\nFontTextFace=Courier\r\nFontTextSize=-20\r\nSearch003=かな\r\nSound004=bye.wav\r\n"
                       "ShowToolbar=0\r\nScrollLine=abc\r\n[SEARCH]\r\nEnableCap=1\r\n";
    CProfile ini;
    ini.Parse(text.data(), text.size());
    AppOptions o;
    AppOptions_Read(ini, &o, -12);
    EXPECT_STREQ(o.editor, "C:\\エディタ\\ed.exe");
    EXPECT_EQ(o.threadCount, 4);
    EXPECT_EQ(o.colTextQuote, 255u);
    EXPECT_EQ(strlen(o.proxyAdr), 98u);
    EXPECT_EQ(strlen(o.quoteMark), 79u);
    EXPECT_STREQ(o.fontText.face, "Courier");
    EXPECT_EQ(o.fontText.size, -20);
    EXPECT_STREQ(o.search[3], "かな");
    EXPECT_STREQ(o.sound[4], "bye.wav");
    EXPECT_EQ(o.showToolbar, 0);
    EXPECT_EQ(o.scrollLine, 0);   // not a number: read as decimal text
    EXPECT_EQ(o.enableCap, 1);
}

TEST(AppOptions, ExitWritesWindowAndSwitches)
{
    AppOptions o;
    AppOptions_Defaults(&o, -12);
    o.showLogfile = 1;
    WindowSettings w = {10, 20, 810, 620, 5, 180, 220};
    CProfile ini;
    ini.Parse("", 0);
    AppOptions_WriteExit(ini, w, o);
    EXPECT_EQ(Serialized(ini),
              "[WINDOW]\r\nWindowX=10\r\nWindowY=20\r\nWindowW=810\r\nWindowH=620\r\nShowWindow=5\r\n"
              "FolderW=180\r\nTitleH=220\r\n[OPTION]\r\nShowToolbar=1\r\nShowStatusbar=1\r\nShowLogfile=1\r\n");

    // Maximised: ShowWindow 3 alone; the saved rectangle stays and is read
    // back for the next restore.
    w = {0, 0, 1280, 1000, 3, 180, 220};
    AppOptions_WriteExit(ini, w, o);
    WindowSettings back;
    WindowSettings_Read(ini, &back, -1, -1, -1, -1);
    EXPECT_EQ(back.showWindow, 3);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.bottom, 620);
    EXPECT_EQ(back.folderW, 180);
}

TEST(AppOptions, WindowDefaultsAreTheCurrentPlacement)
{
    CProfile ini;
    ini.Parse("", 0);
    WindowSettings w;
    WindowSettings_Read(ini, &w, 1, 2, 3, 4);
    EXPECT_EQ(w.left, 1);
    EXPECT_EQ(w.bottom, 4);
    EXPECT_EQ(w.showWindow, 5);
    EXPECT_EQ(w.folderW, 200);
    EXPECT_EQ(w.titleH, 200);
}

}  // namespace
