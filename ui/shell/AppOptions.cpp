#include "ui/shell/AppOptions.h"

#include "base/sjis.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

namespace {

void DefaultFont(ProfileFont* f, const char* face, int size)
{
    memset(f, 0, sizeof *f);
    Str_Copy(f->face, sizeof f->face, face);
    f->size = size;
}

struct StrKey {
    const char* key;
    size_t offset, size;
    const char* def;
};
struct IntKey {
    const char* key;
    size_t offset;
    int def;
};

#define S_(k, f, d) {k, offsetof(AppOptions, f), sizeof(((AppOptions*)0)->f), d}
#define I_(k, f, d) {k, offsetof(AppOptions, f), (int)(d)}

const StrKey kStrings[] = {
    S_("Editor", editor, "notepad"), S_("EditorOption", editorOption, ""), S_("ReplyHeader", replyHeader, ""),
    S_("Perl", perl, "perl"),        S_("Ruby", ruby, "ruby"),             S_("QuoteMark", quoteMark, ">"),
    S_("ProxyAdr", proxyAdr, ""),
};
const IntKey kInts[] = {
    I_("ProxyPort", proxyPort, 0),          I_("ProxyIE", proxyIE, 1),
    I_("ThreadCount", threadCount, 2),      I_("CloseRunWindow", closeRunWindow, 0),
    I_("GAMultiWindow", gaMultiWindow, 0),  I_("AutoConnect", autoConnect, 1),
    I_("AutoDisconnect", autoDisconnect, 0), I_("TitleBlend", titleBlend, 0),
    I_("PartViewRead", partViewRead, 0),    I_("WindowClientEdge", windowClientEdge, 0),
    I_("SmoothScroll", smoothScroll, 1),    I_("ScrollStop", scrollStop, 1),
    I_("ScrollLine", scrollLine, 50),       I_("ScrollWait", scrollWait, 10),
    I_("ScrollPixel", scrollPixel, 1),      I_("SmartFolder", smartFolder, 0),
    I_("Animation", animation, 1),          I_("AutoCollapse", autoCollapse, 0),
    I_("UseIconTray", useIconTray, 0),      I_("ColTextQuote", colTextQuote, 0x800000),
    I_("ColTitleNew", colTitleNew, 0x800000), I_("ColTitleToday", colTitleToday, 0xFF0000),
    I_("ColTitleBlend", colTitleBlend, 0x96FF96), I_("ColTitlePreview", colTitlePreview, 0x808000),
    I_("ShowToolbar", showToolbar, 1),      I_("ShowStatusbar", showStatusbar, 1),
    I_("ShowLogfile", showLogfile, 0),      I_("NormalMenu", normalMenu, 0),
};
const IntKey kSearchInts[] = {
    I_("EnableCap", enableCap, 0),
    I_("EnableRegExp", enableRegExp, 0),
};

#undef S_
#undef I_

int& IntAt(AppOptions* o, size_t offset) { return *(int*)((char*)o + offset); }

}  // namespace

int AppOptions_DefaultFontSize(int pixelsPerInch)
{
    // MulDiv(9, ppi, 72): rounded half away from zero, then negated.
    long long n = 9LL * pixelsPerInch;
    long long q = (n + (n >= 0 ? 36 : -36)) / 72;
    return -(int)q;
}

void AppOptions_Defaults(AppOptions* o, int fontSize)
{
    memset(o, 0, sizeof *o);
    for (const StrKey& k : kStrings)
        Str_Copy((char*)o + k.offset, k.size, k.def);
    for (const IntKey& k : kInts)
        IntAt(o, k.offset) = k.def;
    for (const IntKey& k : kSearchInts)
        IntAt(o, k.offset) = k.def;
    DefaultFont(&o->fontFolder, "ＭＳ Ｐゴシック", fontSize);
    DefaultFont(&o->fontTitle, "ＭＳ Ｐゴシック", fontSize);
    DefaultFont(&o->fontText, "ＭＳ ゴシック", fontSize);
    DefaultFont(&o->fontHeader, "ＭＳ Ｐゴシック", fontSize);
}

