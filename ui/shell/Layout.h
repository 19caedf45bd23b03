// The main window's pane arithmetic: where folder, title, header and text
// view go for a client size, the splitter hit zones, the status bar parts,
// the placement restore rule and the focus ring. Pure functions; the window
// code applies the results.
#pragma once

struct LayoutRect {
    int x, y, w, h;
};

enum PaneMode {
    PANE_NORMAL = 0,
    PANE_TEXT_MAX = 1,    // the text view maximised vertically
    PANE_TITLE_MAX = 2,   // the title view maximised vertically
};

struct LayoutInput {
    int width, height;   // client area
    int toolbarH;        // T: 0 when the toolbar is hidden
    int statusH;         // B: 0 when the status bar is hidden
    int splitter;        // S: SM_CXFRAME - 1
    int headerH;         // the header view's own height
    int paneMode;
    int folderHidden;    // SmartFolder with the focus in the title or text view
};

struct LayoutResult {
    int content;         // C = H - T - B
    int titleH;          // E: the title view's effective height
    int x;               // left edge of the right-hand panes
    LayoutRect folder;   // 0 size when hidden
    LayoutRect title, header, text;
    int headerShown;
};

// Clamps *folderW and *titleH as the layout does (they are stored back) and
// computes every pane.
void Layout_Compute(const LayoutInput& in, int* folderW, int* titleH, LayoutResult* out);

// The title view's effective height E for a pane mode (titleH clamped).
int Layout_TitleHeight(int paneMode, int titleH, int content, int splitter);

enum { ZONE_VERTICAL = 1, ZONE_HORIZONTAL = 2 };
// Splitter zone bits at client point (x, y); x0 is FolderW while the folder
// view is shown, else 0.
int Layout_HitZone(int x, int y, int x0, const LayoutInput& in, int titleH);

// Right edges of the status bar's three parts for a bar of this width.
void Layout_StatusParts(int width, int parts[3]);

// A window rectangle saved off the screen: when all four coordinates are
// negative, or both horizontal edges lie beyond the screen width and both
// vertical edges beyond its height, left and top become 0.
void Layout_RestorePlacement(int* left, int* top, int* right, int* bottom, int screenW, int screenH);

// The focus ring folder view (0), title view (1), text view (2): the next
// position from current (-1 = none, start at the folder view) by step +1/-1.
int Layout_RingStep(int current, int step);

// The animation's intermediate heights from one title height to another in
// steps equal steps; out[steps - 1] == to.
void Layout_AnimationSteps(int from, int to, int steps, int* out);
