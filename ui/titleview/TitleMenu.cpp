#include "ui/titleview/TitleMenu.h"

#include "res/resource.h"

int TitleMenu_Allowed(int id, const TitleMenuFacts& f)
{
    switch (id) {
    case ID_DELETE_ARTICLE:
    case ID_ARTICLE_PROPERTIES:
        return f.hasArticle;
    case ID_HOLD:
    case ID_SEND_NEXT:
    case ID_EDIT:
        return f.hasArticle && f.unsent;
    case ID_MARK_UNREAD:
    case ID_MARK_READ:
        return f.hasArticle && !f.unsent;
    case ID_COPY_HOMEPAGE:
    case ID_OPEN_HOMEPAGE:
        return f.hasArticle && f.hasHp;
    case ID_COPY_EMAIL:
    case ID_MAIL_AUTHOR:
        return f.hasArticle && f.hasEmail;
    case ID_NEW_ARTICLE:
    case ID_REPLY:
        return f.hasArticle && f.postTemplate && !f.unsent;
    }
    return 1;
}

int TitleMenu_Answered(int id)
{
    switch (id) {
    case ID_NEXT_ARTICLE:
    case ID_PREV_ARTICLE:
    case ID_READ_ON:
    case ID_SCROLL_BACK:
    case ID_SORT_TREE:
    case ID_SORT_NUMBER:
    case ID_SORT_TITLE:
    case ID_SORT_AUTHOR:
    case ID_SORT_DATE:
    case ID_VIEWFLAG_TITLE:
    case ID_VIEWFLAG_NUMBER:
    case ID_VIEWFLAG_PARENT:
    case ID_VIEWFLAG_PREVIEW:
    case ID_VIEWFLAG_STATE:
    case ID_VIEWFLAG_ICON:
    case ID_BACK:
    case ID_FORWARD:
    case ID_GO_PARENT:
    case ID_SHOW_WITH_PARENT:
    case ID_MARK_UNREAD:
    case ID_MARK_READ:
    case ID_HOLD:
    case ID_SEND_NEXT:
    case ID_PATROL_MARK:
    case ID_PATROL_UNMARK:
    case ID_COPY:
    case ID_SELECT_ALL:
    case ID_COPY_HOMEPAGE:
    case ID_COPY_EMAIL:
    case ID_OPEN_HOMEPAGE:
    case ID_MAIL_AUTHOR:
    case ID_DELETE_ARTICLE:
    case ID_ARTICLE_PROPERTIES:
    case ID_NEW_ARTICLE:
    case ID_REPLY:
    case ID_EDIT:
        return 1;
    }
    // The colour labels.
    return id >= ID_LABEL_NONE && id <= ID_LABEL_LAST;
}

int TitleMenu_Checked(int id, int tree, int clmsort, int viewflag)
{
    switch (id) {
    case ID_SORT_TREE: return tree ? 1 : 0;
    case ID_SORT_NUMBER:
    case ID_SORT_TITLE:
    case ID_SORT_AUTHOR:
    case ID_SORT_DATE: return !tree && clmsort == id - ID_SORT_NUMBER;
    case ID_VIEWFLAG_TITLE: return (viewflag & 8) != 0;
    case ID_VIEWFLAG_NUMBER: return (viewflag & 2) != 0;
    case ID_VIEWFLAG_PARENT: return (viewflag & 4) != 0;
    case ID_VIEWFLAG_PREVIEW: return (viewflag & 0x10) != 0;
    case ID_VIEWFLAG_STATE: return (viewflag & 0x40) != 0;
    case ID_VIEWFLAG_ICON: return (viewflag & 0x20) != 0;
    }
    return -1;
}