void AppOptions_Read(CProfile& ini, AppOptions* o, int fontSize)
{
    AppOptions_Defaults(o, fontSize);
    ini.SetSection("OPTION");
    for (const StrKey& k : kStrings) {
        char* field = (char*)o + k.offset;
        ini.GetString(k.key, field, k.size, k.def);
    }
    for (const IntKey& k : kInts)
        IntAt(o, k.offset) = ini.GetInt(k.key, k.def);
    ProfileFont def;
    def = o->fontFolder;
    ini.GetFont("FontFolder", &o->fontFolder, &def);
    def = o->fontTitle;
    ini.GetFont("FontTitle", &o->fontTitle, &def);
    def = o->fontText;
    ini.GetFont("FontText", &o->fontText, &def);
    def = o->fontHeader;
    ini.GetFont("FontHeader", &o->fontHeader, &def);
    char key[16];
    for (int i = 0; i < 10; ++i) {
        snprintf(key, sizeof key, "Search%03d", i);
        ini.GetString(key, o->search[i], sizeof o->search[i], "");
    }
    for (int i = 0; i < 5; ++i) {
        snprintf(key, sizeof key, "Sound%03d", i);
        ini.GetString(key, o->sound[i], sizeof o->sound[i], "");
    }
    ini.SetSection("SEARCH");
    for (const IntKey& k : kSearchInts)
        IntAt(o, k.offset) = ini.GetInt(k.key, k.def);
}

void WindowSettings_Read(CProfile& ini, WindowSettings* w, int left, int top, int right, int bottom)
{
    ini.SetSection("WINDOW");
    w->left = ini.GetInt("WindowX", left);
    w->top = ini.GetInt("WindowY", top);
    w->right = ini.GetInt("WindowW", right);
    w->bottom = ini.GetInt("WindowH", bottom);
    w->showWindow = ini.GetInt("ShowWindow", 5);
    w->folderW = ini.GetInt("FolderW", 200);
    w->titleH = ini.GetInt("TitleH", 200);
}

void AppOptions_WriteExit(CProfile& ini, const WindowSettings& w, const AppOptions& o)
{
    ini.SetSection("WINDOW");
    if (w.showWindow == 3 || w.showWindow == 6) {
        ini.SetInt("ShowWindow", w.showWindow);
    } else {
        ini.SetInt("WindowX", w.left);
        ini.SetInt("WindowY", w.top);
        ini.SetInt("WindowW", w.right);
        ini.SetInt("WindowH", w.bottom);
        ini.SetInt("ShowWindow", 5);
    }
    ini.SetInt("FolderW", w.folderW);
    ini.SetInt("TitleH", w.titleH);
    ini.SetSection("OPTION");
    ini.SetInt("ShowToolbar", o.showToolbar);
    ini.SetInt("ShowStatusbar", o.showStatusbar);
    ini.SetInt("ShowLogfile", o.showLogfile);
}

// ---- writing single OPTION keys ----

void COptionSink::SetFont(const char* prefix, const ProfileFont* font)
{
    char key[64], face[sizeof font->face];
    Str_CopyN(face, sizeof face, font->face, sizeof font->face);
    Str_Format(key, sizeof key, "%sFace", prefix);
    SetString(key, face);
    Str_Format(key, sizeof key, "%sSize", prefix);
    SetInt(key, font->size);
    Str_Format(key, sizeof key, "%sItalic", prefix);
    SetInt(key, font->italic);
    Str_Format(key, sizeof key, "%sWeight", prefix);
    SetInt(key, font->weight);
}

int AppOptions_WriteKey(COptionSink& sink, const AppOptions& o, const char* key)
{
    for (const StrKey& k : kStrings)
        if (strcmp(k.key, key) == 0) {
            sink.SetString(key, (const char*)&o + k.offset);
            return 1;
        }
    for (const IntKey& k : kInts)
        if (strcmp(k.key, key) == 0) {
            sink.SetInt(key, *(const int*)((const char*)&o + k.offset));
            return 1;
        }
    const struct {
        const char* key;
        const ProfileFont* font;
    } fonts[] = {{"FontFolder", &o.fontFolder}, {"FontTitle", &o.fontTitle}, {"FontText", &o.fontText},
                 {"FontHeader", &o.fontHeader}};
    for (const auto& f : fonts)
        if (strcmp(f.key, key) == 0) {
            sink.SetFont(key, f.font);
            return 1;
        }
    char name[16];
    for (int i = 0; i < 5; ++i) {
        snprintf(name, sizeof name, "Sound%03d", i);
        if (strcmp(name, key) == 0) {
            sink.SetString(key, o.sound[i]);
            return 1;
        }
    }
    return 0;
}
