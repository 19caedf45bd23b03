// zv_Orbiloom's converter: turns an "rnall.cgi" listing (separator lines,
// a header line per article, an optional reply line, the author line and the
// body) into one ".zv$" file per category.
#pragma once
#include <stddef.h>

class CZvSink;
struct PluginDef;

struct OrbiloomResult {
    int serial = 0;      // "(host)Serial-number:"; 0 when absent
    int articles = 0;    // records written
    int files = 0;       // files created
    bool stopped = false;   // a file could not be created
};

// The separator line that precedes each article.
extern const char kOrbiloomSeparator[];

// Converts the normalised text[0..len). Articles of a category that recurs
// later in the listing are appended to the file the category already has.
void OrbiloomConv_Convert(const char* text, size_t len, CZvSink& sink, OrbiloomResult* out);

extern const PluginDef g_orbiloomPlugin;
