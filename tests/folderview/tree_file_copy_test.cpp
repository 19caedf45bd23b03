// TreeFileCopy on a real temporary tree: copy, move and delete of folders and
// files, the overwrite question's answers, and failures part-way that must
// leave every source file not yet copied where it was.
#include "folderview/fv_testutil.h"

#include "base/debug.h"
#include "ui/folderview/TreeFileCopy.h"

#include <gtest/gtest.h>

namespace {

class CScriptUi : public CTreeCopyUi {
public:
    std::vector<std::string> errors, questions;
    std::vector<Answer> answers;
    void Error(const char* text) override { errors.push_back(text); }
    Answer AskOverwrite(const char* text) override
    {
        questions.push_back(text);
        if (answers.empty())
            return CANCEL;
        Answer a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
};

// Fails the k-th file copy (1-based), as a full disk or a read-only target would.
class CFailingFs : public CTreeCopyFs {
public:
    int failAt = 0, copies = 0;
    CopyResult CopyOne(const char* from, const char* to, bool overwrite) override
    {
        if (++copies == failAt)
            return FAILED;
        return CTreeCopyFs::CopyOne(from, to, overwrite);
    }
};

class TreeCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir.Put("src/B/a.zvt", "A");
        dir.Put("src/B/zeva_BBS.ini", "I");
        dir.Put("src/B/sub/c.zvt", "C");
        dir.MakeFolder("dst");
    }
    int Run(int mode, const std::string& src, const std::string& dst, CTreeCopyFs* fs = nullptr)
    {
        return TreeFileCopy(&ui, mode, dir.At(src).c_str(), dir.At(dst).c_str(), fs, &count);
    }
    fvtest::TempDir dir;
    CScriptUi ui;
    int count = 0;
};

TEST_F(TreeCopy, CopiesMovesAndDeletesWholeTrees)
{
    Debug_BeginCapture();
    EXPECT_EQ(Run(TFC_COPY, "src/B", "dst"), 1);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(dir.Read("dst/B/sub/c.zvt"), "C");
    EXPECT_EQ(dir.Read("src/B/a.zvt"), "A");
    EXPECT_NE(Debug_Take().find("5 個のファイル又はフォルダをコピーしました"), std::string::npos);

    EXPECT_EQ(Run(TFC_MOVE, "src/B/sub", "dst"), 1);
    EXPECT_EQ(dir.Read("dst/sub/c.zvt"), "C");
    EXPECT_FALSE(File_Exists(dir.At("src/B/sub").c_str()));
    EXPECT_NE(Debug_Take().find("2 個のファイル又はフォルダを移動しました"), std::string::npos);

    // A trailing separator deletes that folder and nothing beside it.
    EXPECT_EQ(TreeFileCopy(&ui, TFC_DELETE, (dir.At("dst/B") + "/").c_str(), "", nullptr, &count), 1);
    EXPECT_FALSE(File_Exists(dir.At("dst/B").c_str()));
    EXPECT_EQ(dir.Read("dst/sub/c.zvt"), "C");
    EXPECT_NE(Debug_Take().find("5 個のファイル又はフォルダを削除しました"), std::string::npos);
    Debug_EndCapture();
    EXPECT_TRUE(ui.errors.empty());
}

TEST_F(TreeCopy, OverwriteQuestionAnswers)
{
    struct Case {
        CTreeCopyUi::Answer answer;
        int result;
        const char* target;   // dst/B/a.zvt afterwards
        const char* source;   // src/B/a.zvt afterwards (a move)
    } cases[] = {
        {CTreeCopyUi::YES, 1, "A", "<none>"},
        {CTreeCopyUi::NO, 1, "old", "A"},   // skipped: the source stays
        {CTreeCopyUi::CANCEL, 0, "old", "A"},
    };
    for (const Case& c : cases) {
        dir.Put("src/B/a.zvt", "A");
        dir.Put("dst/B/a.zvt", "old");
        ui = CScriptUi();
        ui.answers = {c.answer};
        // The folder exists in the target: its creation fails first.
        EXPECT_EQ(Run(TFC_MOVE, "src/B/a.zvt", "dst/B"), c.result) << c.answer;
        ASSERT_EQ(ui.questions.size(), 1u);
        EXPECT_EQ(ui.questions[0], dir.At("dst/B/a.zvt") + "\nはすでに存在します\n上書きしますか？");
        EXPECT_EQ(dir.Read("dst/B/a.zvt"), c.target);
        EXPECT_EQ(dir.Read("src/B/a.zvt"), c.source);
    }
    ui = CScriptUi();
    EXPECT_EQ(Run(TFC_COPY, "src/B", "dst"), 0);
    EXPECT_EQ(ui.errors, std::vector<std::string>{dir.At("dst/B") + "\nディレクトリが作成できません"});
    ui = CScriptUi();
    EXPECT_EQ(Run(TFC_COPY, "src/B/a.zvt", "src/B"), 0);
    EXPECT_EQ(ui.errors, (std::vector<std::string>{"コピー元とコピー先が同じなのでコピーできません",
                                                   dir.At("src/B/a.zvt") + "\n-> " + dir.At("src/B/a.zvt") +
                                                       "\nコピーができません"}));
}

TEST_F(TreeCopy, AMoveThatFailsPartWayLosesNoFile)
{
    for (int failAt = 1; failAt <= 3; ++failAt) {
        fvtest::TempDir d2;
        d2.Put("src/B/a.zvt", "A");
        d2.Put("src/B/zeva_BBS.ini", "I");
        d2.Put("src/B/sub/c.zvt", "C");
        d2.MakeFolder("dst");
        CFailingFs fs;
        fs.failAt = failAt;
        ui = CScriptUi();
        EXPECT_EQ(TreeFileCopy(&ui, TFC_MOVE, d2.At("src/B").c_str(), d2.At("dst").c_str(), &fs), 0);
        ASSERT_EQ(ui.errors.size(), 1u);
        EXPECT_NE(ui.errors[0].find("\nコピーができません"), std::string::npos);
        // Every file is in the source or in the target, whole.
        for (const char* rel : {"B/a.zvt", "B/zeva_BBS.ini", "B/sub/c.zvt"}) {
            std::string s = d2.Read(std::string("src/") + rel), t = d2.Read(std::string("dst/") + rel);
            EXPECT_TRUE(s != "<none>" || t != "<none>") << failAt << rel;
        }
    }
}

}  // namespace
