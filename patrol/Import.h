// Import of plug-in output: after a plug-in has run, the ".zv$" files of its
// board folder are merged into their stores and the ".zvw" hand-over files
// are settled into the stores and "送信済み.zvt".
//
// Nothing fetched or handed over is dropped: an output file is deleted only
// once its articles are saved where they belong; when a save fails the file
// stays (or keeps only what could not be saved) for the next import.
#pragma once

class CStoreNotify;

// Imports the board folder (ending with a path separator). notify may be
// nullptr. Returns the number of new articles saved into the stores (0 or
// more); articles returned from ".zvw" files are not counted.
int Patrol_Import(const char* boardFolder, CStoreNotify* notify);

// 1 when the board folder holds output or hand-over files that no import has
// taken in yet (an earlier import could not save their stores).
int Import_Pending(const char* boardFolder);

// The store that an output or hand-over file belongs to: the same path with
// its last character made "t".
void Import_StorePath(char* out, unsigned size, const char* file);

// Extension test: 1 when the name's extension (from its last dot) equals ext,
// compared without regard to case.
int Import_HasExt(const char* name, const char* ext);
