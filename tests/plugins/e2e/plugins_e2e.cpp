// The three plug-in programs under Wine, each mode, observed from outside:
// standard output, exit code, the settings file, the files in the board
// folder, and what the board simulator on 127.0.0.1 was asked.
#include "e2e_util.h"

#include <windows.h>

#include <algorithm>

using namespace e2e;

namespace {
const DWORD kFailed = (DWORD)-1;
const char kFetchOk[] = " サーバに接続中...\r\n応答を待っています...\r\n";
const char kZvtLogHead[] =
    "このファイルは「ZEVA用ZVT形式プラグイン(zv_ZVT)」によって作成されました。\n"
    "このファイルは不要ならばいつでも削除可能です。\n";
const std::string kOrbSep = "<br><div align=\"center\">----- zv_Orbiloom -----</div><br>";
const std::string kOrbP = "#P:POST,$C,category=$#T&title=$T&name=$N&follow=&comment=$M\n";
const std::string kOrbF = "#F:POST,$C,category=$#T&title=$T&name=$N&follow=$Sr&comment=$M\n";

// The raw answer of /e2e/raw/crlf.cgi and what normalisation makes of it.
const std::string kCrlfRaw =
    "#T:raw\r\n#UU:http://127.0.0.1/post.cgi\r\nS:5,*,04/01/02,12:00\r\nT:\x83\x0d\x83\x0a\r\nN:n\rM:a\n\r\n\rb\r\n.\r\n";
const std::string kCrlfNormal =
    "#T:raw\n#UU:http://127.0.0.1/post.cgi\nS:5,*,04/01/02,12:00\nT:\x83\x0d\x83\x0a\nN:n\nM:a\n\nb\n.\n";

std::string ZvtExe()
{
    return PluginExe("zv_ZVT.exe");
}
std::string OrbExe()
{
    return PluginExe("zv_Orbiloom.exe");
}
std::string StillExe()
{
    return PluginExe("zv_Stillmark.exe");
}

// Requests to path made after `before` requests had been seen.
std::vector<Request> NewRequests(const std::string& path, size_t before)
{
    std::vector<Request> all = SimRequests(path);
    return std::vector<Request>(all.begin() + std::min(before, all.size()), all.end());
}

// Status lines of a fetch whose body arrives in one read.
std::string FetchLines(size_t bytes)
{
    return std::string(kFetchOk) + std::to_string(bytes) + " bytes受信\r\n変換中...\r\n正常終了\r\n";
}
}

TEST(ZvtE2E, FetchWritesFilesAndTheNextFetchAsksFromTheNewPointer)
{
    ASSERT_GT(SimPort(), 0) << "run through tools/boardsim/run_with_sim.py";
    const std::string path = "/e2e/zvt/basic.cgi";
    const std::string url = SimUrl(path);
    std::string raw = HttpGet(url + "?point=");
    ASSERT_NE(raw.find("S:41,40,04/01/02,12:05"), std::string::npos);

    Board b;
    b.Settings("LIB=ZVT\r\nURL=" + url + "\r\nPARAM2=\r\n");
    size_t before = SimRequests(path).size();
    RunResult r = RunPlugin(ZvtExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, FetchLines(raw.size()));
    EXPECT_EQ(b.Basic("ERROR"), "正常終了");
    EXPECT_EQ(b.Basic("PARAM2"), "42");
    EXPECT_EQ(b.Basic("UPURL"), url);
    EXPECT_EQ(b.Read("001.zv$"), raw);
    EXPECT_EQ(b.Read("log.html"), kZvtLogHead + raw);
    // The host's spelling of the settings file stays the only one.
    std::vector<std::string> names = ListFolder(b.Path());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"001.zv$", "log.html", "zeva_BBS.ini"}));

    std::vector<Request> reqs = NewRequests(path, before);
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].method, "GET");
    EXPECT_EQ(reqs[0].target, path + "?point=");
    EXPECT_EQ(reqs[0].referer, url);
    EXPECT_EQ(reqs[0].userAgent, "Mozilla/4.0 (compatible; ZEVA/1.10)");
    EXPECT_EQ(reqs[0].auth, "-");

    // Second patrol: asks from 42; an answer without records keeps PARAM2.
    r = RunPlugin(ZvtExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, 0u);
    reqs = NewRequests(path, before);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].target, path + "?point=42");
    EXPECT_EQ(b.Read("001.zv$").find("\nS:"), std::string::npos);
    EXPECT_EQ(b.Basic("PARAM2"), "42");
}

