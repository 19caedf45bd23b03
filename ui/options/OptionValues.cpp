#include "ui/options/OptionValues.h"

#include "base/sjis.h"

#include <string.h>

const OptionPageDef kOptionPages[OPTION_PAGE_COUNT] = {
    {149, 0}, {150, 0}, {156, 1}, {157, 1}, {169, 1}, {144, 1},
};

namespace {

// The keys each page writes, in the order it writes them.
const char* const kDisplayKeys[] = {
    "ColTextQuote", "ColTitleNew", "ColTitleToday", "ColTitleBlend", "ColTitlePreview",
    "ScrollLine", "ScrollWait", "ScrollPixel",
    "FontFolder", "FontTitle", "FontText", "FontHeader",
    "WindowClientEdge", "TitleBlend", "SmoothScroll", "ScrollStop", "SmartFolder", "Animation", "AutoCollapse",
};
const char* const kComposeKeys[] = {"QuoteMark", "Editor", "EditorOption", "ReplyHeader"};
const char* const kPatrolKeys[] = {
    "ThreadCount", "ProxyPort", "CloseRunWindow", "GAMultiWindow", "AutoConnect",
    "AutoDisconnect", "ProxyIE", "Perl", "Ruby", "ProxyAdr",
};
const char* const kSoundKeys[] = {"Sound000", "Sound001", "Sound002", "Sound003", "Sound004"};

template <size_t N>
void WriteKeys(COptionSink& ini, const AppOptions& o, const char* const (&keys)[N])
{
    ini.SetSection("OPTION");
    for (const char* k : keys)
        AppOptions_WriteKey(ini, o, k);
}

}  // namespace

// ---- values ----

int Option_ParseNumber(const char* text)
{
    if (!text)
        return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    long long n = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        n = n * 10 + (*text - '0');
        if (n > 2147483647LL)
            return 2147483647;
    }
    return (int)n;
}

int Option_ClampThreads(int n)
{
    return n < 1 ? 1 : n > 5 ? 5 : n;
}

void Option_CutText(char* field, size_t size, const char* text)
{
    if (!size)
        return;
    size_t i = 0;
    if (text)
        while (text[i]) {
            size_t step = IsSjisLead((unsigned char)text[i]) && text[i + 1] ? 2 : 1;
            if (i + step > size - 1)
                break;
            i += step;
        }
    if (i)
        memcpy(field, text, i);
    field[i] = 0;
}

std::string Option_FolderOf(const char* path)
{
    const char* slash = path ? Sjis_StrRChr(path, '\\') : nullptr;
    return slash ? std::string(path, (size_t)(slash - path) + 1) : std::string();
}

// ---- 表示 ----

const char* const kOptionColourNames[OPTION_COLOURS] = {
    "引用行", "今日の記事", "３日以内の記事", "新しい記事に加算する色", "プレビュー",
};

uint32_t* Option_Colour(AppOptions* o, int entry)
{
    switch (entry) {
    case 0: return &o->colTextQuote;
    case 1: return &o->colTitleToday;
    case 2: return &o->colTitleNew;
    case 3: return &o->colTitleBlend;
    case 4: return &o->colTitlePreview;
    }
    return nullptr;
}

const char* const kOptionFontNames[OPTION_FONTS] = {"フォルダ", "タイトル一覧", "メッセージ", "ヘッダー"};

ProfileFont* Option_Font(AppOptions* o, int entry)
{
    switch (entry) {
    case 0: return &o->fontFolder;
    case 1: return &o->fontTitle;
    case 2: return &o->fontText;
    case 3: return &o->fontHeader;
    }
    return nullptr;
}

void DisplayForm_Load(DisplayForm* f, const AppOptions& o)
{
    AppOptions& src = const_cast<AppOptions&>(o);
    for (int i = 0; i < OPTION_COLOURS; ++i)
        f->colours[i] = *Option_Colour(&src, i);
    for (int i = 0; i < OPTION_FONTS; ++i)
        f->fonts[i] = *Option_Font(&src, i);
    f->windowClientEdge = o.windowClientEdge;
    f->titleBlend = o.titleBlend;
    f->smoothScroll = o.smoothScroll;
    f->scrollStop = o.scrollStop;
    f->smartFolder = o.smartFolder;
    f->animation = o.animation;
    f->autoCollapse = o.autoCollapse;
    f->scrollLine = std::to_string(o.scrollLine);
    f->scrollWait = o.scrollWait;
    f->scrollPixel = o.scrollPixel;
}

