// Work files of the composer: what the editor is given, and how the edited
// file becomes an article.
#include "patrol/Composer.h"

#include "store/Subj.h"
#include "store/subj_testutil.h"

#include <gtest/gtest.h>

#include <string.h>

using subjtest::ReadBytes;
using subjtest::TempDir;
using subjtest::WriteBytes;

namespace {

TEST(ComposerWorkFile, ReplyQuotesFromFirstNonEmptyLine)
{
    std::string sig = "-- \r\n署名\r\n";
    WorkFileText w;
    w.reply = 1;
    w.title = "RE: テスト";
    w.author = "太郎";
    w.text = "\n\n本文一行目\n\n  二行目\n";
    w.quoteMark = "> ";
    w.signature = &sig;
    EXPECT_EQ(Composer_FormatWorkFile(w),
              "RE: テスト\r\n"
              "> タイトル: RE: テスト\r\n"
              "> 発言者: 太郎\r\n"
              "> 本文一行目\r\n"
              "> \r\n"
              ">   二行目\r\n"
              "\r\n-- \r\n署名\r\n"
              "\r\n");

    // No author: no speaker line; a last line without LF still ends with CR LF.
    w.author = "";
    w.text = "a\nb";
    w.signature = nullptr;
    EXPECT_EQ(Composer_FormatWorkFile(w), "RE: テスト\r\n> タイトル: RE: テスト\r\n> a\r\n> b\r\n\r\n");

    // A reply to an article with no text at all still gets its header.
    w.text = nullptr;
    EXPECT_EQ(Composer_FormatWorkFile(w), "RE: テスト\r\n> タイトル: RE: テスト\r\n\r\n");
}

TEST(ComposerWorkFile, NewArticleAndEdit)
{
    std::string sig = "sig";
    WorkFileText w;
    w.signature = &sig;
    // A new article has no title line: the first line stays empty.
    EXPECT_EQ(Composer_FormatWorkFile(w), "\r\nsig\r\n");
    w.signature = nullptr;
    EXPECT_EQ(Composer_FormatWorkFile(w), "\r\n");

    // An edit keeps the text as it is (empty lines too) and never signs.
    w.edit = 1;
    w.signature = &sig;
    w.title = "題";
    w.text = "\nソース\n表示\n";   // trail bytes 0x5C and 0x5C/0x95
    EXPECT_EQ(Composer_FormatWorkFile(w), "題\r\n\r\nソース\r\n表示\r\n\r\n");
}

TEST(ComposerWorkFile, TitleTrimAndCommandLine)
{
    char out[300];
    Composer_TrimTitle("RE: 題 \t \t", out, sizeof out);
    EXPECT_STREQ(out, "RE: 題");
    Composer_TrimTitle(nullptr, out, sizeof out);
    EXPECT_STREQ(out, "");
    // Ending in a double-byte character whose trail byte is not a blank.
    Composer_TrimTitle("ソ", out, sizeof out);
    EXPECT_STREQ(out, "ソ");

    char cmd[1100];
    Composer_CommandLine("C:\\Program Files\\ed.exe", "", "C:\\z\\data\\作業ファイル000.txt", cmd, sizeof cmd);
    EXPECT_STREQ(cmd, "\"C:\\Program Files\\ed.exe\" \"C:\\z\\data\\作業ファイル000.txt\"");
    Composer_CommandLine("notepad", "/a -b", "w.txt", cmd, sizeof cmd);
    EXPECT_STREQ(cmd, "\"notepad\" /a -b \"w.txt\"");
    // A long option is cut, never overflowing.
    std::string opt(2000, 'o');
    Composer_CommandLine("e", opt.c_str(), "w", cmd, 64);
    EXPECT_EQ(strlen(cmd), 63u);
}

TEST(ComposerWorkFile, NormalizeLineEndsAndTrailingBlankLines)
{
    auto norm = [](const std::string& s) { return Composer_NormalizeText(s.data(), s.size()); };
    EXPECT_EQ(norm("a\r\nb\rc\n\rd"), "a\nb\nc\nd\n");
    EXPECT_EQ(norm("a\n\r\nb"), "a\n\nb\n");
    EXPECT_EQ(norm("x\r\n\r\n \t\r\n\t\r\n"), "x\n");
    EXPECT_EQ(norm("x\n\n\ny\n\n"), "x\n\n\ny\n");
    EXPECT_EQ(norm("  x  \n"), "  x  \n");
    // An ideographic space is content; blank-only text becomes empty.
    EXPECT_EQ(norm("a\n　\n \n"), "a\n　\n");
    EXPECT_EQ(norm(" \r\n\t\r\n"), "");
    EXPECT_EQ(norm(""), "");
    // Double-byte characters pass whole; a lead byte before a line end stands alone.
    EXPECT_EQ(norm("表\r\n\x83\r\n"), "表\n\x83\n");
    // A zero byte would cut the stored text short.
    EXPECT_EQ(norm(std::string("a\0b", 3)), "a b\n");
}

TEST(ComposerWorkFile, ReadBackTitleAndText)
{
    TempDir dir;
    std::string path = dir.File("w.txt");
    std::string title, text;
    EXPECT_EQ(Composer_ReadWorkFile(dir.File("missing.txt").c_str(), title, text), 0);

    ASSERT_TRUE(WriteBytes(path, "題名\r\n本文\r\n\r\n"));
    ASSERT_EQ(Composer_ReadWorkFile(path.c_str(), title, text), 1);
    EXPECT_EQ(title, "題名");
    EXPECT_EQ(text, "本文\n");

    ASSERT_TRUE(WriteBytes(path, "only title"));
    ASSERT_EQ(Composer_ReadWorkFile(path.c_str(), title, text), 1);
    EXPECT_EQ(title, "only title");
    EXPECT_EQ(text, "");

    ASSERT_TRUE(WriteBytes(path, "t\rline\n"));
    ASSERT_EQ(Composer_ReadWorkFile(path.c_str(), title, text), 1);
    EXPECT_EQ(title, "t");
    EXPECT_EQ(text, "line\n");

    // A first line over 500 bytes: 500 bytes of title, the rest opens the text.
    ASSERT_TRUE(WriteBytes(path, std::string(510, 'x') + "\r\nbody"));
    ASSERT_EQ(Composer_ReadWorkFile(path.c_str(), title, text), 1);
    EXPECT_EQ(title, std::string(500, 'x'));
    EXPECT_EQ(text, "xxxxxxxxxx\nbody\n");

    // A double-byte character across the 500th byte is not split.
    ASSERT_TRUE(WriteBytes(path, std::string(499, 'y') + "表\r\n"));
    ASSERT_EQ(Composer_ReadWorkFile(path.c_str(), title, text), 1);
    EXPECT_EQ(title, std::string(499, 'y'));
    EXPECT_EQ(text, "表\n");
}

TEST(ComposerWorkFile, NamesCreationAndCleanUp)
{
    TempDir dir;
    std::string data = dir.Path() + "/";
    char path[300];
    Composer_WorkFilePath("C:\\z\\data\\", 7, path, sizeof path);
    EXPECT_STREQ(path, "C:\\z\\data\\作業ファイル007.txt");

    ASSERT_EQ(Composer_NewWorkFile(data.c_str(), path, sizeof path), 1);
    EXPECT_EQ(std::string(path), data + "作業ファイル000.txt");
    ASSERT_TRUE(WriteBytes(data + "作業ファイル001.txt", "in use"));
    ASSERT_EQ(Composer_NewWorkFile(data.c_str(), path, sizeof path), 1);
    EXPECT_EQ(std::string(path), data + "作業ファイル002.txt");
    EXPECT_EQ(ReadBytes(data + "作業ファイル001.txt"), "in use");   // never taken over

    ASSERT_TRUE(WriteBytes(data + "作業ファイル099.txt", "not ours"));
    EXPECT_EQ(Composer_DeleteWorkFiles(data.c_str()), 3);
    EXPECT_FALSE(File_Exists((data + "作業ファイル000.txt").c_str()));
    EXPECT_EQ(ReadBytes(data + "作業ファイル099.txt"), "not ours");

    // All 99 names taken: no work file.
    for (int n = 0; n < 99; ++n) {
        Composer_WorkFilePath(data.c_str(), n, path, sizeof path);
        ASSERT_TRUE(WriteBytes(path, ""));
    }
    EXPECT_EQ(Composer_NewWorkFile(data.c_str(), path, sizeof path), 0);
}

TEST(ComposerWorkFile, ArticleFieldsFromSlot)
{
    CSubj s;
    ComposerSlot slot;
    slot.no = (int32_t)0x80000000;   // identifier texts
    slot.pno = (int32_t)0x80000001;
    strcpy(slot.noText, "abc def");
    strcpy(slot.pnoText, "parent-id");
    strcpy(slot.tmpl, "POST,$C,t=$T");
    LocalTime now{2024, 3, 5, 14, 7, 59};
    ASSERT_EQ(Composer_AppendArticle(&s, slot, "題", "本文\n", now), 1);
    ASSERT_EQ(s.GetCount(), 1);
    const SubjItem& it = s.GetItem(0);
    EXPECT_EQ(it.atr, ATR_U);
    EXPECT_EQ(it.color, SUBJ_NO_COLOR);
    EXPECT_STREQ(s.NoStr(0), "abc def");
    EXPECT_STREQ(s.PnoStr(0), "parent-id");
    EXPECT_STREQ(s.GetTitle(0), "題");
    EXPECT_STREQ(s.GetName(0), "");
    EXPECT_STREQ(s.GetMsg(0), "本文\n");
    EXPECT_STREQ(s.GetPostStr(0), "POST,$C,t=$T");
    EXPECT_EQ(it.date, (54 << 9) + (3 << 5) + 5);
    EXPECT_EQ(it.time, 14 * 60 + 7);
    char buf[32];
    s.DateTimeStr(0, buf);
    EXPECT_STREQ(buf, "24/03/05 14:07");

    slot.no = 12;
    slot.pno = 0x7FFFFFFF;
    ASSERT_EQ(Composer_AppendArticle(&s, slot, "", "", now), 1);
    EXPECT_STREQ(s.NoStr(1), "12");
    EXPECT_STREQ(s.PnoStr(1), "*");

    // A read-only collection takes nothing.
    s.SetReadOnly(1);
    EXPECT_EQ(Composer_AppendArticle(&s, slot, "", "", now), 0);
    EXPECT_EQ(s.GetCount(), 2);
}

}  // namespace
