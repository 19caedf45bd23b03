// Import of plug-in output: after a plug-in has run, the ".zv$" files of its
// board folder are merged into their stores and the ".zvw" hand-over files
// are settled into the stores and "送信済み.zvt".
//
// Nothing fetched or handed over is dropped: an output file is deleted only
// once its articles are saved where they belong; when a save fails the file
// stays (or keeps only what could not be saved) for the next import.
#pragma once

class CStoreNotify;
class CSubj;

// Imports the board folder (ending with a path separator), after removing
// the temporary files that writers no longer running left there. notify may
// be nullptr. Returns the number of new articles saved into the stores (0 or
// more); articles returned from ".zvw" files are not counted.
int Patrol_Import(const char* boardFolder, CStoreNotify* notify);

// 1 when the board folder holds output or hand-over files that no import has
// taken in yet (an earlier import could not save their stores).
int Import_Pending(const char* boardFolder);

// The store that an output or hand-over file belongs to: the same path with
// its last character made "t".
void Import_StorePath(char* out, unsigned size, const char* file);

// The first article of store that is record i of from (number, parent, date,
// time, title, name and text alike; marks aside), or -1. A user's article
// that a failed save left in two files is settled by it, never twice.
int Import_FindSame(CSubj& store, CSubj& from, int i);

// Extension test: 1 when the name's extension (from its last dot) equals ext,
// compared without regard to case.
int Import_HasExt(const char* name, const char* ext);
