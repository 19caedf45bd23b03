// Plug-in information read from executables' version blocks, and the
// version box's list.
#include "base/debug.h"
#include "pluginhost/PluginHost.h"
#include "../pluginhost_testutil.h"

#include <gtest/gtest.h>

using phtest::TempDir;
using phtest::WinPath;

namespace {

std::string Prog(const char* name)
{
    return WinPath(ZEVA_PH_PROGS) + "\\" + name + ".exe";
}

std::string RealPlugin(const char* name)
{
    return WinPath(ZEVA_PLUGINS_DIR) + "\\" + name;
}

} // namespace

TEST(PluginVersionBlock, OwnTestProgram)
{
    TempDir dir;
    ASSERT_TRUE(CopyFileA(Prog("ph_cmdline").c_str(), dir.File("zv_Cmd.exe").c_str(), FALSE));
    PluginInfo info;
    ASSERT_EQ(1, Plugin_Lookup(&info, "Cmd", dir.Path().c_str()));
    EXPECT_EQ(PLUGIN_EXE, info.kind);
    EXPECT_EQ("試験掲示板", info.internalName);
    EXPECT_EQ("試験掲示板", info.target);   // the internal name is shown as the target
    EXPECT_EQ("2.30b", info.version);
    EXPECT_EQ("試験用のプラグイン", info.comments);
    EXPECT_EQ("(C) 試験 太郎", info.author);   // the copyright is shown as the author
}

TEST(PluginVersionBlock, NoBlockGivesEmptyInformation)
{
    TempDir dir;
    ASSERT_TRUE(CopyFileA(Prog("ph_bytes").c_str(), dir.File("zv_Bytes.exe").c_str(), FALSE));
    PluginInfo info;
    info.version = "stale";
    ASSERT_EQ(1, Plugin_Lookup(&info, "zv_Bytes.exe", dir.Path().c_str()));
    EXPECT_EQ("", info.version);
    EXPECT_EQ("", info.author);
    EXPECT_EQ("", info.target);
    // A missing file reads as no block.
    PluginInfo missing;
    ASSERT_EQ(1, Plugin_Lookup(&missing, "Nothing", dir.Path().c_str()));
    EXPECT_EQ("", missing.target);
}

TEST(PluginVersionBlock, RealPlugins)
{
    std::string folder = WinPath(ZEVA_PLUGINS_DIR) + "\\";
    if (!File_Exists(RealPlugin("zv_ZVT.exe").c_str()))
        GTEST_SKIP() << "zv_ZVT.exe not built";
    PluginInfo zvt;
    ASSERT_EQ(1, Plugin_Lookup(&zvt, "ZVT", folder.c_str()));
    EXPECT_EQ(folder + "zv_ZVT.exe", zvt.path);
    EXPECT_EQ("ZVT対応掲示板、Quillbook", zvt.target);
    EXPECT_EQ("ZVT対応掲示板、Quillbook", zvt.internalName);
    EXPECT_EQ("1.05", zvt.version);

    if (File_Exists(RealPlugin("zv_Orbiloom.exe").c_str())) {
        PluginInfo orb;
        ASSERT_EQ(1, Plugin_Lookup(&orb, "Orbiloom", folder.c_str()));
        EXPECT_FALSE(orb.target.empty());
        EXPECT_FALSE(orb.version.empty());
    }
    if (File_Exists(RealPlugin("zv_Stillmark.exe").c_str())) {
        // The browser-only plug-in carries no description block.
        PluginInfo still;
        ASSERT_EQ(1, Plugin_Lookup(&still, "Stillmark", folder.c_str()));
        EXPECT_EQ("", still.target);
        EXPECT_EQ("", still.version);
    }
}

TEST(PluginVersionBox, OneLinePerPluginFile)
{
    TempDir dir;
    ASSERT_TRUE(CopyFileA(Prog("ph_cmdline").c_str(), dir.File("zv_Cmd.exe").c_str(), FALSE));
    phtest::WriteBytes(dir.File("zv_Script.pl"), "# zv_Script version 0.5 by 花子\n");
    phtest::WriteBytes(dir.File("zv_Notes.txt"), "not a plug-in");
    Debug_BeginCapture();
    std::string text;
    Plugin_VersionBoxText(dir.Path().c_str(), text);
    std::string debug = Debug_Take();
    Debug_EndCapture();
    std::string cmdLine = "zv_Cmd.exe                2.30b     (C) 試験 太郎\r\n";
    std::string plLine = "zv_Script.pl              0.5       花子\r\n";
    EXPECT_TRUE(text == cmdLine + plLine || text == plLine + cmdLine) << text;
    EXPECT_NE(std::string::npos, debug.find("SimpleProfiler() : "));
    EXPECT_NE(std::string::npos, debug.find("zv_Script.pl\n"));
    EXPECT_NE(std::string::npos, debug.find("zv_Cmd.exe\n"));

    TempDir empty;
    std::string none;
    Plugin_VersionBoxText(empty.Path().c_str(), none);
    EXPECT_EQ("", none);
}
