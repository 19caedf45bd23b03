// Menu state of the title view's commands.
#include "res/resource.h"
#include "ui/titleview/TitleMenu.h"

#include <gtest/gtest.h>

namespace {

TEST(TitleMenu, EntriesFollowTheCurrentArticle)
{
    const TitleMenuFacts none = {0, 0, 0, 0, 0}, read = {1, 0, 1, 0, 1}, unsent = {1, 1, 0, 1, 1},
                         noTemplate = {1, 0, 0, 0, 0};
    struct Case {
        int id;
        int none, read, unsent, noTemplate;
    } cases[] = {
        {ID_DELETE_ARTICLE, 0, 1, 1, 1}, {ID_ARTICLE_PROPERTIES, 0, 1, 1, 1}, {ID_EDIT, 0, 0, 1, 0},
        {ID_HOLD, 0, 0, 1, 0},           {ID_SEND_NEXT, 0, 0, 1, 0},          {ID_MARK_READ, 0, 1, 0, 1},
        {ID_MARK_UNREAD, 0, 1, 0, 1},    {ID_COPY_HOMEPAGE, 0, 1, 0, 0},      {ID_OPEN_HOMEPAGE, 0, 1, 0, 0},
        {ID_COPY_EMAIL, 0, 0, 1, 0},     {ID_MAIL_AUTHOR, 0, 0, 1, 0},        {ID_NEW_ARTICLE, 0, 1, 0, 0},
        {ID_REPLY, 0, 1, 0, 0},          {ID_SORT_DATE, 1, 1, 1, 1},          {ID_READ_ON, 1, 1, 1, 1},
        {ID_SCROLL_BACK, 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TitleMenu_Allowed(c.id, none), c.none) << c.id;
        EXPECT_EQ(TitleMenu_Allowed(c.id, read), c.read) << c.id;
        EXPECT_EQ(TitleMenu_Allowed(c.id, unsent), c.unsent) << c.id;
        EXPECT_EQ(TitleMenu_Allowed(c.id, noTemplate), c.noTemplate) << c.id;
    }
}

TEST(TitleMenu, ChecksOfTreeSortsAndDisplayBits)
{
    struct Case {
        int id, tree, clmsort, viewflag, checked;
    } cases[] = {
        {ID_SORT_TREE, 1, 3, 66, 1},   {ID_SORT_TREE, 0, 3, 66, 0},       {ID_SORT_DATE, 1, 3, 66, 0},
        {ID_SORT_DATE, 0, 3, 66, 1},   {ID_SORT_TITLE, 0, 3, 66, 0},      {ID_VIEWFLAG_NUMBER, 0, 0, 66, 1},
        {ID_VIEWFLAG_STATE, 0, 0, 66, 1}, {ID_VIEWFLAG_PREVIEW, 0, 0, 66, 0}, {ID_VIEWFLAG_TITLE, 0, 0, 8, 1},
        {ID_DELETE_ARTICLE, 0, 0, 66, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TitleMenu_Checked(c.id, c.tree, c.clmsort, c.viewflag), c.checked) << c.id;
}

TEST(TitleMenu, EveryRowCommandIsAnsweredButTheSearches)
{
    for (int id : {ID_SORT_TREE, ID_NEXT_ARTICLE, ID_READ_ON, ID_SCROLL_BACK, ID_DELETE_ARTICLE, ID_BACK, ID_FORWARD,
                   ID_GO_PARENT, ID_SHOW_WITH_PARENT, ID_MARK_UNREAD, ID_PATROL_UNMARK, ID_COPY, ID_SELECT_ALL,
                   ID_MAIL_AUTHOR, ID_REPLY, ID_EDIT, ID_ARTICLE_PROPERTIES, ID_LABEL_NONE, ID_LABEL_LAST})
        EXPECT_TRUE(TitleMenu_Answered(id)) << id;
    for (int id : {ID_SEARCH_DOWN, ID_UNREAD_UP, ID_READ_ON_UNREAD, ID_SEARCH, ID_LABEL_LAST + 1})
        EXPECT_FALSE(TitleMenu_Answered(id)) << id;
}

}  // namespace
