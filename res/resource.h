// Resource ids of zeva.exe, in sections. Ids given by the program's file
// formats and command tables are kept exactly; the others are ours.
#pragma once

// ---- dialogs ---------------------------------------------------------------
#define IDD_ABOUT 103    // "バージョン情報"
#define IDD_PATROL 145   // "ZEVA - 巡回", the patrol's progress window

// ---- controls --------------------------------------------------------------
#define IDC_PATROL_LIST 1201   // the progress list of IDD_PATROL ("BBS", "結果")
// IDD_PATROL's button is IDCANCEL: "キャンセル", then "閉じる".
#define IDC_ABOUT_WEB 1006       // "Web": sends ID_HELP_HOMEPAGE
#define IDC_ABOUT_VERSION 1050   // "version %s"
#define IDC_ABOUT_PLUGINS 1058   // the plug-in list
#define IDC_ABOUT_COMMENT 1079   // the program's version comment
#define IDC_ABOUT_MAIL 1119      // "e-mail": sends ID_HELP_MAIL

// Children of the main window.
#define IDC_STATUSBAR 110
#define IDC_TOOLBAR 111
#define IDC_FOLDERVIEW 112
#define IDC_TEXTVIEW 113
#define IDC_TITLEVIEW 114
#define IDC_HEADERVIEW 120

// ---- menus -----------------------------------------------------------------
#define IDM_MAIN 109          // the menu bar
#define IDM_FOLDER_CONTEXT 140
#define IDM_TEXT_CONTEXT 146
#define IDM_TITLE_CONTEXT 154  // the 記事 menu

