#include "ui/keys/OwnerDrawMenu_win.h"

#include "base/debug.h"
#include "base/sjis.h"
#include "ui/keys/MenuText.h"

#include <new>
#include <stdlib.h>
#include <string.h>
#include <string>

namespace {
const int kIcon = 16;      // icon cell
const int kIconBox = 18;   // the box an icon sits in
const int kTextX = 22;     // label start from the item's left edge
const int kMinHeight = 18;

// The whole text of the item at pos (the system's own cut of a short buffer
// is not to be trusted with double-byte text).
std::string ItemString(HMENU menu, int pos)
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_STRING;
    if (!GetMenuItemInfoA(menu, (UINT)pos, TRUE, &mii) || !mii.cch)
        return std::string();
    std::vector<char> buf(mii.cch + 1, 0);
    mii.dwTypeData = buf.data();
    mii.cch = (UINT)buf.size();
    if (!GetMenuItemInfoA(menu, (UINT)pos, TRUE, &mii))
        return std::string();
    return std::string(buf.data());
}

void Fill(HDC dc, const RECT& r, COLORREF color)
{
    HBRUSH b = CreateSolidBrush(color);
    FillRect(dc, &r, b);
    DeleteObject(b);
}
}

COwnerDrawMenu::COwnerDrawMenu() : m_images(nullptr), m_font(nullptr) {}

COwnerDrawMenu::~COwnerDrawMenu()
{
    if (m_images)
        ImageList_Destroy(m_images);
    if (m_font)
        DeleteObject(m_font);
    for (const char* t : m_texts)
        free((void*)t);
}

int COwnerDrawMenu::LoadImages(HBITMAP strip)
{
    BITMAP bm;
    if (!strip || !GetObjectA(strip, sizeof bm, &bm) || bm.bmWidth < kIcon || bm.bmHeight < kIcon)
        return 0;
    // ImageList_AddMasked blackens the transparent pixels of what it is given.
    HBITMAP copy = (HBITMAP)CopyImage(strip, IMAGE_BITMAP, 0, 0, 0);
    if (!copy)
        return 0;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, copy);
    COLORREF transparent = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteDC(dc);
    HIMAGELIST list = ImageList_Create(kIcon, kIcon, ILC_COLOR24 | ILC_MASK, bm.bmWidth / kIcon, 4);
    int ok = list && ImageList_AddMasked(list, copy, transparent) >= 0;
    DeleteObject(copy);
    if (!ok) {
        if (list)
            ImageList_Destroy(list);
        return 0;
    }
    if (m_images)
        ImageList_Destroy(m_images);
    m_images = list;
    return 1;
}

int COwnerDrawMenu::LoadImages(HINSTANCE inst, int resId)
{
    HBITMAP bmp = (HBITMAP)LoadImageA(inst, MAKEINTRESOURCEA(resId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (!bmp)
        return 0;
    int ok = LoadImages(bmp);
    DeleteObject(bmp);
    return ok;
}

int COwnerDrawMenu::LoadImages(HIMAGELIST list)
{
    HIMAGELIST copy = list ? ImageList_Duplicate(list) : nullptr;
    if (!copy)
        return 0;
    if (m_images)
        ImageList_Destroy(m_images);
    m_images = copy;
    return 1;
}

int COwnerDrawMenu::AddIcon(UINT id, int image)
{
    try {
        m_icons.push_back(IconPair{id, image});
    } catch (const std::bad_alloc&) {
        Debug_Out("COwnerDrawMenu::AddIcon() - メモリが足りません\n");
        return 0;
    }
    return 1;
}

int COwnerDrawMenu::ImageOf(UINT id) const
{
    for (const IconPair& p : m_icons)
        if (p.id == id)
            return p.image;
    return -1;
}

const char* COwnerDrawMenu::Kept(ULONG_PTR data) const
{
    const char* p = (const char*)data;
    return p && m_texts.count(p) ? p : nullptr;
}

int COwnerDrawMenu::Convert(HMENU menu)
{
    int done = 0;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &mii) || (mii.fType & (MFT_OWNERDRAW | MFT_SEPARATOR)))
            continue;
        char* text = (char*)calloc(1, MenuTextSize);
        if (!text) {
            Debug_Out("COwnerDrawMenu::Convert() - メモリが足りません\n");
            break;
        }
        try {
            m_texts.insert(text);
        } catch (const std::bad_alloc&) {
            free(text);
            Debug_Out("COwnerDrawMenu::Convert() - メモリが足りません\n");
            break;
        }
        try {
            MenuText_Copy(ItemString(menu, i).c_str(), text, MenuTextSize);
        } catch (const std::bad_alloc&) {
            Debug_Out("COwnerDrawMenu::Convert() - メモリが足りません\n");
        }
        MENUITEMINFOA set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE | MIIM_DATA;
        set.fType = mii.fType | MFT_OWNERDRAW;
        set.dwItemData = (ULONG_PTR)text;
        if (!SetMenuItemInfoA(menu, (UINT)i, TRUE, &set)) {
            m_texts.erase(text);
            free(text);
            continue;
        }
        ++done;
        if (mii.hSubMenu)
            done += Convert(mii.hSubMenu);
    }
    return done;
}