TEST(ZvtE2E, DatePointerGetsTheCenturyAndGoesOutUnencoded)
{
    const std::string path = "/e2e/zvt/dated.cgi";
    Board b;
    b.Settings("URL=" + SimUrl(path) + "\r\n");
    size_t before = SimRequests(path).size();
    EXPECT_EQ(RunPlugin(ZvtExe(), b.Path(), nullptr).code, 0u);
    EXPECT_EQ(b.Basic("PARAM2"), "2000/01/01,00:10");
    EXPECT_EQ(RunPlugin(ZvtExe(), b.Path(), nullptr).code, 0u);
    std::vector<Request> reqs = NewRequests(path, before);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[1].target, path + "?point=2000/01/01,00:10");
    // The board answered from that date on: only the second article.
    std::string out = b.Read("001.zv$");
    EXPECT_EQ(out.find("S:1,"), std::string::npos);
    EXPECT_NE(out.find("S:2,*,00/01/01,00:10"), std::string::npos);
}

TEST(ZvtE2E, BodyIsNormalisedIntoTheArticleFileButLoggedRaw)
{
    Board b;
    b.Settings("URL=" + SimUrl("/e2e/raw/crlf.cgi") + "\r\nPARAM2=1\r\n");
    RunResult r = RunPlugin(ZvtExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, FetchLines(kCrlfRaw.size()));
    EXPECT_EQ(b.Read("001.zv$"), kCrlfNormal);
    EXPECT_EQ(b.Read("log.html"), kZvtLogHead + kCrlfRaw);
    EXPECT_EQ(b.Basic("PARAM2"), "6");
    EXPECT_EQ(b.Basic("UPURL"), "http://127.0.0.1/post.cgi");
}

TEST(ZvtE2E, CredentialsAreSentOnceAfter401)
{
    const std::string path = "/e2e/zvt/auth.cgi";
    {
        Board b;
        b.Settings("URL=" + SimUrl(path) + "\r\nUSER=zeva\r\nPASS=secret\r\n");
        size_t before = SimRequests(path).size();
        EXPECT_EQ(RunPlugin(ZvtExe(), b.Path(), nullptr).code, 0u);
        EXPECT_NE(b.Read("001.zv$").find("S:1,*,04/01/02,12:00"), std::string::npos);
        EXPECT_EQ(b.Basic("PARAM2"), "2");
        std::vector<Request> reqs = NewRequests(path, before);
        ASSERT_GE(reqs.size(), 2u);
        EXPECT_EQ(reqs.front().auth, "-");
        EXPECT_EQ(reqs.back().auth, "zeva:secret");
    }
    {
        // Wrong password: one more try, then whatever came back is converted.
        Board b;
        b.Settings("URL=" + SimUrl(path) + "\r\nUSER=zeva\r\nPASS=wrong\r\nPARAM2=5\r\n");
        size_t before = SimRequests(path).size();
        RunResult r = RunPlugin(ZvtExe(), b.Path(), nullptr);
        EXPECT_EQ(r.code, 0u);
        EXPECT_EQ(b.Basic("ERROR"), "正常終了");
        EXPECT_NE(b.Read("001.zv$").find("401 Authorization Required"), std::string::npos);
        EXPECT_EQ(b.Basic("PARAM2"), "5");
        std::vector<Request> reqs = NewRequests(path, before);
        int withCredentials = 0;
        for (const Request& q : reqs)
            withCredentials += q.auth != "-";
        EXPECT_EQ(withCredentials, 1);
        ASSERT_FALSE(reqs.empty());
        EXPECT_EQ(reqs.back().auth, "zeva:wrong");
        EXPECT_LE(reqs.size(), 3u);
    }
}