// ---- commands --------------------------------------------------------------
// One id space for menus, toolbar, key files and the patrol's commands: the
// values are stored in the key files and must never change.
#define ID_APP_ABOUT 104              // バージョン情報
#define ID_APP_EXIT 105               // 終了
#define ID_NEXT_ARTICLE 115           // 次の記事
#define ID_PREV_ARTICLE 116           // 前の記事
#define ID_READ_ON 117                // 読み進める
#define ID_SHOW_WITH_PARENT 121       // 親記事の内容をメッセージに追加表示
#define ID_COPY 32771                 // コピー
#define ID_OPTIONS 32773              // オプション
#define ID_NEW_FOLDER 32775           // フォルダ作成
#define ID_DELETE_FILE 32777          // ファイル削除
// Patrols (PatrolKind 1, 0, 2, 3).
#define ID_PATROL_CURRENT 32778     // 現在のフォルダのみ巡回
#define ID_PATROL_ALL 32779         // 通常巡回
#define ID_PATROL_SEND 32862        // 送信有りのフォルダを巡回
#define ID_PATROL_TEMPORARY 32877   // 一時巡回のみ巡回
#define ID_SEARCH 32780               // 検索
#define ID_FOLDER_PROPERTIES 32782    // プロパティ (folder)
#define ID_SAVE_AS 32795              // 名前を付けて保存 (no action)
#define ID_REFRESH 32798              // 最新の情報に更新
#define ID_EXPLORER 32802             // エクスプローラ起動
#define ID_NEXT_WINDOW 32803          // 次のウインドウへ
#define ID_PREV_WINDOW 32804          // 前のウインドウへ
#define ID_RENAME 32807               // 名前の変更
#define ID_SELECT_ALL 32809           // すべて選択
#define ID_NEW_ARTICLE 32814          // 新規作成
#define ID_REPLY 32815                // 返信
#define ID_EDIT 32816                 // 編集
#define ID_SEND_NEXT 32818            // 次回送信
#define ID_MARK_UNREAD 32820          // 未読
#define ID_MARK_READ 32821            // 既読
#define ID_HOLD 32831                 // 送信保留
#define ID_DELETE_ARTICLE 32832       // 削除 (article)
#define ID_HELP_CONTENTS 32834        // 目次
#define ID_IMPORT 32842               // インポート
#define ID_UNREAD_DOWN 32847          // 下方向に未読を検索
#define ID_UNREAD_UP 32848            // 上方向に未読を検索
#define ID_VIEW_STATUSBAR 32850       // ステータスバー
#define ID_VIEW_TOOLBAR 32851         // ツールバー
#define ID_READ_ON_UNREAD 32852       // 未読を読み進める
#define ID_ARTICLE_PROPERTIES 32853   // プロパティ (article)
#define ID_SORT_TREE 32855            // ツリー
#define ID_SORT_NUMBER 32856          // 番号順
#define ID_SORT_TITLE 32857           // タイトル順
#define ID_SORT_AUTHOR 32858          // 発言者名順
#define ID_SORT_DATE 32859            // 日付順
#define ID_VIEW_LOGFILES 32860        // ログファイル表示
#define ID_INTERNET_OPTIONS 32861     // インターネットのプロパティ
#define ID_OPEN_URL 32863             // URLを開く
#define ID_HANGUP 32865               // ダイヤルアップ切断
#define ID_HELP_HOMEPAGE 32866        // ZEVAホームページへ
#define ID_HELP_MAIL 32867            // 作者へメール
#define ID_COPY_HOMEPAGE 32871        // ホームページ (copy)
#define ID_MAIL_AUTHOR 32873          // メール送信
#define ID_COPY_EMAIL 32874           // e-mail (copy)
#define ID_OPEN_HOMEPAGE 32875        // ホームページ表示
#define ID_VIEW_FOLDERVIEW 32879      // フォルダビュー表示
#define ID_PROPERTIES 32880           // プロパティ (by focus)
#define ID_CTRL_INSERT 32882          // default key Ctrl+Insert (no action)
#define ID_BACK 32883                 // 戻る
#define ID_SEARCH_READ_ON 32884       // 検索し読み進める
#define ID_SEARCH_UP 32885            // 上方向に検索
#define ID_SEARCH_DOWN 32886          // 下方向に検索
#define ID_DELETE_KEY 32887           // Delete key (by focus)
#define ID_MAX_TITLEVIEW 32890        // タイトルビューを縦方向に最大化
#define ID_MAX_TEXTVIEW 32891         // テキストビューを縦方向に最大化
#define ID_SCROLL_BACK 32892          // 逆スクロール
#define ID_LINE_DOWN 32893            // 1行スクロールダウン
#define ID_LINE_UP 32894              // 1行スクロールアップ
#define ID_FOLDER_CHECK 32895         // フォルダにチェックを付ける
#define ID_PATROL_MARK 32896          // 巡回指定
#define ID_PATROL_UNMARK 32897        // 巡回指定解除
#define ID_VIEWFLAG_TITLE 32933       // VIEWFLAG 8
#define ID_OPEN_PLUGIN_FOLDER 32935   // プラグインフォルダを開く
#define ID_OPEN_FOLDER 32936          // フォルダを開く
#define ID_GO_PARENT 32937            // 親記事へ
#define ID_FORWARD 32938              // 進む
#define ID_LABEL_NONE 32940           // カラーラベル なし; 32941 ... 32956 the colours
#define ID_LABEL_LAST 32956
// Sent to the main window by the patrol.
#define ID_PATROL_STORE_LOCK 32957     // a store is about to be rewritten (lParam: path)
#define ID_PATROL_STORE_UNLOCK 32958   // it was rewritten (high word of wParam: articles changed)
#define ID_PATROL_END 32960            // the progress window is closing
#define ID_HTML_VIEW 32961            // HTMLビュー
#define ID_WINDOW_MINIMIZE 32962      // 最小化
#define ID_WINDOW_MAXIMIZE 32963      // 最大化
#define ID_WINDOW_RESTORE 32964       // 元のサイズに戻す
#define ID_VIEWFLAG_NUMBER 32965      // VIEWFLAG 2
#define ID_VIEWFLAG_PARENT 32966      // VIEWFLAG 4
#define ID_VIEWFLAG_PREVIEW 32967     // VIEWFLAG 0x10
#define ID_VIEWFLAG_STATE 32968       // VIEWFLAG 0x40
#define ID_VIEWFLAG_ICON 32969        // VIEWFLAG 0x20
#define ID_OPEN_SENT_LOG 32970        // 送信時ログを開く
#define ID_OPEN_ERROR_LOG 32973       // エラーログを開く

// ---- strings ---------------------------------------------------------------
#define IDS_APP_TITLE 103   // "ZEVA": the main window's title
#define IDS_APP_CLASS 109   // "ZEVA": the main window's class
// Menu help: the string of a command's id is its status-bar text.

// ---- bitmaps ---------------------------------------------------------------
#define IDB_TOOLBAR 155      // toolbar and menu icons, 16x16 cells (16 bits per pixel and more)
#define IDB_TOOLBAR16 156    // the same in 16 colours

