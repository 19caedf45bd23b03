#include "ui/shell/Layout.h"

static int Clamp(int v, int lo, int hi)
{
    // Upper bound first, then the lower one wins: a window too small for
    // both still gives the pane its minimum.
    if (v > hi)
        v = hi;
    if (v < lo)
        v = lo;
    return v;
}

int Layout_TitleHeight(int paneMode, int titleH, int content, int splitter)
{
    if (paneMode == PANE_TEXT_MAX)
        return -2;
    if (paneMode == PANE_TITLE_MAX)
        return content;
    return Clamp(titleH, splitter + 3, content - (2 * splitter + 3));
}

void Layout_Compute(const LayoutInput& in, int* folderW, int* titleH, LayoutResult* out)
{
    const int S = in.splitter;
    const int T = in.toolbarH;
    out->content = in.height - in.toolbarH - in.statusH;
    const int C = out->content;
    *folderW = Clamp(*folderW, S + 3, in.width - (2 * S + 3));
    if (in.paneMode == PANE_NORMAL)
        *titleH = Clamp(*titleH, S + 3, C - (2 * S + 3));
    const int E = Layout_TitleHeight(in.paneMode, *titleH, C, S);
    out->titleH = E;

    if (in.folderHidden) {
        out->folder = {0, 0, 0, 0};
        out->x = 0;
    } else {
        out->folder = {0, T, *folderW, C};
        out->x = *folderW + S;
    }
    const int x = out->x;
    const int w = in.width - x;
    out->title = {x, T, w, E};
    out->headerShown = in.paneMode != PANE_TITLE_MAX;
    out->header = {x, T + E + S, w, in.headerH};
    out->text = {x, T + E + S + in.headerH, w, C - E - S - in.headerH};
}

int Layout_HitZone(int x, int y, int x0, const LayoutInput& in, int titleH)
{
    const int S = in.splitter;
    const int T = in.toolbarH;
    int zone = 0;
    if (x0 <= x && x <= x0 + S + 2 && T <= y && y <= in.height - in.statusH)
        zone |= ZONE_VERTICAL;
    if (x0 <= x && x <= in.width && T + titleH - 2 <= y && y <= T + titleH + S + 2)
        zone |= ZONE_HORIZONTAL;
    return zone;
}

void Layout_StatusParts(int width, int parts[3])
{
    parts[0] = width - 350;
    parts[1] = width - 280;
    parts[2] = -1;   // to the end of the bar
}

void Layout_RestorePlacement(int* left, int* top, int* right, int* bottom, int screenW, int screenH)
{
    bool allNegative = *left < 0 && *top < 0 && *right < 0 && *bottom < 0;
    bool beyond = *left > screenW && *right > screenW && *top > screenH && *bottom > screenH;
    if (allNegative || beyond) {
        // Left and top go to 0 and right and bottom stay; a rectangle that
        // this would leave without width or height keeps its size instead,
        // so the window never comes back invisible.
        int w = *right - *left, h = *bottom - *top;
        *left = 0;
        *top = 0;
        if (*right <= 0)
            *right = w > 0 ? w : 0;
        if (*bottom <= 0)
            *bottom = h > 0 ? h : 0;
    }
}

int Layout_RingStep(int current, int step)
{
    if (current < 0)
        current = 0;
    return ((current + step) % 3 + 3) % 3;
}

void Layout_AnimationSteps(int from, int to, int steps, int* out)
{
    for (int i = 1; i <= steps; ++i)
        out[i - 1] = from + (to - from) * i / steps;
}
