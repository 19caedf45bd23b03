// Small window helpers shared by the dialogs (Windows only).
#pragma once
#include <windows.h>

// Centres wnd over owner's top-level window, or over the work area when there
// is no owner or it is minimised; never past the screen's top-left corner.
void Wnd_CentreOver(HWND wnd, HWND owner);
