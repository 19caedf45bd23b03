// The main window's entry points and the functions its files share.
#pragma once
#include "ui/shell/Shell.h"

int MainWindow_Register(HINSTANCE inst);
HWND MainWindow_Create(HINSTANCE inst, int unattended);
// ShowWindow of section WINDOW (5 when missing).
int MainWindow_StartShowCommand();

// ShellCommands_win.cpp
// 1 when the command was handled here (else the default procedure runs).
int Shell_OnCommand(HWND wnd, WPARAM wp, LPARAM lp);
void Shell_OnInitMenuPopup(HMENU popup);
void Shell_OpenItem(const OpenItemRequest* request);
// WinHelp on "zeva.hlp>ref" (context, or the contents for 0); the manual
// "zeva.html" beside the program when there is no help file.
void Shell_OpenHelp(int context);
