// One test per fault found in the posting pass.
#include "patrol/Posting.h"

#include "base/fileio.h"
#include "base/profile.h"
#include "patrol_testutil.h"

#include <gtest/gtest.h>

#include <string>

using namespace patroltest;

namespace {

class CountingPoster : public CHttpPoster {
public:
    int Post(CPluginStatusSink*, const char*, const char*, const char*, const char*, const char*) override
    {
        ++posts;
        return 1;
    }
    int posts = 0;
};

void NoSleep(unsigned) {}

// How many articles of that title the board's three files hold.
int Copies(Tree& t, const std::string& title)
{
    int n = 0;
    for (const char* f : {"b/a.zvt", "b/送信済み.zvt", "b/a.zvw"})
        for (const std::string& got : Titles(t.File(f)))
            n += got == title;
    return n;
}

// A store whose save failed after "送信済み.zvt" (or the hand-over file) took
// its posted article kept the article due: the next patrol posted it again
// and the board held it twice. Whichever write of the first pass fails, two
// passes now send one post and keep one copy of each article.
TEST(PostingRegressions, ArticleIsNeverPostedTwiceWhicheverSaveFails)
{
    for (int k = 1;; ++k) {
        Tree t;
        t.Board("b", 1);
        t.Put("b/a.zvt", Zvt("#T:board\n#P:POST,http://127.0.0.1/b.cgi,t=$T\n" + Article(1, "U", "posted") +
                             "S:2,*,04/05/06,12:00,U\nT:lib\nN:nm\nP:LIB,u,x=$T\nM:body\n.\n"));
        CountingPoster poster;
        PostingContext ctx;
        ctx.poster = &poster;
        ctx.sleep = NoSleep;
        FileFault_Set(k);
        Patrol_PostArticles(t.Folder("b").c_str(), ctx);
        bool hit = FileFault_Steps() >= k;
        FileFault_Set(0);
        Patrol_PostArticles(t.Folder("b").c_str(), ctx);
        EXPECT_EQ(poster.posts, 1) << "write step " << k;
        EXPECT_EQ(Copies(t, "posted"), 1) << "write step " << k;
        EXPECT_EQ(Copies(t, "lib"), 1) << "write step " << k;
        if (!hit)
            break;
    }
}

// "ERROR:" was looked for byte by byte, so "ウ" (83 45) followed by "RROR:"
// failed a good post.
TEST(PostingRegressions, SecondByteOfADoubleByteCharacterNeverStartsAnErrorComment)
{
    const struct {
        const char* response;
        int ok;
    } cases[] = {
        {"<html><!-- ウRROR: none --></html>", 1},
        {"<!-- ーERROR:bad -->", 0},   // "ー" (81 5B) is a whole character before it
        {"<!-- ウERROR:bad -->", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Post_JudgeResponse(c.response, strlen(c.response), nullptr, NoSleep), c.ok) << c.response;
}

}  // namespace
