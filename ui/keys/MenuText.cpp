#include "ui/keys/MenuText.h"

#include "base/sjis.h"

#include <string.h>

#include <string>

namespace {
// Length of the character at p: 2 for a lead byte with a second byte, else 1.
size_t CharLen(const char* p)
{
    return IsSjisLead((unsigned char)p[0]) && p[1] ? 2 : 1;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

unsigned char Lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? (unsigned char)(c + 32) : c;
}

// True when text has a mnemonic "&" followed by ch ("&&" is a plain "&").
bool HasMnemonic(const char* text, unsigned char ch)
{
    if (!text)
        return false;
    for (const char* p = text; *p; p += CharLen(p)) {
        if (*p != '&')
            continue;
        if (p[1] == '&') {
            ++p;
            continue;
        }
        if (p[1] && CharLen(p + 1) == 1 && Lower((unsigned char)p[1]) == Lower(ch))
            return true;
    }
    return false;
}

struct ColorLabel {
    uint16_t id;
    uint32_t colorref;
};
const ColorLabel kColors[] = {
    {32941, 0xFF0000}, {32942, 0x0000FF}, {32943, 0x00FF00}, {32944, 0xFF00FF}, {32945, 0xFFFF00},
    {32946, 0x00FFFF}, {32949, 0x800000}, {32950, 0x000080}, {32951, 0x800080}, {32952, 0x808000},
    {32953, 0x008000}, {32954, 0x008080}, {32955, 0xC0C0C0}, {32956, 0x808080},
};
const uint16_t kNoLabel = 32940;
}

void MenuText_Split(const char* text, size_t* labelLen, const char** keyText)
{
    if (!text)
        text = "";
    const char* tab = Sjis_StrChr(text, '\t');
    if (tab) {
        *labelLen = (size_t)(tab - text);
        *keyText = tab + 1;
    } else {
        *labelLen = strlen(text);
        *keyText = text + *labelLen;
    }
}

size_t MenuText_Visible(const char* label, size_t len, char* out, size_t size)
{
    if (!size)
        return 0;
    size_t n = 0;
    const char* end = label ? label + strnlen(label, len) : nullptr;
    for (const char* p = label; p && p < end;) {
        if (*p == '&') {
            ++p;
            if (p >= end || *p != '&')
                continue;   // a mnemonic marker: not drawn
        }
        size_t cl = (p + 1 < end) ? CharLen(p) : 1;
        if (n + cl + 1 > size)
            break;
        memcpy(out + n, p, cl);
        n += cl;
        p += cl;
    }
    out[n] = 0;
    return n;
}

bool MenuText_Swatch(const char* label, uint32_t* colorref)
{
    if (!label || label[0] != 'C' || label[1] != '_')
        return false;
    uint32_t rgb = 0;
    for (int i = 0; i < 6; ++i) {
        int v = HexValue(label[2 + i]);
        if (v < 0)
            break;
        rgb = rgb << 4 | (uint32_t)v;
    }
    *colorref = (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
    return true;
}

const uint16_t ColorLabelIds[] = {32940, 32941, 32942, 32944, 32943, 32945, 32946, 32956,
                                  32949, 32950, 32951, 32953, 32952, 32954, 32955};
const int ColorLabelCount = (int)(sizeof ColorLabelIds / sizeof ColorLabelIds[0]);

bool ColorLabelColor(unsigned id, uint32_t* colorref)
{
    for (const ColorLabel& c : kColors)
        if (c.id == id) {
            *colorref = c.colorref;
            return true;
        }
    return false;
}

bool ColorLabelText(unsigned id, char* out, size_t size)
{
    uint32_t c = 0;
    if (id == kNoLabel) {
        Str_Copy(out, size, "なし");
        return true;
    }
    if (!ColorLabelColor(id, &c)) {
        Str_Copy(out, size, "");
        return false;
    }
    Str_Format(out, size, "C_%02X%02X%02X", (unsigned)(c & 0xFF), (unsigned)(c >> 8 & 0xFF),
               (unsigned)(c >> 16 & 0xFF));
    return true;
}

MenuCharAction MenuChar_Decide(const char* const* texts, int count, int highlighted, unsigned char ch,
                               int* index)
{
    *index = -1;
    if (count <= 0)
        return MenuCharAction::None;
    int start = (highlighted >= 0 && highlighted < count) ? highlighted + 1 : 0;
    int first = -1;
    for (int k = 0; k < 2 * count; ++k) {
        int i = (start + k) % count;
        if (!HasMnemonic(texts[i], ch))
            continue;
        if (first < 0) {
            first = i;
            continue;
        }
        *index = first;
        return i != first ? MenuCharAction::Select : MenuCharAction::Execute;
    }
    return MenuCharAction::None;
}

namespace {
// Copies whole characters of text up to stop (or the end) within size.
size_t CopyWhole(const char* text, char stop, char* out, size_t size)
{
    if (!size)
        return 0;
    size_t n = 0;
    for (const char* p = text; p && *p && *p != stop;) {
        size_t cl = CharLen(p);
        if (n + cl + 1 > size)
            break;
        memcpy(out + n, p, cl);
        n += cl;
        p += cl;
    }
    out[n] = 0;
    return n;
}
}

size_t MenuText_Copy(const char* text, char* out, size_t size)
{
    return CopyWhole(text, 0, out, size);
}

size_t MenuText_ToolTip(const char* itemText, char* out, size_t size)
{
    return CopyWhole(itemText, '(', out, size);
}

bool MenuText_WithKey(const char* text, const char* key, char* out, size_t size)
{
    if (!size)
        return false;
    size_t labelLen = 0;
    const char* oldKey = "";
    MenuText_Split(text ? text : "", &labelLen, &oldKey);
    std::string joined(text ? text : "", labelLen);
    if (key && *key) {
        joined += '\t';
        joined += key;
    }
    MenuText_Copy(joined.c_str(), out, size);
    return strcmp(out, text ? text : "") != 0;
}
