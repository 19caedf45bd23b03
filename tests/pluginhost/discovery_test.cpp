// Plug-in discovery: resolution, script headers, listing, version-box lines,
// stray plug-ins and the type pre-selection.
#include "pluginhost/PluginInfo.h"
#include "pluginhost_testutil.h"
#include "base/sjis.h"

#include <algorithm>

#include <gtest/gtest.h>
#include <string.h>

using phtest::ReadBytes;
using phtest::TempDir;
using phtest::WriteBytes;

namespace {

PluginInfo Resolve(const std::string& name, const std::string& folder)
{
    PluginInfo info;
    Plugin_Resolve(&info, name.c_str(), folder.c_str());
    return info;
}

PluginInfo Parse(const std::string& text)
{
    PluginInfo info;
    Plugin_ParseScriptHeader(text.data(), text.size(), &info);
    return info;
}

} // namespace

TEST(PluginResolve, TypeNameTriesExePlRbInThatOrder)
{
    TempDir dir;
    const std::string f = dir.Path();
    WriteBytes(f + "zv_Both.exe", "x");
    WriteBytes(f + "zv_Both.pl", "x");
    WriteBytes(f + "zv_Perl.pl", "x");
    WriteBytes(f + "zv_Perl.rb", "x");
    WriteBytes(f + "zv_Ruby.rb", "x");

    PluginInfo both = Resolve("Both", f);
    EXPECT_EQ(f + "zv_Both.exe", both.path);
    EXPECT_EQ(PLUGIN_EXE, both.kind);
    EXPECT_EQ(f, both.folder);

    PluginInfo perl = Resolve("Perl", f);
    EXPECT_EQ(f + "zv_Perl.pl", perl.path);
    EXPECT_EQ(PLUGIN_PERL, perl.kind);

    PluginInfo ruby = Resolve("Ruby", f);
    EXPECT_EQ(f + "zv_Ruby.rb", ruby.path);
    EXPECT_EQ(PLUGIN_RUBY, ruby.kind);

    // No file at all: the executable name all the same.
    PluginInfo missing = Resolve("Nothing", f);
    EXPECT_EQ(f + "zv_Nothing.exe", missing.path);
    EXPECT_EQ(PLUGIN_EXE, missing.kind);

    // A folder of that name is not a plug-in file.
    Dir_Create((f + "zv_Dir.exe").c_str());
    WriteBytes(f + "zv_Dir.rb", "x");
    EXPECT_EQ(f + "zv_Dir.rb", std::string(Resolve("Dir", f).path));
}

TEST(PluginResolve, FileNamesAndPaths)
{
    const std::string f = "/plugins/";
    PluginInfo rb = Resolve("zv_Foo.rb", f);
    EXPECT_EQ("/plugins/zv_Foo.rb", std::string(rb.path));
    EXPECT_EQ(PLUGIN_RUBY, rb.kind);
    EXPECT_EQ(PLUGIN_EXE, Resolve("ZV_Bar.EXE", f).kind);
    PluginInfo bare = Resolve("zv_Baz", f);
    EXPECT_EQ("/plugins/zv_Baz", std::string(bare.path));
    EXPECT_EQ(PLUGIN_NONE, bare.kind);

    // A backslash makes it a path, kept as given; a later match wins.
    PluginInfo path = Resolve("C:\\Tools\\zv_x.pl", f);
    EXPECT_EQ("C:\\Tools\\zv_x.pl", std::string(path.path));
    EXPECT_EQ(PLUGIN_PERL, path.kind);
    EXPECT_EQ(PLUGIN_RUBY, Resolve("C:\\a.rb\\b.exe", f).kind);
    EXPECT_EQ(PLUGIN_NONE, Resolve("C:\\tools\\plugin", f).kind);

    // The second byte of "表" is 0x5C but no separator: still a type name.
    PluginInfo sjis = Resolve("表示", f);
    EXPECT_EQ("/plugins/zv_表示.exe", std::string(sjis.path));
    EXPECT_EQ(PLUGIN_EXE, sjis.kind);
}