TEST(ZvtE2E, FailuresReportTheirTextAndKeepThePointer)
{
    const struct {
        std::string url;
        const char* text;
    } cases[] = {
        {"http://127.0.0.1:" + std::to_string(EnvInt("ZEVA_SIM_DEADPORT")) + "/board.cgi", "HTTPサーバへの要求に失敗"},
        {SimUrl("/e2e/zvt/slow.cgi"), "HTTPサーバへの要求に失敗"},
        {SimUrl("/e2e/zvt/stall.cgi"), "HTTPファイルの読み込みに失敗"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.url);
        Board b;
        b.Settings("URL=" + c.url + "\r\nPARAM2=7\r\n");
        DWORD t0 = GetTickCount();
        RunResult r = RunPlugin(ZvtExe(), b.Path(), nullptr);
        EXPECT_EQ(r.code, kFailed);
        EXPECT_EQ(r.out, std::string(kFetchOk) + c.text + "\r\n");
        EXPECT_EQ(b.Basic("ERROR"), c.text);
        EXPECT_EQ(b.Basic("PARAM2"), "7");
        EXPECT_FALSE(b.Has("001.zv$"));
        EXPECT_FALSE(b.Has("log.html"));
        // The one-second time-outs apply: the simulator holds its answer for 3 s.
        EXPECT_LT(GetTickCount() - t0, 2900u);
    }
}

TEST(ZvtE2E, FileModeConvertsASavedPage)
{
    Board b;
    b.Settings("URL=http://127.0.0.1:1/never\r\nPARAM2=3\r\n");
    CreateDirectoryA(b.File("saved pages").c_str(), nullptr);
    std::string saved = b.File("saved pages\\ページ 1.html");
    ASSERT_TRUE(WriteFileBytes(saved, kCrlfRaw));
    RunResult r = RunPlugin(ZvtExe(), b.Path(), saved.c_str());
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, "変換中...\r\n");
    EXPECT_EQ(b.Read("001.zv$"), kCrlfNormal);
    EXPECT_FALSE(b.Has("log.html"));
    EXPECT_EQ(b.Basic("PARAM2"), "3");
    EXPECT_EQ(b.Basic("UPURL"), "http://127.0.0.1/post.cgi");
    EXPECT_EQ(b.Basic("ERROR"), "<none>");

    // A file that cannot be read: the text, stored in BASIC; exit code 0.
    r = RunPlugin(ZvtExe(), b.Path(), b.File("missing.html").c_str());
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, "ファイルが開けません\r\n");
    EXPECT_EQ(b.Basic("ERROR"), "ファイルが開けません");
    EXPECT_EQ(b.Basic("PARAM2"), "3");
}

