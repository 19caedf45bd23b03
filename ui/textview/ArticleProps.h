// The article properties dialog (resource 151, "記事プロパティ") as a form:
// ArticleProps_Read fills the form from an article, the dialog edits it,
// ArticleProps_Apply stores what OK stores. Portable except the dialog
// itself (ArticleProps_win.cpp).
#pragma once
#include <stddef.h>
#include <stdint.h>

class CSubj;

enum { ARTICLE_TEMPLATE_MAX = 254 };   // bytes of each of the two templates

struct ArticleProps {
    // Shown; the number and parent can be edited only when noEditable /
    // pnoEditable (a number, not an identifier).
    char no[260];
    char pno[260];
    int noEditable;
    int pnoEditable;
    char date[32];
    char time[32];
    char name[260];
    char title[260];
    // Edited.
    char post[ARTICLE_TEMPLATE_MAX + 1];     // the article's own new-article template
    char follow[ARTICLE_TEMPLATE_MAX + 1];   // and follow-up template
    int unread;    // ATR_N
    int unsent;    // ATR_U
    int held;      // ATR_B
    int virt;      // ATR_V
};

// A number as the dialog takes it back: "*" first means unknown
// (2147483647), else the decimal value with the top bit cleared.
int32_t ArticleProps_ParseNo(const char* text);

// Fills the form from article index; 0 for a bad index.
int ArticleProps_Read(CSubj& subj, int index, ArticleProps* form);

// What OK stores: number and parent (only where editable), the four flags
// (the other flag bits stay), and the two templates cut at 254 bytes at a
// character boundary. Returns 1 when the article changed; the caller marks
// the collection modified and refreshes the list.
int ArticleProps_Apply(CSubj& subj, int index, const ArticleProps& form);

#ifdef _WIN32
#include <windows.h>
// Runs the dialog over owner with the form; IDOK (form updated) or IDCANCEL
// (form as it was).
INT_PTR ArticleProps_Dialog(HWND owner, ArticleProps* form);
// Read, dialog, apply: 1 when OK changed the article.
int ArticleProps_Run(HWND owner, CSubj& subj, int index);
#endif
