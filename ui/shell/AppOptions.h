// AppOptions: the program settings of "zeva.ini" in memory, read once at
// start-up. Section WINDOW is read at start and written at exit; OPTION and
// SEARCH are read at start (the option pages and the search dialog write
// their keys themselves).
#pragma once
#include "store/Profile.h"

struct AppOptions {
    // OPTION
    char editor[260];
    char editorOption[260];
    char replyHeader[260];
    char perl[260];
    char ruby[260];
    char quoteMark[80];
    char proxyAdr[99];
    int proxyPort;
    int proxyIE;
    int threadCount;
    int closeRunWindow;
    int gaMultiWindow;
    int autoConnect;
    int autoDisconnect;
    int titleBlend;
    int partViewRead;
    int windowClientEdge;
    int smoothScroll;
    int scrollStop;
    int scrollLine;
    int scrollWait;
    int scrollPixel;
    int smartFolder;
    int animation;
    int autoCollapse;
    int useIconTray;
    uint32_t colTextQuote;
    uint32_t colTitleNew;
    uint32_t colTitleToday;
    uint32_t colTitleBlend;
    uint32_t colTitlePreview;
    int showToolbar;
    int showStatusbar;
    int showLogfile;
    int normalMenu;
    ProfileFont fontFolder, fontTitle, fontText, fontHeader;
    char search[10][260];   // Search000 ... Search009, newest first
    char sound[5][260];     // Sound000 ... Sound004
    // SEARCH
    int enableCap;
    int enableRegExp;
};

// Defaults of every key; fontSize is the fonts' default LOGFONT height
// (-(9 * vertical pixels per inch / 72), rounded as MulDiv rounds).
void AppOptions_Defaults(AppOptions* o, int fontSize);
// Reads sections OPTION and SEARCH; a missing key gives its default.
void AppOptions_Read(CProfile& ini, AppOptions* o, int fontSize);
// The default font height for a screen of this many pixels per inch.
int AppOptions_DefaultFontSize(int pixelsPerInch);

// Section WINDOW.
struct WindowSettings {
    int left, top, right, bottom;   // the restored rectangle (edges)
    int showWindow;                 // 3 maximised, 6 minimised, 5 normal
    int folderW, titleH;
};
// Reads WINDOW; the rectangle's defaults are the given current placement.
void WindowSettings_Read(CProfile& ini, WindowSettings* w, int left, int top, int right, int bottom);

// What the program writes at exit: WINDOW (ShowWindow 3 or 6 alone when the
// window is maximised or minimised, else the rectangle and 5; then FolderW,
// TitleH) and OPTION's ShowToolbar, ShowStatusbar and ShowLogfile.
void AppOptions_WriteExit(CProfile& ini, const WindowSettings& w, const AppOptions& o);

// ---- writing single OPTION keys (the option pages) ----
// Where the option pages put their keys: zeva.ini's profile in the program,
// a recorder in tests.
class COptionSink {
public:
    virtual ~COptionSink() {}
    virtual void SetSection(const char* name) = 0;
    virtual void SetString(const char* key, const char* value) = 0;
    virtual void SetInt(const char* key, int value) = 0;
    // "<prefix>Face", "<prefix>Size", "<prefix>Italic", "<prefix>Weight".
    virtual void SetFont(const char* prefix, const ProfileFont* font);
    // Writes the file to disk; 1 on success.
    virtual int Save() = 0;
};

// The sink over a profile (zeva.ini in memory).
class CProfileSink : public COptionSink {
public:
    explicit CProfileSink(CProfile& ini) : m_ini(ini) {}
    void SetSection(const char* name) override { m_ini.SetSection(name); }
    void SetString(const char* key, const char* value) override { m_ini.SetString(key, value); }
    void SetInt(const char* key, int value) override { m_ini.SetInt(key, value); }
    void SetFont(const char* prefix, const ProfileFont* font) override { m_ini.SetFont(prefix, font); }
    int Save() override { return m_ini.Save(); }

private:
    CProfile& m_ini;
};

// Writes the named key of section OPTION (the section must be chosen) with
// its value in o: a string, number, colour or switch of the table, a font
// ("FontFolder" ... "FontHeader": its four keys) or "Sound000" ... "Sound004".
// 0 for a name that is no OPTION key.
int AppOptions_WriteKey(COptionSink& sink, const AppOptions& o, const char* key);