// ---- title view ----
#define IDB_TITLEVIEW 180     // title view icons, 14x14 cells (16 bits per pixel and more)
#define IDB_TITLEVIEW16 181   // the same in 16 colours

// ---- icons and cursors -----------------------------------------------------
#define IDI_ZEVA 107
#define IDC_CUR_FOLDER_COPY 105   // folder drag, copy
#define IDC_CUR_DRAG 142          // the drag image
#define IDC_CUR_TITLE_COPY 143    // title drag, copy
#define IDC_CUR_TITLE_MOVE 144    // title drag, move

// ---- folder properties -----------------------------------------------------
// The sheet "フォルダ プロパティ": its three pages and their controls.
#define IDD_SETTINGS_BASIC 179    // "基本設定"
#define IDD_SETTINGS_PATROL 143   // "巡回設定"
#define IDD_SETTINGS_DETAIL 153   // "詳細"
#define IDC_SET_PLUGIN 1400       // the plug-in choice box
#define IDC_SET_HELP 1401         // the plug-in's help
#define IDC_SET_TARGET 1402       // "対応"
#define IDC_SET_AUTHOR 1403       // "作者"
#define IDC_SET_VERSION 1404      // "バージョン"
#define IDC_SET_COMMENTS 1405     // "コメント"
#define IDC_SET_PATROL 1406       // "通常巡回対象とする" (BBSFOLDER bit 0)
#define IDC_SET_TEMPORARY 1407    // "一時巡回" (BBSFOLDER bit 1)
#define IDC_SET_LABEL0 1410       // labels of the ten fields: 1410 ... 1419
#define IDC_SET_FIELD0 1420       // the ten fields URL ... PASS: 1420 ... 1429
#define IDC_SET_ITEMS 1430        // the detail items (one column "リスト")
#define IDC_SET_CHARSET 1431      // "S-JIS" or "EUC"
#define IDC_SET_SIGNATURE 1432    // the text of "sign.ini"

// ---- text view ---------------------------------------------------------------
// The article properties dialog and its controls.
#define IDD_ARTICLE_PROPS 151          // "記事プロパティ"
#define IDC_AP_NO 1301                 // number (read-only for an identifier)
#define IDC_AP_PNO 1302                // parent number (likewise)
#define IDC_AP_DATE 1303
#define IDC_AP_TIME 1304
#define IDC_AP_NAME 1305
#define IDC_AP_TITLE 1306
#define IDC_AP_POST 1307               // the article's own new-article template
#define IDC_AP_FOLLOW 1308             // and its follow-up template
#define IDC_AP_UNREAD 1309             // 未読 (N)
#define IDC_AP_UNSENT 1310             // 作成記事 (U)
#define IDC_AP_HELD 1311               // 送信保留 (B)
#define IDC_AP_VIRTUAL 1312            // 仮想記事 (V)
// ---- end of text view --------------------------------------------------------

// ---- folder view ----------------------------------------------------------
#define IDD_NEW_FOLDER 141          // "新しいフォルダ"
#define IDC_NEW_FOLDER_NAME 1000    // its name field (up to 259 bytes)
#define IDB_FOLDERVIEW 149          // folder view images, 16x16 cells (16 bits per pixel and more)
#define IDB_FOLDERVIEW16 139        // the same in 16 colours
#define IDB_FOLDERSTATE 168         // tick states, 12x12 cells
// ---- end of folder view ----

// ---- search ----------------------------------------------------------------
#define IDD_SEARCH 159                 // "検索"
#define IDC_SEARCH_TEXT 1099           // the search text, the history in its list
#define IDC_SEARCH_CASE 1100           // case sensitive
#define IDC_SEARCH_FOLDER_ONLY 1061    // this folder only
#define IDC_SEARCH_REGEXP 1062         // regular expression (disabled without the library)
#define IDC_SEARCH_UP 1102             // "上へ"
#define IDC_SEARCH_DOWN 1103           // "下へ"
#define IDC_SEARCH_UNREAD 1108         // unread articles
#define IDC_SEARCH_OWN 1109            // own articles
#define IDC_SEARCH_COLOR 1172          // colour label
// ---- end of search ----

