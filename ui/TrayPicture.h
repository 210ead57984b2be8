#pragma once
// The tray icon's picture: a 15 x 15 bevelled tile with a green CPU bar on the
// left and a blue RAM bar on the right.
#include "win/Handle.h"

#include <windows.h>

constexpr int kTrayPictureSize = 15;
constexpr COLORREF kTrayBackground = RGB(220, 220, 220);

// Fills the rectangle with base and draws a raised edge of bands lines, each
// lighter (top, left) or darker (bottom, right) by depth ÷ bands per band.
// bands -1 picks one band per 8 pixels of the shorter side.
void DrawBevelBox(HDC dc, const RECT& rect, COLORREF base, int depth, int bands = -1);

// Draws the picture into a bitmap compatible with reference.
win::UniqueBitmap DrawTrayBitmap(HDC reference, COLORREF background, int cpuPercent,
                                 int ramPercent);

// The icon made from that bitmap (it serves as mask and colour image alike).
win::UniqueIcon CreateTrayPicture(HDC reference, COLORREF background, int cpuPercent,
                                  int ramPercent);