TEST(ZvtE2E, DialogModeWritesItsEntries)
{
    Board b;
    b.Settings("URL=u\r\n");
    RunResult r = RunPlugin(ZvtExe(), b.Path(), "i");
    EXPECT_EQ(r.code, 1u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(b.Ini(),
              "[BASIC]\r\nURL=u\r\n[DIALOG]\r\nURL=1\r\nUPURL=1\r\nNAME=1\r\nEMAIL=1\r\nHP=1\r\nKEY=1\r\n"
              "USER=1\r\nPASS=1\r\nPARAM1=1\r\nPARAM2=1\r\n_URL=掲示板のアドレス(URL)(&A):\r\n"
              "_UPURL=書き込み先アドレス(URL):\r\n_NAME=名前:\r\n_EMAIL=e-mailアドレス:\r\n"
              "_HP=ホームページ:\r\n_KEY=削除キー(&K):\r\n_USER=ユーザ名\r\n_PASS=パスワード\r\n"
              "_PARAM1=パラメータ\r\n_PARAM2=未読ポインタ\r\n");
    // Any argument starting with "i" is dialog mode; running it again
    // replaces the entries, it does not add lines.
    std::string before = b.Ini();
    EXPECT_EQ(RunPlugin(ZvtExe(), b.Path(), "index.html").code, 1u);
    EXPECT_EQ(b.Ini(), before);
}

TEST(ZvtE2E, ProgramPathWithBlanksStillFindsItsArgument)
{
    // The host passes an executable's path unquoted (with the path also as
    // the application name); the argument must still be found.
    Folder place;
    std::string dir = place.File("Program Files");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    std::string exe = dir + "\\zv_ZVT.exe";
    ASSERT_TRUE(CopyFileA(ZvtExe().c_str(), exe.c_str(), FALSE));
    Board b;
    b.Settings("URL=u\r\n");
    RunResult r = RunPlugin(exe, b.Path(), nullptr, exe + " \"i\"");
    EXPECT_EQ(r.code, 1u);
    EXPECT_EQ(b.Get("DIALOG", "_PARAM2"), "未読ポインタ");
}

TEST(OrbiloomE2E, FetchWritesOneFilePerCategoryAndAppendsItsLog)
{
    const std::string path = "/e2e/orb/basic.cgi";
    Board b;
    b.Settings("LIB=Orbiloom\r\nURL=" + SimUrl(path) + "\r\nPARAM1=\r\nPARAM2=\r\n");
    std::string raw = HttpGet(SimUrl(path) + "?point=-100");
    size_t before = SimRequests(path).size();
    RunResult r = RunPlugin(OrbExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, FetchLines(raw.size()));
    EXPECT_EQ(b.Read("雑談.zv$"),
              "#T:雑談 テスト板\n" + kOrbP + kOrbF +
                  "S:1230,*,04/05/06,21:07\nT:はじめまして\nN:山田\nM:本文1\n二行目\n.\n"
                  "S:1232,*,04/05/07,09:00\nT:また雑談\nN:田中\nM:雑談の続き\n.\n");
    EXPECT_EQ(b.Read("質問.zv$"),
              kOrbP + kOrbF + "S:1231,1230,04/05/06,21:10\nT:Re: はじめまして\nN:鈴木\nM:答えです\n.\n");
    EXPECT_EQ(b.Read("log.html"), kOrbSep + raw);
    EXPECT_EQ(b.Basic("PARAM2"), "1232");
    EXPECT_EQ(b.Basic("ERROR"), "正常終了");

    // The next patrol asks from the serial number; the log grows.
    r = RunPlugin(OrbExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, 0u);
    std::vector<Request> reqs = NewRequests(path, before);
    ASSERT_EQ(reqs.size(), 2u);
    EXPECT_EQ(reqs[0].target, path + "?point=-100");
    EXPECT_EQ(reqs[0].referer, SimUrl(path));
    EXPECT_EQ(reqs[1].target, path + "?point=1232");
    std::string log = b.Read("log.html");
    EXPECT_EQ(log.substr(0, kOrbSep.size() + raw.size()), kOrbSep + raw);
    EXPECT_NE(log.find(kOrbSep, kOrbSep.size()), std::string::npos);
}

TEST(OrbiloomE2E, ArticleCountAsksForTheLastFew)
{
    const std::string path = "/e2e/orb/basic.cgi";
    Board b;
    b.Settings("URL=" + SimUrl(path) + "\r\nPARAM1=1\r\n");
    size_t before = SimRequests(path).size();
    EXPECT_EQ(RunPlugin(OrbExe(), b.Path(), nullptr).code, 0u);
    std::vector<Request> reqs = NewRequests(path, before);
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].target, path + "?point=-1");
    EXPECT_FALSE(b.Has("質問.zv$"));
    EXPECT_NE(b.Read("雑談.zv$").find("S:1232,"), std::string::npos);
}

TEST(OrbiloomE2E, UnsafeCategoryNamesNeverLeaveTheBoardFolder)
{
    Folder outer;
    std::string folder = outer.File("board");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes(folder + "\\zeva_BBS.ini", "[BASIC]\r\nURL=" + SimUrl("/e2e/orb/unsafe.cgi") + "\r\n"));
    RunResult r = RunPlugin(OrbExe(), folder, nullptr);
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(ListFolder(outer.Path()), std::vector<std::string>{"board"});
    std::vector<std::string> names = ListFolder(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"...zv$", ".._up.zv$", "_CON.zv$", "a_b.zv$", "log.html",
                                               "x_y_z.zv$", "zeva_BBS.ini"}));
    EXPECT_EQ(ReadFileBytes(folder + "\\.._up.zv$"), kOrbP + kOrbF + "S:1,*,04/01/02,12:00\nT:t\nN:n\nM:m\n.\n");
}

