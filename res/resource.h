// Resource ids of zeva.exe, in sections. Ids given by the program's file
// formats and command tables are kept exactly; the others are ours.
#pragma once

// ---- dialogs ---------------------------------------------------------------
#define IDD_PATROL 145   // "ZEVA - 巡回", the patrol's progress window

// ---- controls --------------------------------------------------------------
#define IDC_PATROL_LIST 1201   // the progress list of IDD_PATROL ("BBS", "結果")
// IDD_PATROL's button is IDCANCEL: "キャンセル", then "閉じる".

// ---- menus -----------------------------------------------------------------

// ---- commands --------------------------------------------------------------
// Patrols (PatrolKind 1, 0, 2, 3).
#define ID_PATROL_CURRENT 32778     // 現在のフォルダのみ巡回
#define ID_PATROL_ALL 32779         // 通常巡回
#define ID_PATROL_SEND 32862        // 送信有りのフォルダを巡回
#define ID_PATROL_TEMPORARY 32877   // 一時巡回のみ巡回
// Sent to the main window by the patrol.
#define ID_PATROL_STORE_LOCK 32957     // a store is about to be rewritten (lParam: path)
#define ID_PATROL_STORE_UNLOCK 32958   // it was rewritten (high word of wParam: articles changed)
#define ID_PATROL_END 32960            // the progress window is closing

// ---- strings ---------------------------------------------------------------

// ---- bitmaps ---------------------------------------------------------------
