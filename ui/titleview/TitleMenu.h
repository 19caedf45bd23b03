// Menu state of the title view's commands: which entries the current
// article allows, which of them this build answers, and the checks of the
// display entries.
#pragma once

struct TitleMenuFacts {
    int hasArticle;   // a current article
    int unsent;       // it carries U
    int hasHp, hasEmail;
    int postTemplate;   // its effective posting template is not empty
};

// 1 when the current article allows the command (commands the rules do
// not name are allowed).
int TitleMenu_Allowed(int id, const TitleMenuFacts& f);
// 1 for the commands the title view answers now; the others stand greyed.
int TitleMenu_Answered(int id);
// Check marks: the tree entry in tree display, the current key's entry in
// flat display, the display switches by their VIEWFLAG bit. -1 for ids
// that carry no check.
int TitleMenu_Checked(int id, int tree, int clmsort, int viewflag);