TEST(OrbiloomE2E, FailureKeepsThePointerAndDialogWritesEntries)
{
    Board b;
    b.Settings("URL=http://127.0.0.1:" + std::to_string(EnvInt("ZEVA_SIM_DEADPORT")) + "/rnall.cgi\r\nPARAM2=55\r\n");
    RunResult r = RunPlugin(OrbExe(), b.Path(), nullptr);
    EXPECT_EQ(r.code, kFailed);
    EXPECT_EQ(r.out, std::string(kFetchOk) + "HTTPサーバへの要求に失敗\r\n");
    EXPECT_EQ(b.Basic("ERROR"), "HTTPサーバへの要求に失敗");
    EXPECT_EQ(b.Basic("PARAM2"), "55");

    r = RunPlugin(OrbExe(), b.Path(), "i");
    EXPECT_EQ(r.code, 1u);
    EXPECT_EQ(r.out, "");
    const char* expected[][2] = {
        {"URL", "1"}, {"UPURL", "0"}, {"NAME", "1"}, {"EMAIL", "0"}, {"HP", "0"}, {"KEY", "1"},
        {"USER", "1"}, {"PASS", "1"}, {"PARAM1", "1"}, {"PARAM2", "1"},
        {"_URL", "rnall.cgi のアドレス(URL)(&A):"}, {"_UPURL", ""}, {"_NAME", "名前(「1:なまえ」の形式で):"},
        {"_EMAIL", ""}, {"_KEY", "管理者パスワード(&K):"}, {"_USER", "ユーザ名"}, {"_PASS", "パスワード"},
        {"_PARAM1", "読み込む記事数(&P)"}, {"_PARAM2", "次回読み出し記事(&L)"},
    };
    for (const auto& e : expected)
        EXPECT_EQ(b.Get("DIALOG", e[0]), e[1]) << e[0];
    EXPECT_EQ(b.Basic("PARAM2"), "55");
}

TEST(StillmarkE2E, RewritesTheSettingsFile)
{
    Board b;
    ASSERT_TRUE(WriteFileBytes(b.File("zeva_BBS.ini"), "[BASIC]\r\nLIB=Stillmark\r\nURL=http://x/\r\n\r\n"));
    RunResult r = RunPlugin(StillExe(), b.Path(), "index");
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(b.Ini(), "[BASIC]\r\nLIB=Stillmark\r\nURL=http://x/\r\n");
    r = RunPlugin(StillExe(), b.Path(), "i");
    EXPECT_EQ(r.code, 0u);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(b.Ini(), "[DIALOG]\r\nURL=1\r\n_URL=ブラウザで開くアドレス(URL)(&A)：\r\n"
                       "[BASIC]\r\nLIB=Stillmark\r\nURL=http://x/\r\n");
    EXPECT_EQ(RunPlugin(StillExe(), b.Path(), nullptr).code, 0u);
    EXPECT_EQ(b.Get("DIALOG", "_URL"), "ブラウザで開くアドレス(URL)(&A)：");
}

namespace {
std::string VersionValue(const std::string& exe, const char* name)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    if (!size)
        return "<no block>";
    std::vector<char> block(size);
    if (!GetFileVersionInfoA(exe.c_str(), 0, size, block.data()))
        return "<unreadable>";
    void* value = nullptr;
    UINT len = 0;
    std::string key = std::string("\\StringFileInfo\\041104b0\\") + name;
    if (!VerQueryValueA(block.data(), key.c_str(), &value, &len) || !value)
        return "<missing>";
    return (const char*)value;
}
}

TEST(PluginVersion, BlocksDescribeThePlugins)
{
    EXPECT_EQ(VersionValue(ZvtExe(), "FileDescription"), "ZEVA - ZVTプラグイン (ZVT0.13対応)");
    EXPECT_EQ(VersionValue(ZvtExe(), "FILEVERSION"), "1.05");
    EXPECT_EQ(VersionValue(ZvtExe(), "ProductVersion"), "1.05");
    EXPECT_EQ(VersionValue(ZvtExe(), "InternalName"), "ZVT対応掲示板、Quillbook");
    EXPECT_EQ(VersionValue(ZvtExe(), "OriginalFilename"), "zv_ZVT.exe");
    EXPECT_EQ(VersionValue(ZvtExe(), "ProductName"), "zv_ZVT");
    EXPECT_EQ(VersionValue(OrbExe(), "FileDescription"), "ZEVA - Orbiloomプラグイン");
    EXPECT_EQ(VersionValue(OrbExe(), "FileVersion"), "1.05");
    EXPECT_EQ(VersionValue(OrbExe(), "InternalName"), "Orbiloom");
    EXPECT_EQ(VersionValue(OrbExe(), "OriginalFilename"), "zv_Orbiloom.exe");
    EXPECT_EQ(VersionValue(OrbExe(), "ProductName"), "zv_Orbiloom");
    EXPECT_EQ(VersionValue(StillExe(), "FileDescription"), "<no block>");
}
