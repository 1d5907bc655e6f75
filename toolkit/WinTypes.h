// Forward declarations of the Win32 handle types, so the toolkit's headers
// can name HWND, HDC, ... without <windows.h>. They are the same types the
// system headers declare (strict handles), so both may meet in one unit.
#pragma once

struct HWND__;
struct HDC__;
struct HFONT__;
struct HBRUSH__;
struct HPEN__;
struct HBITMAP__;
struct HICON__;
struct HMENU__;
struct HRGN__;
struct HINSTANCE__;
struct HMONITOR__;

typedef HWND__* HWND;
typedef HDC__* HDC;
typedef HFONT__* HFONT;
typedef HBRUSH__* HBRUSH;
typedef HPEN__* HPEN;
typedef HBITMAP__* HBITMAP;
typedef HICON__* HICON;
typedef HICON HCURSOR;
typedef HMENU__* HMENU;
typedef HRGN__* HRGN;
typedef HINSTANCE__* HINSTANCE;
typedef HMONITOR__* HMONITOR;
