#include "ui/titleview/TitleDraw.h"

#include "base/sjis.h"
#include "store/Subj.h"

#include <stdio.h>
#include <string.h>

#include <vector>

namespace {

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
long DaysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    long era = (y >= 0 ? y : y - 399) / 400;
    long yoe = y - era * 400;
    long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(long z, int* y, int* m, int* d)
{
    z += 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    *d = (int)(doy - (153 * mp + 2) / 5 + 1);
    *m = (int)(mp < 10 ? mp + 3 : mp - 9);
    *y = (int)(yoe + era * 400 + (*m <= 2));
}

int Channel(TitleColour c, int shift)
{
    return (int)((c >> shift) & 0xFF);
}

}  // namespace

uint16_t Title_PackDate(int year, int month, int day)
{
    long v = (long)(year - 1970) * 512 + month * 32 + day;
    return (uint16_t)(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v);
}

uint16_t Title_DaysBefore(int year, int month, int day, int days)
{
    int y, m, d;
    CivilFromDays(DaysFromCivil(year, month, day) - days, &y, &m, &d);
    return Title_PackDate(y, m, d);
}

TitleAgeLimits Title_AgeLimits(int year, int month, int day, int minuteOfDay)
{
    TitleAgeLimits l;
    l.oneDay = ((uint32_t)Title_DaysBefore(year, month, day, 1) << 16) | (uint16_t)minuteOfDay;
    l.threeDays = ((uint32_t)Title_DaysBefore(year, month, day, 3) << 16) | (uint16_t)minuteOfDay;
    return l;
}

TitleColour Title_Blend(TitleColour first, TitleColour second, int w)
{
    TitleColour out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int v = (Channel(first, shift) * (100 - w) + Channel(second, shift) * w) / 100;
        out |= (TitleColour)(v & 0xFF) << shift;
    }
    return out;
}

int Title_BlendWeight(uint32_t oneDayLimit, uint32_t key)
{
    // Both keys as (date << 16) + 18 x minutes: a day is 65,536, a minute 18.
    int64_t l = ((int64_t)(oneDayLimit >> 16) << 16) + 18 * (int64_t)(oneDayLimit & 0xFFFF);
    int64_t k = ((int64_t)(key >> 16) << 16) + 18 * (int64_t)(key & 0xFFFF);
    int64_t e = (l + 65536 - k) / 2560;
    if (e < 0)
        e = 0;
    return e < 100 ? (int)(100 - e) : 0;
}

RowColours Title_AgeColours(const TitleColours& c, const TitleAgeLimits& limits, uint32_t key)
{
    RowColours r = {c.windowText, c.window};
    if (c.titleBlend) {
        r.back = Title_Blend(c.window, c.blend, Title_BlendWeight(limits.oneDay, key));
    } else if (key >= limits.oneDay) {
        r.text = c.today;
    } else if (key >= limits.threeDays) {
        r.text = c.recent;
    }
    return r;
}

RowColours Title_SelectionColours(RowColours age, int selected, int focused, TitleColour window)
{
    if (!selected)
        return age;
    if (focused)
        return {age.back, age.text};
    return {age.text, Title_Blend(age.text, window, 85)};
}

int Title_StatusIcon(uint8_t atr, int hasParent)
{
    int f = atr & (ATR_N | ATR_U | ATR_B | ATR_R);
    int icon = 0;
    if (f == ATR_N)
        icon = 1;
    else if (f == ATR_U)
        icon = 3;
    else if (f == (ATR_U | ATR_B))
        icon = 2;
    else if (f == ATR_R || f == (ATR_R | ATR_N))
        icon = 9;
    if (icon == 0 && hasParent)
        icon = 8;
    return icon;
}

int Title_RowHeight(int fontHeight, int preview)
{
    int h = fontHeight + 1;
    if (h < 14)
        h = 14;
    return preview ? h * 3 : h;
}

