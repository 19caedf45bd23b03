// The keyboard page of the option sheet (dialog 169) and its add-key dialog
// (dialog 176). The option sheet adds the page with this procedure; the page
// saves the three key files and rebuilds the accelerators when it is applied.
#pragma once
#include <windows.h>

INT_PTR CALLBACK KeyPage_DlgProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