TEST(PluginResolve, OverlongNamesAreCut)
{
    std::string longName(400, 'a');
    PluginInfo info = Resolve(longName, "/p/");
    EXPECT_EQ(259u, strlen(info.path));
    PluginInfo path = Resolve("C:\\" + longName + ".rb", "/p/");
    EXPECT_EQ(259u, strlen(path.path));
    // The kind is told from the whole name, not the cut path.
    EXPECT_EQ(PLUGIN_NONE, path.kind);
}

TEST(PluginScriptHeader, VersionAuthorTarget)
{
    PluginInfo a = Parse("#!/usr/bin/perl\n"
                         "# zv_Foo.pl version 1.2b by Taro Yamada  (c)2001\n"
                         "# for Quillbook ver 0.13\n");
    EXPECT_EQ("1.2b", a.version);
    EXPECT_EQ("Taro Yamada", a.author);
    // The cut at "ver" keeps the space before it.
    EXPECT_EQ("Quillbook ", a.target);
    EXPECT_EQ("", a.comments);
    EXPECT_EQ("", a.internalName);

    // "ver." and "ver" as fall-backs; author up to the line end.
    PluginInfo b = Parse("# Ver.2.01\r\n# written by 山田太郎\r\n#  made for   the 掲示板\r\n");
    EXPECT_EQ("2.01", b.version);
    EXPECT_EQ("山田太郎", b.author);
    EXPECT_EQ("the 掲示板", b.target);

    // Only the first line that gives a field counts.
    PluginInfo c = Parse("# ver 3\n# version 4 by one\n# by two for X\n# for Y\n");
    EXPECT_EQ("3", c.version);
    EXPECT_EQ("one", c.author);
    EXPECT_EQ("X", c.target);
}

TEST(PluginScriptHeader, NothingToFind)
{
    PluginInfo a = Parse("print 'hello';\nexit 0;\n");
    EXPECT_EQ("", a.version);
    EXPECT_EQ("", a.author);
    EXPECT_EQ("", a.target);
    // Words at the line end give nothing: no digit, no name.
    PluginInfo b = Parse("# version\n# by\n");
    EXPECT_EQ("", b.version);
    EXPECT_EQ("", b.author);
    // A trail byte that reads as 'v' is no "ver": プ is 0x83 0x76.
    PluginInfo c = Parse("# プer 5\n");
    EXPECT_EQ("", c.version);
    PluginInfo d = Parse("");
    EXPECT_EQ("", d.version);
}

TEST(PluginScriptHeader, LimitsOfLinesAndFields)
{
    std::string text;
    for (int i = 0; i < 19; i++)
        text += "# filler\n";
    text += "# version 7\n";   // line 20: read
    text += "# by late\n";     // line 21: never read
    PluginInfo a = Parse(text);
    EXPECT_EQ("7", a.version);
    EXPECT_EQ("", a.author);

    // A line over 200 bytes counts as more than one line.
    std::string longLines;
    for (int i = 0; i < 10; i++)
        longLines += std::string(399, '#') + "\n";
    longLines += "# version 8\n";
    EXPECT_EQ("", Parse(longLines).version);

    PluginInfo b = Parse("# version " + std::string(150, '1') + "\n# by " + std::string(150, 'n') +
                         "\n# for " + std::string(180, 't') + "\n");
    EXPECT_EQ(std::string(99, '1'), b.version);
    EXPECT_EQ(std::string(99, 'n'), b.author);
    EXPECT_EQ(std::string(100, 't'), b.target);
}

