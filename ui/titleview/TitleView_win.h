// Operations of the title view beyond what the main window calls
// (ui/shell/Views.h): for the title view's commands, the search and the
// composer. Rows and articles are those of the row map; -1 = none.
#pragma once
#include <windows.h>

#include <vector>

class CHistory;
class CTitleRows;
struct TitleMenuFacts;

// Rebuilds the rows: the first row made current (selectFirst) or the
// current article kept.
void TitleView_Refresh(int selectFirst);
// Makes a row current and selected and brings it to the middle.
void TitleView_SelectRow(int row);
int TitleView_RowToArticle(int row);
int TitleView_ArticleToRow(int article);
int TitleView_CurrentRow();
int TitleView_CurrentArticle();
// Clears N of the current article, redraws its row and the status bar.
void TitleView_MarkCurrentRead();
// Recounts and shows "未読 : %d / 未送信 : %d / 総数 : %d" (the folder view
// gets the counts too).
void TitleView_UpdateStatus();
// A row drag: the main window takes the mouse; the drop is the commands'.
void TitleView_BeginDrag();
// While a search steps across folders, refreshes leave the selection to it.
void TitleView_SetSearching(int on);
int TitleView_RowCount();
// One space-key step of the current article's text for the search's read
// on: a text not shown yet is shown; else the text pages down. 0 when it
// stood at its end (the text view then reports the end as read).
int TitleView_PageText();
// The article being shown was marked unread by command: leaving it does
// not mark it read.
void TitleView_SuppressRead();
// The history of visited rows that selection changes push onto.
CHistory& TitleView_History();

// For the commands of the rows (TitleCommands_win.cpp).
HWND TitleView_List();
const CTitleRows& TitleView_Rows();
// The rows the list marks as selected, top down.
std::vector<int> TitleView_SelectedRows();
void TitleView_RedrawRow(int row);
// Rebuilds the rows after articles were removed: the row number is kept
// (held to the last row), not the article.
void TitleView_RefreshAtRow(int row);
// Shows a text for the current article in the text view at once.
void TitleView_ShowArticleText(const char* text);
// What the menu state of the current article rests on.
void TitleView_CurrentFacts(TitleMenuFacts* facts);

// TitleCommands_win.cpp: the commands of the rows; 1 when id is one of
// them. TitleCommands_Init hooks the row drop into the folder view.
int TitleCommands_Run(int id);
void TitleCommands_Init();