int Title_IndentUnit(int columnWidth, int iconSpace, int maxDepth)
{
    long unit = ((long)columnWidth - iconSpace) / ((long)maxDepth + 3);
    return unit < 2 ? 2 : unit > 20 ? 20 : (int)unit;
}

void Title_NoText(int viewflag, const char* no, const char* pno, const char* title, std::string& out)
{
    out.clear();
    if (viewflag & 2)
        out += no;
    if (viewflag & 4) {
        out += '(';
        out += pno;
        out += ')';
    }
    if (viewflag & 8) {
        out += ' ';
        size_t len = strlen(title);
        out.append(title, Sjis_BoundaryAtOrBelow(title, len, TITLE_TEXT_MAX));
    }
}

const char* Title_Author(const char* name, int unsent, const char* posterName)
{
    if (!unsent)
        return name;
    return posterName && *posterName ? posterName : "<< 名前未設定 >>";
}

size_t Sjis_BoundaryAtOrBelow(const char* s, size_t len, size_t max)
{
    if (max >= len)
        return len;
    size_t i = 0;
    while (i < max) {
        size_t step = IsSjisLead((unsigned char)s[i]) && i + 1 < len ? 2 : 1;
        if (i + step > max)
            break;
        i += step;
    }
    return i;
}

size_t Title_FitText(const char* s, size_t len, int avail, int dotsWidth, const std::function<int(size_t)>& width,
                     bool* cut)
{
    size_t limit = Sjis_BoundaryAtOrBelow(s, len, TITLE_TEXT_MAX);
    *cut = false;
    if (limit == len && width(len) <= avail)
        return len;
    *cut = true;
    // Character boundaries up to the limit; the longest fitting prefix by
    // bisection (widths grow with the prefix).
    std::vector<size_t> ends;
    ends.push_back(0);
    for (size_t i = 0; i < limit;) {
        i += IsSjisLead((unsigned char)s[i]) && i + 1 < len ? 2 : 1;
        if (i > limit)
            break;
        ends.push_back(i);
    }
    size_t lo = 0, hi = ends.size() - 1;
    if (limit == len)
        hi = ends.size() >= 2 ? ends.size() - 2 : 0;   // the whole text was too wide
    while (lo < hi) {
        size_t mid = (lo + hi + 1) / 2;
        if (width(ends[mid]) + dotsWidth <= avail)
            lo = mid;
        else
            hi = mid - 1;
    }
    return ends[lo];
}

void Title_PreviewText(const char* msg, std::string& out)
{
    out.clear();
    if (!msg)
        return;
    size_t len = strnlen(msg, 3001);
    size_t n = Sjis_BoundaryAtOrBelow(msg, len, 3000);
    out.assign(msg, n);
    for (size_t i = 0; i < n;) {
        unsigned char c = (unsigned char)out[i];
        if (IsSjisLead(c) && i + 1 < n) {
            i += 2;
            continue;
        }
        if (c == '\n' || c == '\t' || c == '\r')
            out[i] = ' ';
        ++i;
    }
}

int Title_CentreTop(int row, int page, int count)
{
    int top = row - page / 2;
    if (top > count - 1 - page + 1)
        top = count - page;
    if (top < 0)
        top = 0;
    return top;
}

int Title_FitWidth(int widestText)
{
    int w = widestText + 8;
    return w < 16 + 8 ? 16 + 8 : w;
}

int Title_NoColumnWidth(int maxDepth)
{
    return Title_FitWidth(10 * maxDepth + 94);
}

void Title_StatusText(int unread, int unsent, int total, char* out, size_t size)
{
    snprintf(out, size, "未読 : %d / 未送信 : %d / 総数 : %d", unread, unsent, total);
}

int Title_PictureSpace(int rowHeight, int preview)
{
    return preview ? rowHeight : 4 * rowHeight;
}

TitlePictureCell Title_PictureCell(int row, int rowTop, int rowHeight, int preview, int left)
{
    if (preview)
        return {left, rowTop, rowHeight};
    int size = 2 * rowHeight;
    return {left + (row & 1) * size, rowTop + (rowHeight - size) / 2, size};
}
