// Shared plug-in pieces: newline normalisation, address splitting, the
// command-line argument and mode, safe file names, the record writer.
#include "plugins/common/PluginApp.h"
#include "plugins/common/PluginRecord.h"
#include "plugins/common/PluginText.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string Norm(std::string s)
{
    s.push_back('\0');
    size_t n = Plugin_Normalize(&s[0], s.size() - 1);
    EXPECT_EQ(s[n], '\0');
    return s.substr(0, n);
}

struct Url {
    std::string host, path;
    int port;
};

Url Split(const char* url)
{
    char host[260], path[260];
    Url u;
    Plugin_SplitUrl(url, host, sizeof host, &u.port, path, sizeof path);
    u.host = host;
    u.path = path;
    return u;
}
}

TEST(PluginNormalize, LineEndsBecomeSingleLineFeeds)
{
    EXPECT_EQ(Norm("a\r\nb"), "a\nb");
    EXPECT_EQ(Norm("a\rb"), "a\nb");
    EXPECT_EQ(Norm("a\n\rb"), "a\nb");
    EXPECT_EQ(Norm("a\n\r\nb"), "a\n\nb");   // LF CR, then LF
    EXPECT_EQ(Norm("a\r\n\r\n"), "a\n\n");
    EXPECT_EQ(Norm("\r\r"), "\n\n");
    EXPECT_EQ(Norm(""), "");
    EXPECT_EQ(Norm("plain"), "plain");
}

TEST(PluginNormalize, SecondByteOfDoubleByteCharacterIsNeverTouched)
{
    EXPECT_EQ(Norm("\x83\r\r\n"), "\x83\r\n");
    EXPECT_EQ(Norm("\x83\n\r"), "\x83\n\n");
    EXPECT_EQ(Norm("\xE0\r\xFC\n"), "\xE0\r\xFC\n");
    EXPECT_EQ(Norm("x\x83"), "x\x83");   // a lead byte at the end stays alone
    // Half-width katakana (0xA1-0xDF) is single-byte.
    EXPECT_EQ(Norm("\xB1\r\n"), "\xB1\n");
}

TEST(PluginUrl, SchemePortAndPath)
{
    Url u = Split("http://example.jp:8080/cgi/board.cgi");
    EXPECT_EQ(u.host, "example.jp");
    EXPECT_EQ(u.port, 8080);
    EXPECT_EQ(u.path, "cgi/board.cgi");

    u = Split("example.jp:8080/cgi/board.cgi");
    EXPECT_EQ(u.host, "example.jp");
    EXPECT_EQ(u.port, 8080);
    EXPECT_EQ(u.path, "cgi/board.cgi");

    u = Split("http://example.jp/a/b.cgi");
    EXPECT_EQ(u.port, 80);
    EXPECT_EQ(u.path, "a/b.cgi");

    u = Split("http://example.jp");
    EXPECT_EQ(u.host, "example.jp");
    EXPECT_EQ(u.path, "");

    // Only the lower-case scheme is dropped.
    u = Split("HTTP://example.jp/x");
    EXPECT_EQ(u.host, "HTTP");
    EXPECT_EQ(u.port, 0);
    EXPECT_EQ(u.path, "/example.jp/x");

    // Whatever follows the port number up to the slash is skipped.
    u = Split("h:81junk/p");
    EXPECT_EQ(u.port, 81);
    EXPECT_EQ(u.path, "p");
}

TEST(PluginUrl, LongAddressIsCutNotOverflowed)
{
    std::string url = "http://" + std::string(500, 'h') + ":99999999999/" + std::string(500, 'p');
    char host[16], path[16];
    int port = 0;
    Plugin_SplitUrl(url.c_str(), host, sizeof host, &port, path, sizeof path);
    EXPECT_EQ(std::string(host), std::string(15, 'h'));
    EXPECT_EQ(std::string(path), std::string(15, 'p'));
}

