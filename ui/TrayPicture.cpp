#include "ui/TrayPicture.h"

#include "ui/DpiScale.h"
#include "ui/TrayText.h"

#include <algorithm>

namespace {

COLORREF Shade(COLORREF base, int delta) {
    auto channel = [delta](int value) { return std::clamp(value + delta, 0, 255); };
    return RGB(channel(GetRValue(base)), channel(GetGValue(base)), channel(GetBValue(base)));
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour) {
    win::UniquePen pen(::CreatePen(PS_SOLID, 1, colour));
    win::SelectGuard select(dc, pen.Get());
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void FillBox(HDC dc, const RECT& rect, COLORREF colour) {
    win::UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.Get());
}

} // namespace

void DrawBevelBox(HDC dc, const RECT& rect, COLORREF base, int depth, int bands) {
    FillBox(dc, rect, base);
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    int n = bands > 0 ? bands : std::min(b - t, r - l) / 8;
    n = std::max(n, 1);
    const int step = depth / n;
    for (int i = 0; i < n; ++i) {
        Line(dc, l + i, t + i, r - i, t + i, Shade(base, (n - i) * step));
    }
    for (int i = 0; i < n; ++i) {
        Line(dc, l + i, b - i, r - i + 1, b - i, Shade(base, -(n - 1 - i) * step));
    }
    for (int i = 0; i < n; ++i) {
        Line(dc, l + i, t + i, l + i, b - i, Shade(base, (n - i) * step));
    }
    for (int i = 0; i < n; ++i) {
        Line(dc, r - i, t + i, r - i, b - i, Shade(base, -(n - i) * step));
    }
}

int TrayPictureSizeFor(int smallIcon) {
    return smallIcon > kTrayPictureSize + 1 ? smallIcon - 1 : kTrayPictureSize;
}

void DrawTrayPicture(HDC memory, COLORREF background, int cpuPercent, int ramPercent, int size) {
    // Only the light edges show: the dark ones fall just beyond the tile, at
    // every size as at 15 pixels.
    const int bands = std::max(1, size / 8);
    const int beyond = size + bands - 1;
    DrawBevelBox(memory, RECT{0, 0, beyond, beyond}, background, 50, bands);
    // The bars are laid out on the 15-pixel tile and scaled with it.
    auto at = [size](int pixels15) { return ScaleRounded(pixels15, size, kTrayPictureSize); };
    const int bottom = at(14);
    const int cpuHeight = BarHeight(cpuPercent);
    if (cpuHeight > 0) {
        FillBox(memory, RECT{at(1), bottom - at(cpuHeight), at(7), bottom},
                RGB(50, 100 + 7 * cpuHeight, 50));
    }
    const int ramHeight = BarHeight(ramPercent);
    if (ramHeight > 0) {
        FillBox(memory, RECT{at(8), bottom - at(ramHeight), at(14), bottom},
                RGB(50, 50, 100 + 7 * ramHeight));
    }
}

win::UniqueBitmap DrawTrayBitmap(HDC reference, COLORREF background, int cpuPercent, int ramPercent,
                                 int size) {
    win::UniqueBitmap bitmap(::CreateCompatibleBitmap(reference, size, size));
    win::UniqueMemoryDc memory(::CreateCompatibleDC(reference));
    if (!bitmap || !memory) {
        return {};
    }
    win::SelectGuard select(memory.Get(), bitmap.Get());
    DrawTrayPicture(memory.Get(), background, cpuPercent, ramPercent, size);
    return bitmap;
}

win::UniqueIcon CTrayCanvas::CreatePicture(HWND reference, COLORREF background, int cpuPercent,
                                           int ramPercent) {
    // The shell shows tray icons at its small icon size, the system's scale.
    const int size = TrayPictureSizeFor(::GetSystemMetrics(SM_CXSMICON));
    if (!m_bitmap || !m_memory || size != m_size) {
        win::WindowDc dc(reference);
        m_bitmap.Reset(::CreateCompatibleBitmap(dc.Get(), size, size));
        m_memory.Reset(::CreateCompatibleDC(dc.Get()));
        m_size = size;
        if (!m_bitmap || !m_memory) {
            return {};
        }
    }
    {
        // Selected only while drawing: the icon is made from an unselected bitmap.
        win::SelectGuard select(m_memory.Get(), m_bitmap.Get());
        DrawTrayPicture(m_memory.Get(), background, cpuPercent, ramPercent, m_size);
    }
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmMask = m_bitmap.Get();
    info.hbmColor = m_bitmap.Get();
    return win::UniqueIcon(::CreateIconIndirect(&info));
}
