// The option sheet's pages as forms: what each page shows, how the texts of
// its controls become settings (numbers, clamps, cuts), and which keys of
// zeva.ini each page writes and when the file goes to disk. Portable; the
// dialogs (the *_win.cpp files beside) only move values in and out of the
// controls.
#pragma once
#include "ui/shell/AppOptions.h"

#include <stddef.h>
#include <stdint.h>
#include <string>

enum {
    OPTION_PAGE_DISPLAY = 0,   // 表示
    OPTION_PAGE_COMPOSE = 1,   // 作成
    OPTION_PAGE_PATROL = 2,    // 巡回
    OPTION_PAGE_SOUND = 3,     // サウンド
    OPTION_PAGE_KEYS = 4,      // キーボード
    OPTION_PAGE_OTHER = 5,     // その他
    OPTION_PAGE_COUNT = 6,
};

struct OptionPageDef {
    int resource;        // dialog template, also the page's help context
    int applyOnLeave;    // leaving the page applies it, as OK does
};
// In tab order (the index is the page's place in the sheet).
extern const OptionPageDef kOptionPages[OPTION_PAGE_COUNT];

// ---- values ---------------------------------------------------------------

// A number typed into a field, read as an unsigned decimal: leading blanks
// skipped, digits up to the first other byte; no digits give 0; numbers
// beyond 2147483647 are held there.
int Option_ParseNumber(const char* text);
// Patrol threads are held within 1 ... 5.
int Option_ClampThreads(int n);
// Copies text into a field of size bytes (at most size - 1 of text),
// without splitting a double-byte character.
void Option_CutText(char* field, size_t size, const char* text);
// The folder part of a path (through its last backslash); "" without one.
std::string Option_FolderOf(const char* path);

// ---- page 表示 ----------------------------------------------------------------

enum { OPTION_COLOURS = 5, OPTION_FONTS = 4 };
// The colour list's entries in order and the fields they edit.
extern const char* const kOptionColourNames[OPTION_COLOURS];
uint32_t* Option_Colour(AppOptions* o, int entry);
// The font list's entries in order and the fields they edit.
extern const char* const kOptionFontNames[OPTION_FONTS];
ProfileFont* Option_Font(AppOptions* o, int entry);

struct DisplayForm {
    uint32_t colours[OPTION_COLOURS];   // working copies, list order
    ProfileFont fonts[OPTION_FONTS];
    int windowClientEdge, titleBlend, smoothScroll, scrollStop, smartFolder, animation, autoCollapse;
    std::string scrollLine;             // the field's text
    int scrollWait;                     // slider 0 ... 200
    int scrollPixel;                    // slider 1 ... 10
};
void DisplayForm_Load(DisplayForm* f, const AppOptions& o);
// Apply: into the settings in memory and section OPTION (no save: the file
// goes to disk with its next save).
void DisplayForm_Store(const DisplayForm& f, AppOptions* o, COptionSink& ini);

// ---- page 作成 ----------------------------------------------------------------

struct ComposeForm {
    std::string quoteMark, editor, editorOption, replyHeader;
};
void ComposeForm_Load(ComposeForm* f, const AppOptions& o);
// Apply: texts cut to their fields, written and saved at once. Returns what
// the save returned.
int ComposeForm_Store(const ComposeForm& f, AppOptions* o, COptionSink& ini);
// The macro the reply-header popup's command inserts, or nullptr.
const char* Option_ReplyMacro(int command);

// ---- page 巡回 ----------------------------------------------------------------

struct PatrolForm {
    std::string threadCount, proxyPort;   // the fields' texts
    int closeRunWindow, gaMultiWindow, autoConnect, autoDisconnect, proxyIE;
    std::string perl, ruby, proxyAdr;
};
void PatrolForm_Load(PatrolForm* f, const AppOptions& o);
int PatrolForm_Store(const PatrolForm& f, AppOptions* o, COptionSink& ini);

// ---- page サウンド --------------------------------------------------------------

enum { OPTION_SCENES = 5 };
struct SoundScene {
    const char* name;   // the list's text
    int sound;          // index of the Sound%03d key
};
extern const SoundScene kSoundScenes[OPTION_SCENES];
extern const char kSoundNone[];   // "(なし)", the combo's first entry

struct SoundForm {
    std::string paths[OPTION_SCENES];   // per scene, list order
};
void SoundForm_Load(SoundForm* f, const AppOptions& o);
int SoundForm_Store(const SoundForm& f, AppOptions* o, COptionSink& ini);
// The path a choice of the combo's list gives: the first entry empties it.
std::string Option_SoundChoice(int index, const char* entry);

// ---- page その他 ----------------------------------------------------------------

struct OtherForm {
    int partViewRead, normalMenu, useIconTray;
};
// useIconTray shows the value of the settings file, not the running one.
void OtherForm_Load(OtherForm* f, const AppOptions& o, int fileUseIconTray);
// PartViewRead and NormalMenu in memory (plain context menus at once);
// UseIconTray only in the file (read at the next start); no save.
void OtherForm_Store(const OtherForm& f, AppOptions* o, COptionSink& ini);
