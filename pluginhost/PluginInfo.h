// Plug-in discovery: where a board's plug-in lives, what kind it is, what a
// script says about itself, which plug-ins are installed, and which type a
// new board most likely needs. Portable; the version-block reader and the
// runner are in the Win32 files beside this one.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

enum PluginKind {
    PLUGIN_NONE = 0,   // kind could not be told from the name
    PLUGIN_EXE = 1,
    PLUGIN_PERL = 2,
    PLUGIN_RUBY = 3,
};

// One looked-up plug-in. path holds the type name (or a file name or path)
// on input and the full path of the plug-in file after resolution.
struct PluginInfo {
    char path[260];
    char folder[260];
    PluginKind kind;
    std::string internalName;   // executables: the version block's internal name
    std::string target;         // the board or script served ("対応")
    std::string author;         // "作者"
    std::string version;        // "バージョン"
    std::string comments;       // executables only

    PluginInfo();
    void ClearText();
};

// Caps of the text a script header may fill (buffer capacities less one).
enum {
    PLUGIN_SCRIPT_VERSION_MAX = 99,
    PLUGIN_SCRIPT_AUTHOR_MAX = 99,
    PLUGIN_SCRIPT_TARGET_MAX = 100,
    PLUGIN_SCRIPT_LINES = 20,
    PLUGIN_SCRIPT_LINE_BYTES = 200,
};

// Kind by case-blind search for ".exe", ".pl", ".rb" anywhere in name, a
// later match overriding an earlier one; PLUGIN_NONE when none is found.
PluginKind Plugin_KindFromName(const char* name);

// Resolves a type name, "zv_" file name or path against the plug-in folder
// (which ends with a separator). Never fails: an unknown type name resolves
// to its ".exe" file.
void Plugin_Resolve(PluginInfo* info, const char* name, const char* pluginFolder);

// Script header: reads the first lines of info->path and fills version,
// author and target. A file that can't be opened leaves them empty. Returns 1.
int Plugin_ReadScriptInfo(PluginInfo* info);
// The same rules applied to text already in memory (at most 20 lines of at
// most 200 bytes are looked at).
void Plugin_ParseScriptHeader(const char* text, size_t size, PluginInfo* info);

// Names of the plug-in files in the folder ("zv_*.*" ending in .exe, .pl or
// .rb), in the order the system lists them.
int Plugin_ListFiles(const char* pluginFolder, std::vector<std::string>& fileNames);
// The type name of a plug-in file name: without "zv_" and the extension.
std::string Plugin_TypeName(const char* fileName);
// Type names of the installed plug-ins, for the board settings' choice box
// (which sorts them).
int Plugin_ListTypes(const char* pluginFolder, std::vector<std::string>& typeNames);

// One line of the version box: "%-26s%-10s%s\r\n" (file name, version, author).
void Plugin_AppendVersionLine(std::string& out, const char* fileName, const char* version,
                              const char* author);

// Address fragment to type name; the table is closed by an empty row.
struct BoardTypeHint {
    const char* fragment;
    const char* typeName;
};
enum { BOARD_TYPE_HINT_ROWS = 26 };
extern const BoardTypeHint g_BoardTypeHints[BOARD_TYPE_HINT_ROWS + 1];

// Picks the type for a board whose LIB is not installed. clip is the
// clipboard text (nullptr: none), names the sorted type names. When LIB and
// URL are both empty and the clipboard holds an address, *urlToStore gets it
// (the caller writes it as the board's URL at once); otherwise it is cleared.
// Returns the index into names, or -1 when names is empty.
int Plugin_PreselectType(const char* clip, const char* lib, const char* url,
                         const std::vector<std::string>& names, std::string* urlToStore);

// Moves stray plug-ins ("zv_*", "*.pl", "*.rb") from the program folder into
// the plug-in folder, replacing files of the same name there; a file is
// deleted only after its copy succeeded. Returns the number moved.
int Plugin_MoveStrays(const char* programFolder, const char* pluginFolder);

// Case-blind substring search that steps over double-byte characters.
const char* Sjis_StrIStr(const char* s, const char* pattern);

// Debugging helper timing one step: SimpleProfiler(true) starts the clock,
// SimpleProfiler(false) writes "SimpleProfiler() : %d\n" (elapsed ms) to the
// debug output.
void SimpleProfiler(bool start);