int COwnerDrawMenu::Undo(HMENU menu)
{
    int done = 0;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &mii) || !(mii.fType & MFT_OWNERDRAW))
            continue;
        if (mii.hSubMenu)
            done += Undo(mii.hSubMenu);
        const char* text = Kept(mii.dwItemData);
        if (!text)
            continue;
        MENUITEMINFOA set = {};
        set.cbSize = sizeof set;
        set.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
        set.fType = mii.fType & ~MFT_OWNERDRAW;
        set.dwTypeData = (LPSTR)text;
        set.dwItemData = 0;
        SetMenuItemInfoA(menu, (UINT)i, TRUE, &set);
        m_texts.erase(text);
        free((void*)text);
        ++done;
    }
    return done;
}

int COwnerDrawMenu::ConvertBar(HMENU bar)
{
    int done = 0;
    int n = GetMenuItemCount(bar);
    for (int i = 0; i < n; ++i)
        if (HMENU sub = GetSubMenu(bar, i))
            done += Convert(sub);
    return done;
}

int COwnerDrawMenu::UndoBar(HMENU bar)
{
    int done = 0;
    int n = GetMenuItemCount(bar);
    for (int i = 0; i < n; ++i)
        if (HMENU sub = GetSubMenu(bar, i))
            done += Undo(sub);
    return done;
}

HFONT COwnerDrawMenu::MenuFont()
{
    if (!m_font) {
        NONCLIENTMETRICSA ncm = {};
        ncm.cbSize = sizeof ncm;
        if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
            m_font = CreateFontIndirectA(&ncm.lfMenuFont);
    }
    return m_font ? m_font : (HFONT)GetStockObject(DEFAULT_GUI_FONT);
}

bool COwnerDrawMenu::MeasureItem(MEASUREITEMSTRUCT* mis)
{
    const char* text = mis->CtlType == ODT_MENU ? Kept(mis->itemData) : nullptr;
    if (!text)
        return false;
    size_t labelLen = 0;
    const char* key = nullptr;
    MenuText_Split(text, &labelLen, &key);
    char label[MenuTextSize];
    size_t n = MenuText_Visible(text, labelLen, label, sizeof label);

    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, MenuFont());
    SIZE ls = {0, 0}, ks = {0, 0};
    TEXTMETRICA tm = {};
    GetTextExtentPoint32A(dc, label, (int)n, &ls);
    GetTextExtentPoint32A(dc, key, (int)strlen(key), &ks);
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);

    // The label starts kTextX from the left edge and the key ends 16 pixels
    // from the right one; the system adds about a check mark's width itself.
    mis->itemWidth = (UINT)(kTextX + ls.cx + 20 + ks.cx);
    mis->itemHeight = (UINT)(tm.tmHeight > kMinHeight ? tm.tmHeight : kMinHeight);
    return true;
}

