#pragma once

// Resource ids of the popup's pictures (bitmaps rendered from src/popup/art at build time). Read by
// popup.rc as well as by C++, so plain defines only.

#define IDB_POPUP_BACKGROUND 200
#define IDB_POPUP_BACK_NORMAL 201
#define IDB_POPUP_BACK_HOVER 202
#define IDB_POPUP_PAUSE_NORMAL 203
#define IDB_POPUP_PAUSE_HOVER 204
#define IDB_POPUP_FORWARD_NORMAL 205
#define IDB_POPUP_FORWARD_HOVER 206
#define IDB_POPUP_CLOSE_NORMAL 207
#define IDB_POPUP_CLOSE_HOVER 208
#define IDB_POPUP_POINTER 209