TEST(PluginArgs, QuotesAndProgramPath)
{
    EXPECT_EQ(Plugin_ArgFromCommandLine("C:\\p\\zv_ZVT.exe", "C:\\p\\zv_ZVT.exe"), "");
    EXPECT_EQ(Plugin_ArgFromCommandLine("C:\\p\\zv_ZVT.exe \"i\"", "C:\\p\\zv_ZVT.exe"), "i");
    // The host passes an executable's path unquoted, blanks and all.
    EXPECT_EQ(Plugin_ArgFromCommandLine("C:\\Program Files\\z\\zv_ZVT.exe \"C:\\My Pages\\a.html\"",
                                        "C:\\Program Files\\z\\zv_ZVT.exe"),
              "C:\\My Pages\\a.html");
    EXPECT_EQ(Plugin_ArgFromCommandLine("\"C:\\a b\\zv.exe\"  \"x y\"rest", "C:\\a b\\zv.exe"), "x y");
    EXPECT_EQ(Plugin_ArgFromCommandLine("zv.exe plain more", "C:\\zv.exe"), "plain");
    EXPECT_EQ(Plugin_ArgFromCommandLine("zv.exe \"unclosed", "C:\\zv.exe"), "unclosed");
    EXPECT_EQ(Plugin_ArgFromCommandLine("zv.exe \"\"", "C:\\zv.exe"), "");
}

TEST(PluginArgs, FirstCharacterDecidesTheMode)
{
    EXPECT_EQ(Plugin_ModeOf(""), kModeFetch);
    EXPECT_EQ(Plugin_ModeOf(nullptr), kModeFetch);
    EXPECT_EQ(Plugin_ModeOf("i"), kModeDialog);
    EXPECT_EQ(Plugin_ModeOf("index.html"), kModeDialog);
    EXPECT_EQ(Plugin_ModeOf("I"), kModeFile);
    EXPECT_EQ(Plugin_ModeOf("C:\\saved.html"), kModeFile);
}

TEST(PluginSafeName, NothingLeavesTheFolder)
{
    char out[260];
    Plugin_SafeFileName("../../evil", out, sizeof out);
    EXPECT_STREQ(out, ".._.._evil");
    Plugin_SafeFileName("a\\b/c:d*e?f\"g<h>i|j", out, sizeof out);
    EXPECT_STREQ(out, "a_b_c_d_e_f_g_h_i_j");
    Plugin_SafeFileName("tab\there\n", out, sizeof out);
    EXPECT_STREQ(out, "tab_here_");
    Plugin_SafeFileName("CON", out, sizeof out);
    EXPECT_STREQ(out, "_CON");
    Plugin_SafeFileName("lpt1", out, sizeof out);
    EXPECT_STREQ(out, "_lpt1");
    Plugin_SafeFileName("nul ", out, sizeof out);
    EXPECT_STREQ(out, "_nul ");
    Plugin_SafeFileName("CONSOLE", out, sizeof out);
    EXPECT_STREQ(out, "CONSOLE");
    // "ソ" ends in 0x5C, the backslash byte; it is a character, not a separator.
    Plugin_SafeFileName("\x83\x5C\x83\x74\x83\x67", out, sizeof out);
    EXPECT_STREQ(out, "\x83\x5C\x83\x74\x83\x67");
    Plugin_SafeFileName("\x92\x47\x92\x6B", out, sizeof out);   // 雑談
    EXPECT_STREQ(out, "\x92\x47\x92\x6B");
    // A cut never splits a character.
    char small[4];
    Plugin_SafeFileName("a\x83\x5C", small, sizeof small);
    EXPECT_STREQ(small, "a\x83\x5C");
    Plugin_SafeFileName("ab\x83\x5C", small, sizeof small);
    EXPECT_STREQ(small, "ab");
}

TEST(PluginRecord, WritesTheRecordLines)
{
    std::string out;
    PluginRecord r;
    r.number = 12;
    r.parent = -1;
    r.date = "04/05/06";
    r.time = "21:07";
    r.title = "t";
    r.name = "n";
    r.message = "a\nb";
    Record_Append(out, r);
    EXPECT_EQ(out, "S:12,*,04/05/06,21:07\nT:t\nN:n\nM:a\nb\n.\n");

    out.clear();
    r.number = -1;
    r.parent = 3;
    r.postTemplate = "POST,x";
    r.followTemplate = "POST,y";
    r.message = "";
    Record_Append(out, r);
    EXPECT_EQ(out, "S:*,3,04/05/06,21:07\nT:t\nN:n\nP:POST,x\nF:POST,y\nM:\n.\n");

    // A line of a single "." in a board's text must not end the message.
    out.clear();
    r.message = "a\n.\nb\n.";
    Record_Append(out, r);
    EXPECT_EQ(out, "S:*,3,04/05/06,21:07\nT:t\nN:n\nP:POST,x\nF:POST,y\nM:a\n. \nb\n. \n.\n");
}