TEST(PluginScriptHeader, ReadsTheFileHead)
{
    TempDir dir;
    WriteBytes(dir.File("zv_S.rb"), "# zv_S version 0.9 by Hanako\n# for Orbiloom\n");
    PluginInfo info;
    Plugin_Resolve(&info, "S", dir.Path().c_str());
    ASSERT_EQ(PLUGIN_RUBY, info.kind);
    info.comments = "stale";
    EXPECT_EQ(1, Plugin_ReadScriptInfo(&info));
    EXPECT_EQ("0.9", info.version);
    EXPECT_EQ("Hanako", info.author);
    EXPECT_EQ("Orbiloom", info.target);
    EXPECT_EQ("", info.comments);

    PluginInfo missing;
    Str_Copy(missing.path, sizeof(missing.path), dir.File("zv_None.pl").c_str());
    EXPECT_EQ(1, Plugin_ReadScriptInfo(&missing));
    EXPECT_EQ("", missing.version);
}

TEST(PluginList, KeepsPluginFilesAndTypeNames)
{
    TempDir dir;
    for (const char* n : {"zv_A.exe", "zv_B.PL", "zv_C.rb", "ZV_F.Exe", "zv_x.y.exe", "zv_D.txt", "other.exe",
                          "zv_E.exe.bak", "zv_.pl"})
        WriteBytes(dir.File(n), "x");
    Dir_Create(dir.File("zv_G.exe").c_str());

    std::vector<std::string> files, types;
    ASSERT_EQ(1, Plugin_ListFiles(dir.Path().c_str(), files));
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"ZV_F.Exe", "zv_.pl", "zv_A.exe", "zv_B.PL", "zv_C.rb", "zv_x.y.exe"}),
              files);
    ASSERT_EQ(1, Plugin_ListTypes(dir.Path().c_str(), types));
    std::sort(types.begin(), types.end());
    EXPECT_EQ((std::vector<std::string>{"", "A", "B", "C", "F", "x.y"}), types);

    TempDir empty;
    ASSERT_EQ(1, Plugin_ListTypes(empty.Path().c_str(), types));
    EXPECT_TRUE(types.empty());
}

TEST(PluginList, VersionBoxLines)
{
    std::string text;
    Plugin_AppendVersionLine(text, "zv_ZVT.exe", "1.05", "(C) ZEVA");
    Plugin_AppendVersionLine(text, "zv_Stillmark.exe", "", "");
    EXPECT_EQ("zv_ZVT.exe                1.05      (C) ZEVA\r\n"
              "zv_Stillmark.exe                    \r\n",
              text);
    // Wider fields push the rest along instead of being cut.
    std::string wide;
    Plugin_AppendVersionLine(wide, "zv_AVeryLongPluginTypeName.exe", "1.2.3.4.5.6", "作者");
    EXPECT_EQ("zv_AVeryLongPluginTypeName.exe1.2.3.4.5.6作者\r\n", wide);
}

TEST(PluginStrays, MovedIntoThePluginFolder)
{
    TempDir dir;
    const std::string prog = dir.Path();
    const std::string plugins = dir.Sub("Plugins");
    WriteBytes(prog + "zv_A.exe", "new exe");
    WriteBytes(plugins + "zv_A.exe", "old exe");
    WriteBytes(prog + "ZV_b.txt", "help");
    WriteBytes(prog + "script.pl", "perl");
    WriteBytes(prog + "tool.RB", "ruby");
    WriteBytes(prog + "zeva.exe", "host");
    WriteBytes(prog + "readme.txt", "doc");

    EXPECT_EQ(4, Plugin_MoveStrays(prog.c_str(), plugins.c_str()));
    EXPECT_EQ("new exe", ReadBytes(plugins + "zv_A.exe"));
    EXPECT_EQ("help", ReadBytes(plugins + "ZV_b.txt"));
    EXPECT_EQ("perl", ReadBytes(plugins + "script.pl"));
    EXPECT_EQ("ruby", ReadBytes(plugins + "tool.RB"));
    for (const char* gone : {"zv_A.exe", "ZV_b.txt", "script.pl", "tool.RB"})
        EXPECT_FALSE(File_Exists((prog + gone).c_str())) << gone;
    EXPECT_TRUE(File_Exists((prog + "zeva.exe").c_str()));
    EXPECT_TRUE(File_Exists((prog + "readme.txt").c_str()));
    EXPECT_FALSE(File_Exists((plugins + "zeva.exe").c_str()));
}

