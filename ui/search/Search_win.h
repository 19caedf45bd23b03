// The search beyond what the main window calls (ui/shell/Views.h): the
// library's state and the criteria, for the search's own files and tests.
#pragma once
#include "ui/search/RegexCache.h"
#include "ui/search/SearchMatch.h"

#include <windows.h>

int Search_LibraryPresent();
CPatternCache& Search_PatternCache();
// The criteria in use.
SearchSettings& Search_Settings();
// The search dialog (resource 159) over a copy of the criteria; OK stores
// the copy (the text at the top of its history) and returns IDOK.
INT_PTR Search_Dialog(HWND owner, SearchSettings* settings, int libraryPresent);
