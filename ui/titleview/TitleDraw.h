// What a row of the title list looks like, decided without the window API:
// row height, age colours and the blend, selection colours, the status
// icon, the "No" column's text, the indent of the tree, text cut to a width
// at a character boundary, the preview text, centring and column widths.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include <functional>
#include <string>

typedef uint32_t TitleColour;   // COLORREF: red in the low byte

// Packed date of a calendar day, and the day a number of days before.
uint16_t Title_PackDate(int year, int month, int day);
uint16_t Title_DaysBefore(int year, int month, int day, int days);

// The two age limits as date keys: one day and three days before now
// (that day's date and the current minute).
struct TitleAgeLimits {
    uint32_t oneDay, threeDays;
};
TitleAgeLimits Title_AgeLimits(int year, int month, int day, int minuteOfDay);

struct TitleColours {
    int titleBlend;             // TitleBlend
    TitleColour today;          // ColTitleToday
    TitleColour recent;         // ColTitleNew
    TitleColour blend;          // ColTitleBlend
    TitleColour window, windowText;
};
struct RowColours {
    TitleColour text, back;
};

// Each channel (first x (100 - w) + second x w) / 100.
TitleColour Title_Blend(TitleColour first, TitleColour second, int w);
// Weight of the blend colour for an article's date key against the
// one-day limit: 100 for the newest, falling to 0 after about four days.
int Title_BlendWeight(uint32_t oneDayLimit, uint32_t key);
RowColours Title_AgeColours(const TitleColours& c, const TitleAgeLimits& limits, uint32_t key);
// Selected rows: text and background swapped in the focused list; in an
// unfocused list the background becomes the text colour blended with the
// window colour at 85.
RowColours Title_SelectionColours(RowColours age, int selected, int focused, TitleColour window);

// Status icon by the flags N, U, B and R (strip indices).
int Title_StatusIcon(uint8_t atr, int hasParent);

// Rows: the font's height plus 1, at least 14; three times that with preview.
int Title_RowHeight(int fontHeight, int preview);
// The tree's indent unit: the No column less its icons over the greatest
// depth plus 3, held within 2 to 20 pixels.
int Title_IndentUnit(int columnWidth, int iconSpace, int maxDepth);

// The "No" column's text by VIEWFLAG: number (2), "(parent)" (4), and the
// title after a space (8).
void Title_NoText(int viewflag, const char* no, const char* pno, const char* title, std::string& out);
// The author column: the author, or for an unsent article the poster name,
// or "<< 名前未設定 >>" when that is empty.
const char* Title_Author(const char* name, int unsent, const char* posterName);

// Largest character boundary of s (len bytes) at or below max: a
// double-byte character is never split; a lead byte at the end of s is a
// character of its own.
size_t Sjis_BoundaryAtOrBelow(const char* s, size_t len, size_t max);
// Bytes of s (len bytes) to draw in avail pixels: all of them when s fits,
// else the longest prefix ending at a character boundary that fits with
// "..." (dotsWidth pixels) after it; *cut tells which. width(n) is the width
// of the first n bytes. Texts are looked at up to TITLE_TEXT_MAX bytes.
enum : size_t { TITLE_TEXT_MAX = 4096 };
size_t Title_FitText(const char* s, size_t len, int avail, int dotsWidth, const std::function<int(size_t)>& width,
                     bool* cut);

// The preview: up to 3,000 bytes of the text (never half a character),
// line feeds and tabs turned into spaces.
void Title_PreviewText(const char* msg, std::string& out);

// The top row that brings row to the middle of a page of rows.
int Title_CentreTop(int row, int page, int count);
// Divider double-click widths: the widest text plus 8, at least 24; the
// No column's widest row is 10 x greatest depth + 94.
int Title_FitWidth(int widestText);
int Title_NoColumnWidth(int maxDepth);

// "未読 : %d / 未送信 : %d / 総数 : %d"
void Title_StatusText(int unread, int unsent, int total, char* out, size_t size);

// Article pictures (VIEWFLAG 0x20) at the left of the "No" column. With
// preview each row's picture fills a square of the row height; without,
// each is a square of twice the row height centred on its row, in one of
// two columns by the row's parity, so that neighbours interleave.
struct TitlePictureCell {
    int left, top, size;
};
// Width the pictures take before the other icons.
int Title_PictureSpace(int rowHeight, int preview);
TitlePictureCell Title_PictureCell(int row, int rowTop, int rowHeight, int preview, int left);