TEST(PluginStrays, KeptWhenTheCopyFails)
{
    TempDir dir;
    WriteBytes(dir.File("zv_A.exe"), "exe");
    std::string noFolder = dir.Path() + "Missing" + phtest::kSep;
    EXPECT_EQ(0, Plugin_MoveStrays(dir.Path().c_str(), noFolder.c_str()));
    EXPECT_EQ("exe", ReadBytes(dir.File("zv_A.exe")));
}

TEST(BoardTypeHints, TableShape)
{
    int zvt = 0, orbiloom = 0;
    for (int i = 0; i < BOARD_TYPE_HINT_ROWS; i++) {
        ASSERT_NE(nullptr, g_BoardTypeHints[i].fragment) << i;
        ASSERT_NE(nullptr, g_BoardTypeHints[i].typeName) << i;
        EXPECT_NE('\0', g_BoardTypeHints[i].fragment[0]) << i;
        zvt += !strcmp(g_BoardTypeHints[i].typeName, "ZVT");
        orbiloom += !strcmp(g_BoardTypeHints[i].typeName, "Orbiloom");
    }
    EXPECT_EQ(nullptr, g_BoardTypeHints[BOARD_TYPE_HINT_ROWS].fragment);
    EXPECT_GT(zvt, 0);
    EXPECT_GT(orbiloom, 0);
}

TEST(BoardTypeHints, PreselectFromClipboard)
{
    const std::vector<std::string> all = {"Orbiloom", "Stillmark", "ZVT"};
    std::string url;

    // New board: the address is taken from the clipboard and stored.
    EXPECT_EQ(0, Plugin_PreselectType("見て http://example.jp/cgi/rnall.cgi?x=1 です", "", "", all, &url));
    EXPECT_EQ("http://example.jp/cgi/rnall.cgi?x=1", url);
    EXPECT_EQ(2, Plugin_PreselectType("http://example.jp/quillbook/index.cgi", "", "", all, &url));
    EXPECT_EQ("http://example.jp/quillbook/index.cgi", url);

    // Two fragments: the row that comes first wins, unless its type is missing.
    const char* both = "http://h/quillbook/rnall.cgi";
    EXPECT_EQ(0, Plugin_PreselectType(both, "", "", all, &url));
    EXPECT_EQ(1, Plugin_PreselectType(both, "", "", {"Stillmark", "ZVT"}, &url));

    // No address in the clipboard: the first listed name, nothing stored.
    EXPECT_EQ(0, Plugin_PreselectType("quillbook", "", "", {"A", "ZVT"}, &url));
    EXPECT_EQ("", url);
    EXPECT_EQ(0, Plugin_PreselectType(nullptr, "", "", {"A", "ZVT"}, &url));

    // LIB or URL already set: the whole clipboard text is the address.
    EXPECT_EQ(1, Plugin_PreselectType("host/quillbook/", "Gone", "", {"A", "ZVT"}, &url));
    EXPECT_EQ("", url);
    EXPECT_EQ(1, Plugin_PreselectType("host/quillbook/", "", "http://old/", {"A", "ZVT"}, &url));

    // Type names are found by prefix without regard to case.
    EXPECT_EQ(1, Plugin_PreselectType("http://x/rnall.cgi", "", "", {"Aaa", "orbiloomX"}, &url));
    EXPECT_EQ(-1, Plugin_PreselectType("http://x/rnall.cgi", "", "", {}, &url));
}

TEST(BoardTypeHints, StoredAddressIsBounded)
{
    std::string url;
    std::string clip = "http://h/" + std::string(400, 'a');
    Plugin_PreselectType(clip.c_str(), "", "", {"ZVT"}, &url);
    EXPECT_EQ(250u, url.size());
    // A line end closes the address: nothing after it reaches the settings file.
    Plugin_PreselectType("http://h/rnall.cgi\r\n[BASIC]\r\nLIB=x", "", "", {"ZVT"}, &url);
    EXPECT_EQ("http://h/rnall.cgi", url);
}