bool COwnerDrawMenu::DrawItem(const DRAWITEMSTRUCT* dis)
{
    const char* text = dis->CtlType == ODT_MENU ? Kept(dis->itemData) : nullptr;
    if (!text)
        return false;
    HDC dc = dis->hDC;
    RECT r = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    const bool disabled = (dis->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (dis->itemState & ODS_CHECKED) != 0;
    const COLORREF bg = GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_MENU);
    const COLORREF fg = GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);

    // The icon box.
    int image = ImageOf(dis->itemID);
    if (image < 0 && checked)
        image = 0;
    if (m_images && image >= 0 && image < ImageList_GetImageCount(m_images)) {
        int top = r.top + (r.bottom - r.top - kIconBox) / 2;
        RECT box = {r.left, top, r.left + kIconBox, top + kIconBox};
        // The whole column, so that an item taller than the box leaves no
        // stale pixels above or below it.
        RECT column = {r.left, r.top, r.left + kIconBox, r.bottom};
        Fill(dc, column, bg);
        if (disabled) {
            if (HICON icon = ImageList_GetIcon(m_images, image, ILD_TRANSPARENT)) {
                DrawStateA(dc, nullptr, nullptr, (LPARAM)icon, 0, box.left + 1, box.top + 1, kIcon, kIcon,
                           DST_ICON | DSS_DISABLED);
                DestroyIcon(icon);
            }
        } else {
            if (checked) {
                DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_FLAT);
                DrawEdge(dc, &box, BDR_SUNKENINNER, BF_RECT);
            } else if (selected) {
                DrawEdge(dc, &box, BDR_RAISEDINNER, BF_RECT);
            }
            ImageList_Draw(m_images, image, dc, box.left + 1, box.top + 1, ILD_TRANSPARENT);
        }
        r.left += kIconBox;
    }

    size_t labelLen = 0;
    const char* key = nullptr;
    MenuText_Split(text, &labelLen, &key);

    // A colour swatch and nothing else.
    uint32_t swatch = 0;
    if (MenuText_Swatch(text, &swatch)) {
        Fill(dc, r, bg);
        RECT inner = {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2};
        if (inner.right > inner.left && inner.bottom > inner.top)
            Fill(dc, inner, (COLORREF)swatch);
        return true;
    }

    Fill(dc, r, bg);
    HGDIOBJ oldFont = SelectObject(dc, MenuFont());
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = GetTextColor(dc);
    const UINT fmt = DT_SINGLELINE | DT_VCENTER;
    auto drawTexts = [&](int dx, int dy) {
        RECT lr = {dis->rcItem.left + kTextX + dx, r.top + dy, r.right + dx, r.bottom + dy};
        DrawTextA(dc, text, (int)labelLen, &lr, fmt | DT_LEFT);
        RECT kr = {r.left + dx, r.top + dy, r.right - 16 + dx, r.bottom + dy};
        DrawTextA(dc, key, -1, &kr, fmt | DT_RIGHT | DT_NOPREFIX);
    };
    if (disabled && !selected) {
        // Engraved: a light copy one pixel down and right, the grey text over it.
        SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
        drawTexts(1, 1);
    }
    SetTextColor(dc, fg);
    drawTexts(0, 0);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    return true;
}

LRESULT COwnerDrawMenu::MenuChar(UINT ch, HMENU menu) const
{
    int n = GetMenuItemCount(menu);
    if (n <= 0)
        return MAKELRESULT(0, MNC_IGNORE);
    std::vector<std::string> plain((size_t)n);
    std::vector<const char*> texts((size_t)n, nullptr);
    int highlighted = -1;
    for (int i = 0; i < n; ++i) {
        MENUITEMINFOA mii = {};
        mii.cbSize = sizeof mii;
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_DATA;
        if (!GetMenuItemInfoA(menu, (UINT)i, TRUE, &mii))
            continue;
        if (mii.fState & MFS_HILITE)
            highlighted = i;
        if (mii.fType & MFT_OWNERDRAW) {
            texts[(size_t)i] = Kept(mii.dwItemData);
        } else if (!(mii.fType & MFT_SEPARATOR)) {
            plain[(size_t)i] = ItemString(menu, i);
            texts[(size_t)i] = plain[(size_t)i].c_str();
        }
    }
    int index = -1;
    switch (MenuChar_Decide(texts.data(), n, highlighted, (unsigned char)ch, &index)) {
    case MenuCharAction::Select:
        return MAKELRESULT(index, MNC_SELECT);
    case MenuCharAction::Execute:
        return MAKELRESULT(index, MNC_EXECUTE);
    default:
        return MAKELRESULT(0, MNC_IGNORE);
    }
}

const char* COwnerDrawMenu::ItemText(HMENU menu, UINT id) const
{
    MENUITEMINFOA mii = {};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    if (!menu || !GetMenuItemInfoA(menu, id, FALSE, &mii) || !(mii.fType & MFT_OWNERDRAW))
        return nullptr;
    return Kept(mii.dwItemData);
}

void COwnerDrawMenu::ToolTipText(HMENU menu, UINT id, char* out, size_t size) const
{
    MenuText_ToolTip(ItemText(menu, id), out, size);
}
