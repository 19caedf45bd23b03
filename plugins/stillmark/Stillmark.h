// zv_Stillmark: boards that are only opened in the browser. The plug-in
// fetches nothing; it rewrites "zeva_BBS.ini" with the section DIALOG first
// and BASIC second, and in dialog mode (the exact argument "i") puts its one
// dialog entry into DIALOG. Lines before the first section and any other
// sections are kept behind them as they were.
#pragma once
#include <stddef.h>
#include <string>

// The rewritten file for the given old content (nullptr/0: no file).
std::string Stillmark_Rewrite(const char* data, size_t size, bool dialog);

// Runs in the board folder; returns the exit code (always 0).
int Stillmark_Run(const char* arg, const char* folder);
