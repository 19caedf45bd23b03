// What the main window calls in its views. Each view creates its child with
// its control id and answers the commands routed to it (ui/shell/Commands.h).
// A view whose *_IsBuilt answers 0 has its commands greyed by the shell.
#pragma once
#include <windows.h>

// Folder view (id 112).
HWND FolderView_Create(HWND main);
int FolderView_IsBuilt();
LRESULT FolderView_OnNotify(NMHDR* nm);
void FolderView_OnContextMenu(int x, int y);
void FolderView_UpdateMenu(HMENU menu);
void FolderView_Command(int id);
// Rebuilds the tree (re-selecting the current item, which reopens it).
void FolderView_Refresh();
// At exit: writes "TreeState.ini" and frees the items.
void FolderView_Clear();
// The title view's counts of the open store, for its item in the tree.
void FolderView_UpdateOpenStore(int unread, int unsent, int total);
// A capture drag (of folders or of title rows) over the folder view:
// highlights the folder under the screen point; 1 when there is one.
int FolderView_DragHover(POINT screen);
// The drag ended; drop (1) or cancel (0). Copy while Ctrl was held.
void FolderView_DragEnd(HWND owner, int drop, int copy);

// Title view (id 114).
HWND TitleView_Create(HWND main);
int TitleView_IsBuilt();
LRESULT TitleView_OnNotify(NMHDR* nm);
void TitleView_OnDrawItem(DRAWITEMSTRUCT* dis);
void TitleView_OnMeasureItem(MEASUREITEMSTRUCT* mis);
void TitleView_OnContextMenu(int x, int y);
void TitleView_UpdateMenu(HMENU menu);
void TitleView_Command(int id);
void TitleView_Empty();
// Refills from the open collection.
void TitleView_Refill();
void TitleView_EnsureCurrentVisible();
void TitleView_DropCurrent();
void TitleView_Release();
// Measures the row height again from the list's font (after WM_SETFONT).
void TitleView_Remeasure();

// Header view (id 120) and text view (id 113).
HWND HeaderView_Create(HWND main);
// The strip's two lines; all values empty (or nullptr): no article, both
// lines empty.
void HeaderView_SetHeader(const char* title, const char* name, const char* email, const char* hp,
                          const char* dateTime);
HWND TextView_Create(HWND main);
int TextView_IsBuilt();
// Shows an article's text (and hands it to the HTML view).
void TextView_ShowText(const char* text);
// Pages down (down = 1) or up by the ScrollLine share of the page; 0 when
// the view is at that end already and did not move (a page down then also
// calls the end handler below).
int TextView_Page(int down);
// 1 when the end of the text is in view (or the text needs no scroll bar);
// a question only: the caller marks the article read.
int TextView_AtEnd();
void TextView_Command(int id);   // copy, select all, line scrolling, its notifications
void TextView_OnContextMenu(int x, int y);
void TextView_ShowFile(const char* path);
void TextView_Release();
// Called when the reader reaches the end of the shown text in the view
// itself (scroll bar, wheel, line down at the end, a page down at the end):
// the title view marks its current article read. nullptr: nobody.
void TextView_SetEndHandler(void (*atEnd)());
// The last search text and whether it is a regular expression: the hits of
// the next texts shown are highlighted (the search sets it).
void TextView_SetSearch(const char* text, int regExp);
// The text view's WM_NOTIFY (links).
LRESULT TextView_OnNotify(NMHDR* nm);

// HTML view.
int HtmlView_IsBuilt();
void HtmlView_Command(int id);
void HtmlView_SetTopmost(int topmost);

// Search and option sheet.
int Search_IsBuilt();
void Search_Command(int id);
// The regular-expression library "BREGEXP.DLL": loaded by name at start-up
// (1 when it is present), its compiled patterns released and the library
// let go at exit.
int Search_LoadLibrary();
void Search_UnloadLibrary();
// The criteria from the settings just read (history, EnableCap,
// EnableRegExp, forced off without the library).
void Search_Init();
int Options_IsBuilt();
void Options_Show();
