// Page 表示 (149): colours, fonts, scrolling and window switches. Colours and
// fonts are edited in working copies, taken when the page opens and
// dropped on Cancel.
#include "ui/options/OptionPages_win.h"

#include "base/sjis.h"
#include "res/resource.h"
#include "ui/shell/Shell.h"

#include <commctrl.h>
#include <commdlg.h>

namespace {

DisplayForm s_form;   // the working copies of the open sheet

// The chooser's custom colours, kept while the program runs.
COLORREF s_custom[16] = {
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
    0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
};

const struct {
    int id;
    int DisplayForm::*field;
} kBoxes[] = {
    {IDC_OPD_CLIENT_EDGE, &DisplayForm::windowClientEdge}, {IDC_OPD_TITLE_BLEND, &DisplayForm::titleBlend},
    {IDC_OPD_SMOOTH_SCROLL, &DisplayForm::smoothScroll},   {IDC_OPD_SCROLL_STOP, &DisplayForm::scrollStop},
    {IDC_OPD_SMART_FOLDER, &DisplayForm::smartFolder},     {IDC_OPD_ANIMATION, &DisplayForm::animation},
    {IDC_OPD_AUTO_COLLAPSE, &DisplayForm::autoCollapse},
};

int Selected(HWND page, int list)
{
    int i = (int)SendDlgItemMessageA(page, list, CB_GETCURSEL, 0, 0);
    return i < 0 ? 0 : i;
}

void ShowSliderValue(HWND page, int slider, int label)
{
    int pos = (int)SendDlgItemMessageA(page, slider, TBM_GETPOS, 0, 0);
    SetDlgItemInt(page, label, (UINT)pos, TRUE);
}

void InitSlider(HWND page, int slider, int label, int lo, int hi, int pos)
{
    SendDlgItemMessageA(page, slider, TBM_SETRANGE, FALSE, MAKELPARAM(lo, hi));
    SendDlgItemMessageA(page, slider, TBM_SETPOS, TRUE, pos);
    ShowSliderValue(page, slider, label);
}

void Init(HWND page)
{
    DisplayForm_Load(&s_form, g_shell.opt);
    for (const char* name : kOptionColourNames)
        SendDlgItemMessageA(page, IDC_OPD_COLOUR_LIST, CB_ADDSTRING, 0, (LPARAM)name);
    for (const char* name : kOptionFontNames)
        SendDlgItemMessageA(page, IDC_OPD_FONT_LIST, CB_ADDSTRING, 0, (LPARAM)name);
    SendDlgItemMessageA(page, IDC_OPD_COLOUR_LIST, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(page, IDC_OPD_FONT_LIST, CB_SETCURSEL, 0, 0);
    for (const auto& b : kBoxes)
        OptionPage_Check(page, b.id, s_form.*b.field);
    SendDlgItemMessageA(page, IDC_OPD_SCROLL_LINE_SPIN, UDM_SETRANGE32, 10, 100);
    SetDlgItemTextA(page, IDC_OPD_SCROLL_LINE, s_form.scrollLine.c_str());
    InitSlider(page, IDC_OPD_SCROLL_WAIT, IDC_OPD_SCROLL_WAIT_VALUE, 0, 200, s_form.scrollWait);
    InitSlider(page, IDC_OPD_SCROLL_PIXEL, IDC_OPD_SCROLL_PIXEL_VALUE, 1, 10, s_form.scrollPixel);
}

void Apply(HWND page)
{
    for (const auto& b : kBoxes)
        s_form.*b.field = OptionPage_Checked(page, b.id);
    s_form.scrollLine = OptionPage_Text(page, IDC_OPD_SCROLL_LINE);
    s_form.scrollWait = (int)SendDlgItemMessageA(page, IDC_OPD_SCROLL_WAIT, TBM_GETPOS, 0, 0);
    s_form.scrollPixel = (int)SendDlgItemMessageA(page, IDC_OPD_SCROLL_PIXEL, TBM_GETPOS, 0, 0);
    CProfileSink ini(g_shell.ini);
    DisplayForm_Store(s_form, &g_shell.opt, ini);
    Shell_ApplyFonts();
    if (g_shell.titleView)
        InvalidateRect(g_shell.titleView, nullptr, TRUE);
}

void DrawSample(const DRAWITEMSTRUCT* dis)
{
    RECT r = dis->rcItem;
    bool pressed = (dis->itemState & ODS_SELECTED) != 0;
    DrawFrameControl(dis->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    InflateRect(&r, -4, -4);
    if (pressed)
        OffsetRect(&r, 1, 1);
    HBRUSH b = CreateSolidBrush((COLORREF)s_form.colours[Selected(GetParent(dis->hwndItem), IDC_OPD_COLOUR_LIST)]);
    FillRect(dis->hDC, &r, b);
    DeleteObject(b);
    FrameRect(dis->hDC, &r, (HBRUSH)GetStockObject(BLACK_BRUSH));
    if (dis->itemState & ODS_FOCUS) {
        RECT f = dis->rcItem;
        InflateRect(&f, -2, -2);
        DrawFocusRect(dis->hDC, &f);
    }
}

void ChooseSampleColour(HWND page)
{
    int entry = Selected(page, IDC_OPD_COLOUR_LIST);
    s_custom[15] = GetSysColor(COLOR_WINDOW);
    CHOOSECOLORA cc;
    memset(&cc, 0, sizeof cc);
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = page;
    cc.rgbResult = (COLORREF)s_form.colours[entry];
    cc.lpCustColors = s_custom;
    cc.Flags = CC_FULLOPEN | CC_RGBINIT;
    if (!ChooseColorA(&cc))
        return;
    s_form.colours[entry] = cc.rgbResult & 0xFFFFFF;
    InvalidateRect(GetDlgItem(page, IDC_OPD_COLOUR_SAMPLE), nullptr, FALSE);
    OptionPage_Changed(page);
}

void ChooseFontFor(HWND page)
{
    ProfileFont& f = s_form.fonts[Selected(page, IDC_OPD_FONT_LIST)];
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = f.size;
    lf.lfWeight = f.weight;
    lf.lfItalic = f.italic ? 1 : 0;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    Str_CopyN(lf.lfFaceName, sizeof lf.lfFaceName, f.face, sizeof f.face);
    CHOOSEFONTA cf;
    memset(&cf, 0, sizeof cf);
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = page;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_NOVERTFONTS | CF_FORCEFONTEXIST | CF_INITTOLOGFONTSTRUCT;
    if (!ChooseFontA(&cf))
        return;
    Option_CutText(f.face, sizeof f.face, lf.lfFaceName);
    f.size = lf.lfHeight;
    f.italic = lf.lfItalic ? 1 : 0;
    f.weight = lf.lfWeight;
    OptionPage_Changed(page);
}

INT_PTR Message(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_DRAWITEM:
        if (wp == IDC_OPD_COLOUR_SAMPLE) {
            DrawSample((const DRAWITEMSTRUCT*)lp);
            return TRUE;
        }
        return FALSE;
    case WM_HSCROLL:
        if ((HWND)lp == GetDlgItem(page, IDC_OPD_SCROLL_WAIT))
            ShowSliderValue(page, IDC_OPD_SCROLL_WAIT, IDC_OPD_SCROLL_WAIT_VALUE);
        else if ((HWND)lp == GetDlgItem(page, IDC_OPD_SCROLL_PIXEL))
            ShowSliderValue(page, IDC_OPD_SCROLL_PIXEL, IDC_OPD_SCROLL_PIXEL_VALUE);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wp)) {
        case IDC_OPD_COLOUR_LIST:
            if (HIWORD(wp) == CBN_SELCHANGE)
                InvalidateRect(GetDlgItem(page, IDC_OPD_COLOUR_SAMPLE), nullptr, FALSE);
            return TRUE;
        case IDC_OPD_COLOUR_SAMPLE:
            if (HIWORD(wp) == BN_CLICKED)
                ChooseSampleColour(page);
            return TRUE;
        case IDC_OPD_FONT_CHANGE:
            if (HIWORD(wp) == BN_CLICKED)
                ChooseFontFor(page);
            return TRUE;
        case IDC_OPD_TITLE_BLEND:
            if (HIWORD(wp) == BN_CLICKED)
                OptionPage_Changed(page);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

const OptionPageProcs kProcs = {Init, Apply, Message};

}  // namespace

INT_PTR CALLBACK DisplayPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp)
{
    return OptionPage_Handle(OPTION_PAGE_DISPLAY, kProcs, page, msg, wp, lp);
}
