// What the option sheet's pages share: the handling every page has (start
// page, centring, context help, apply on leaving) around each page's own
// procedures, and small control helpers.
#pragma once
#include "ui/options/OptionValues.h"

#include <windows.h>

#include <string>

struct OptionPageProcs {
    void (*init)(HWND page);    // controls from the settings in memory
    void (*apply)(HWND page);   // settings from the controls
    // Any other message; TRUE when handled.
    INT_PTR (*message)(HWND page, UINT msg, WPARAM wp, LPARAM lp);
};
INT_PTR OptionPage_Handle(int index, const OptionPageProcs& procs, HWND page, UINT msg, WPARAM wp, LPARAM lp);

// Enables the sheet's Apply button.
void OptionPage_Changed(HWND page);
std::string OptionPage_Text(HWND page, int id);
int OptionPage_Checked(HWND page, int id);
void OptionPage_Check(HWND page, int id, int on);
// The file chooser over path (its start name, then the choice): an existing
// file, no read-only box, resizable. A start name the chooser refuses opens
// it again with an empty name. 1 when a file was chosen.
int OptionPage_ChooseFile(HWND owner, const char* filter, char* path, size_t size);

INT_PTR CALLBACK DisplayPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK ComposePage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK PatrolPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK SoundPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK OtherPage_Proc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
