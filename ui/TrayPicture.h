#pragma once
// The tray icon's picture: a bevelled tile with a green CPU bar on the left and
// a blue RAM bar on the right, 15 x 15 pixels where the shell's small icons are
// 16, one pixel less than them where the screen is scaled.
#include "win/Handle.h"

#include <windows.h>

constexpr int kTrayPictureSize = 15;

// The picture's side for the shell's small icons of smallIcon pixels.
int TrayPictureSizeFor(int smallIcon);
constexpr COLORREF kTrayBackground = RGB(220, 220, 220);

// Fills the rectangle with base and draws a raised edge of bands lines, each
// lighter (top, left) or darker (bottom, right) by depth ÷ bands per band.
// bands -1 picks one band per 8 pixels of the shorter side.
void DrawBevelBox(HDC dc, const RECT& rect, COLORREF base, int depth, int bands = -1);

// Draws the picture into the size x size bitmap selected into memory.
void DrawTrayPicture(HDC memory, COLORREF background, int cpuPercent, int ramPercent,
                     int size = kTrayPictureSize);

// Draws the picture into a bitmap of its own, compatible with reference.
win::UniqueBitmap DrawTrayBitmap(HDC reference, COLORREF background, int cpuPercent, int ramPercent,
                                 int size = kTrayPictureSize);

// One memory DC and one bitmap of the picture's size, made for the first
// picture (again when the shell's small icons change size) and kept, into
// which every later picture is drawn. Each icon is made from the bitmap (it
// serves as mask and colour image alike) and is a copy the caller owns.
class CTrayCanvas {
  public:
    // The canvas is made compatible with the window's device context (the
    // screen's for nullptr). An invalid icon when it could not be made.
    win::UniqueIcon CreatePicture(HWND reference, COLORREF background, int cpuPercent,
                                  int ramPercent);

  private:
    win::UniqueBitmap m_bitmap;
    win::UniqueMemoryDc m_memory;
    int m_size = 0;
};