// ---- keyboard page ----------------------------------------------------------
// Page キーボード of the option sheet and its add-key dialog.
#define IDD_KEYPAGE 169           // "キーボード"
#define IDD_ADDKEY 176            // "新しいキーを追加"
#define IDC_KEY_SCOPE 1125        // 全体 / フォルダビュー / タイトルビュー
#define IDC_KEY_FUNCTIONS 1134    // 機能名, 現在のキー
#define IDC_KEY_CURRENT 1129      // the selected function's keys in the scope
#define IDC_KEY_ADD 1133          // "追加(&A)..."
#define IDC_KEY_REMOVE 1006       // "解除(&D)"
#define IDC_KEY_RESET 1130        // "初期化(&I)..."
#define IDC_ADDKEY_LIST 1137      // every key name
#define IDC_ADDKEY_CTRL 1136
#define IDC_ADDKEY_SHIFT 1062
#define IDC_ADDKEY_ALT 1063
// ---- end of keyboard page ----

// ---- option sheet ----------------------------------------------------------
// The sheet "オプション" and its pages (the keyboard page, 169, is the key
// assignment's own).
#define IDD_OPT_DISPLAY 149   // "表示"
#define IDD_OPT_COMPOSE 150   // "作成"
#define IDD_OPT_PATROL 156    // "巡回"
#define IDD_OPT_SOUND 157     // "サウンド"
#define IDD_OPT_OTHER 144     // "その他"
#define IDM_REPLY_MACROS 1000 // "リプライヘッダ挿入": 32776 ... 32781
#define IDB_PLAY 158          // the sound page's play button
// 表示
#define IDC_OPD_FONT_LIST 1040
#define IDC_OPD_FONT_CHANGE 1041      // "変更(&O)..."
#define IDC_OPD_COLOUR_LIST 1042
#define IDC_OPD_TITLE_BLEND 1062
#define IDC_OPD_SMOOTH_SCROLL 1063
#define IDC_OPD_SMART_FOLDER 1061
#define IDC_OPD_COLOUR_SAMPLE 1071    // owner-drawn; opens the colour chooser
#define IDC_OPD_CLIENT_EDGE 1078
#define IDC_OPD_SCROLL_LINE_SPIN 1081 // 10 ... 100
#define IDC_OPD_SCROLL_LINE 1082
#define IDC_OPD_ANIMATION 1124
#define IDC_OPD_SCROLL_STOP 1149
#define IDC_OPD_SCROLL_WAIT 1152      // slider 0 ... 200
#define IDC_OPD_SCROLL_PIXEL 1153     // slider 1 ... 10
#define IDC_OPD_SCROLL_WAIT_VALUE 1154
#define IDC_OPD_SCROLL_PIXEL_VALUE 1155
#define IDC_OPD_AUTO_COLLAPSE 1156    // on the page but not shown
// 作成
#define IDC_OPC_REPLY_HEADER 1000
#define IDC_OPC_INSERT 1001           // "挿入(&I)": the macro popup
#define IDC_OPC_EDITOR 1045
#define IDC_OPC_EDITOR_BROWSE 1046    // "参照(&R)..."
#define IDC_OPC_EDITOR_OPTION 1079
#define IDC_OPC_QUOTE_MARK 1085
#define ID_MACRO_TITLE 32776          // "%s_title%" ... "%s_email%": 32776 ... 32781
#define ID_MACRO_EMAIL 32781
// 巡回
#define IDC_OPP_RUBY_BROWSE 1006
#define IDC_OPP_PERL_BROWSE 1048
#define IDC_OPP_CLOSE_RUN 1053
#define IDC_OPP_THREADS 1054
#define IDC_OPP_THREADS_SPIN 1055     // 1 ... 8
#define IDC_OPP_PROXY_ADR 1058
#define IDC_OPP_PROXY_PORT 1059
#define IDC_OPP_GA_MULTI 1061
#define IDC_OPP_AUTO_CONNECT 1062
#define IDC_OPP_PROXY_IE 1063
#define IDC_OPP_RUBY 1079
#define IDC_OPP_PERL 1092
#define IDC_OPP_AUTO_DISCONNECT 1143
// サウンド
#define IDC_OPS_PLAY 1006
#define IDC_OPS_SCENES 1090
#define IDC_OPS_BROWSE 1091
#define IDC_OPS_SOUND 1098
// その他
#define IDC_OPO_PART_VIEW_READ 1047
#define IDC_OPO_ICON_TRAY 1062
#define IDC_OPO_NORMAL_MENU 1089
#define IDC_OPO_LOGIN_ROOT 1160       // not shown, neither read nor written
#define IDC_OPO_TIMEOUT 1161          // likewise
// ---- end of option sheet ----