void DisplayForm_Store(const DisplayForm& f, AppOptions* o, COptionSink& ini)
{
    for (int i = 0; i < OPTION_COLOURS; ++i)
        *Option_Colour(o, i) = f.colours[i];
    for (int i = 0; i < OPTION_FONTS; ++i) {
        ProfileFont* dst = Option_Font(o, i);
        *dst = f.fonts[i];
        dst->face[sizeof dst->face - 1] = 0;
    }
    o->windowClientEdge = f.windowClientEdge;
    o->titleBlend = f.titleBlend;
    o->smoothScroll = f.smoothScroll;
    o->scrollStop = f.scrollStop;
    o->smartFolder = f.smartFolder;
    o->animation = f.animation;
    o->autoCollapse = f.autoCollapse;
    o->scrollLine = Option_ParseNumber(f.scrollLine.c_str());
    o->scrollWait = f.scrollWait;
    o->scrollPixel = f.scrollPixel;
    WriteKeys(ini, *o, kDisplayKeys);
}

// ---- 作成 ----

void ComposeForm_Load(ComposeForm* f, const AppOptions& o)
{
    f->quoteMark = o.quoteMark;
    f->editor = o.editor;
    f->editorOption = o.editorOption;
    f->replyHeader = o.replyHeader;
}

int ComposeForm_Store(const ComposeForm& f, AppOptions* o, COptionSink& ini)
{
    Option_CutText(o->quoteMark, sizeof o->quoteMark, f.quoteMark.c_str());
    Option_CutText(o->editor, sizeof o->editor, f.editor.c_str());
    Option_CutText(o->editorOption, sizeof o->editorOption, f.editorOption.c_str());
    Option_CutText(o->replyHeader, sizeof o->replyHeader, f.replyHeader.c_str());
    WriteKeys(ini, *o, kComposeKeys);
    return ini.Save();
}

const char* Option_ReplyMacro(int command)
{
    static const char* const macros[] = {"%s_title%", "%s_no%", "%s_date%", "%s_time%", "%s_name%", "%s_email%"};
    return command >= 32776 && command <= 32781 ? macros[command - 32776] : nullptr;
}

// ---- 巡回 ----

void PatrolForm_Load(PatrolForm* f, const AppOptions& o)
{
    f->threadCount = std::to_string(o.threadCount);
    f->proxyPort = std::to_string(o.proxyPort);
    f->closeRunWindow = o.closeRunWindow;
    f->gaMultiWindow = o.gaMultiWindow;
    f->autoConnect = o.autoConnect;
    f->autoDisconnect = o.autoDisconnect;
    f->proxyIE = o.proxyIE;
    f->perl = o.perl;
    f->ruby = o.ruby;
    f->proxyAdr = o.proxyAdr;
}

int PatrolForm_Store(const PatrolForm& f, AppOptions* o, COptionSink& ini)
{
    o->threadCount = Option_ClampThreads(Option_ParseNumber(f.threadCount.c_str()));
    o->proxyPort = Option_ParseNumber(f.proxyPort.c_str());
    o->closeRunWindow = f.closeRunWindow;
    o->gaMultiWindow = f.gaMultiWindow;
    o->autoConnect = f.autoConnect;
    o->autoDisconnect = f.autoDisconnect;
    o->proxyIE = f.proxyIE;
    Option_CutText(o->perl, sizeof o->perl, f.perl.c_str());
    Option_CutText(o->ruby, sizeof o->ruby, f.ruby.c_str());
    Option_CutText(o->proxyAdr, sizeof o->proxyAdr, f.proxyAdr.c_str());
    WriteKeys(ini, *o, kPatrolKeys);
    return ini.Save();
}

// ---- サウンド ----

const SoundScene kSoundScenes[OPTION_SCENES] = {
    {"起動", 3}, {"終了", 4}, {"巡回開始", 0}, {"巡回終了(未読無し)", 1}, {"巡回終了(未読有り)", 2},
};
const char kSoundNone[] = "(なし)";

void SoundForm_Load(SoundForm* f, const AppOptions& o)
{
    for (int i = 0; i < OPTION_SCENES; ++i)
        f->paths[i] = o.sound[kSoundScenes[i].sound];
}

int SoundForm_Store(const SoundForm& f, AppOptions* o, COptionSink& ini)
{
    for (int i = 0; i < OPTION_SCENES; ++i) {
        char* field = o->sound[kSoundScenes[i].sound];
        Option_CutText(field, sizeof o->sound[0], f.paths[i].c_str());
    }
    WriteKeys(ini, *o, kSoundKeys);
    return ini.Save();
}

std::string Option_SoundChoice(int index, const char* entry)
{
    return index <= 0 || !entry ? std::string() : std::string(entry);
}

// ---- その他 ----

void OtherForm_Load(OtherForm* f, const AppOptions& o, int fileUseIconTray)
{
    f->partViewRead = o.partViewRead;
    f->normalMenu = o.normalMenu;
    f->useIconTray = fileUseIconTray;
}

void OtherForm_Store(const OtherForm& f, AppOptions* o, COptionSink& ini)
{
    o->partViewRead = f.partViewRead;
    o->normalMenu = f.normalMenu;
    ini.SetSection("OPTION");
    AppOptions_WriteKey(ini, *o, "PartViewRead");
    AppOptions_WriteKey(ini, *o, "NormalMenu");
    ini.SetInt("UseIconTray", f.useIconTray);
}
