// zv_ZVT's converter: the board answers in ZVT already, so the normalised
// text is saved as "001.zv$" unchanged; the plug-in only reads the posting
// address ("#UU:"), the pointer kind ("#RP:DATE") and the next-read pointer.
#pragma once
#include <stddef.h>
#include <string>

class CZvSink;
class CBoardSettings;
struct PluginDef;

struct ZvtScan {
    bool hasUpUrl = false;
    std::string upUrl;      // at most 300 bytes
    bool dateKind = false;
    std::string pointer;    // "" when the answer has no record
};

// Reads the posting address, pointer kind and pointer from text[0..len).
void ZvtConv_Scan(const char* text, size_t len, ZvtScan* out);

// Writes "001.zv$"; when that worked, scans the text. Returns 1 if the file
// was written ("001.zv$ の作成ができません" is printed otherwise).
int ZvtConv_Convert(const char* text, size_t len, CZvSink& sink, ZvtScan* out);

extern const PluginDef g_zvtPlugin;
