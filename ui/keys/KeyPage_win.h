// The keyboard page of the option sheet (dialog 169) and its add-key dialog
// (dialog 176). The option sheet adds the page with this procedure; the page
// saves the three key files and rebuilds the accelerators when it is applied.
#pragma once
#include <windows.h>

#include <stdint.h>

INT_PTR CALLBACK KeyPage_DlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);

// Where the page finds the key files and whom it tells what happened. The
// shell sets it once at start; a page reads it when it opens.
struct KeyPageHost {
    const char* dataFolder = "";   // the key files' folder, ending with a backslash
    // The three files were written (or left as they were where that failed):
    // rebuild the accelerators, and the menus' key texts, from the files.
    void (*keysSaved)(void* ctx) = nullptr;
    // The page became the sheet's active page (index in the sheet): the
    // start page of the next opening.
    void (*entered)(void* ctx, int pageIndex) = nullptr;
    void* ctx = nullptr;
};
// Copies host (its folder too) for the pages opened from now on.
void KeyPage_SetHost(const KeyPageHost& host);

// The add-key dialog alone, modal over owner: 1 and the chosen key and flags
// on OK, 0 on Cancel.
int AddKey_Run(HWND owner, uint16_t* key, uint8_t* flags);
