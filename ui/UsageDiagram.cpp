#include "ui/UsageDiagram.h"

#include "app/PathHelpers.h"
#include "ui/DpiScale.h"
#include "ui/ScreenDpi.h"
#include "win/Handle.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string>

namespace {

constexpr COLORREF kCurveColour = RGB(0, 255, 0);
constexpr COLORREF kGridColour = RGB(0, 50, 0);
constexpr COLORREF kAverageDotColour = RGB(0, 150, 0);
constexpr COLORREF kLabelColour = RGB(0, 140, 0);
constexpr int kGridStep = 8;
constexpr int kLabelInset = 3;
// Above this average the label moves down, out of the curve's way...
constexpr double kHighAverage = 80.0;
constexpr int kLoweredLabelTop = 23;
// ...when the area is tall enough to have room below it.
constexpr int kRoomForLoweredLabel = 45;

// The sizes of a diagram at 96 dots per inch; scaled to its screen's.
struct DiagramMetrics {
    int gridStep = kGridStep;
    int line = 1;
    int labelInset = kLabelInset;
    int loweredLabelTop = kLoweredLabelTop;
    int roomForLoweredLabel = kRoomForLoweredLabel;
};

DiagramMetrics MetricsFor(int dpi) {
    DiagramMetrics m;
    for (int* size :
         {&m.gridStep, &m.line, &m.labelInset, &m.loweredLabelTop, &m.roomForLoweredLabel}) {
        *size = ScaleForDpi(*size, dpi);
    }
    return m;
}

// Made on the first drawing and kept for the program's life (diagrams are
// redrawn every second and a half); made again when the screen's scale changes.
struct DiagramTools {
    explicit DiagramTools(int dpi) : dpi(dpi), metrics(MetricsFor(dpi)) {}
    int dpi;
    DiagramMetrics metrics;
    win::UniqueBrush background{::CreateSolidBrush(RGB(0, 0, 0))};
    win::UniquePen curve{::CreatePen(PS_SOLID, metrics.line, kCurveColour)};
    win::UniquePen grid{::CreatePen(PS_SOLID, metrics.line, kGridColour)};
};

const DiagramTools& Tools(int dpi) {
    static std::unique_ptr<DiagramTools> tools;
    if (!tools || tools->dpi != dpi) {
        tools = std::make_unique<DiagramTools>(dpi);
    }
    return *tools;
}

void DrawGrid(HDC dc, const DiagramTools& tools, int w, int h) {
    win::SelectGuard select(dc, tools.grid.Get());
    const int step = tools.metrics.gridStep;
    for (int x = 0; x < w; x += step) {
        ::MoveToEx(dc, x, 0, nullptr);
        ::LineTo(dc, x, h);
    }
    for (int y = 0; y < h; y += step) {
        ::MoveToEx(dc, 0, y, nullptr);
        ::LineTo(dc, w, y);
    }
}

// The row of a value: 100 % on the top row, 0 % just below the area. Far
// beyond the area a coordinate is kept near it, where GDI clips it anyway.
int RowOf(double value, int h) {
    const double scale = 100.0 / h;
    const double row = std::clamp(h - value / scale, -1.0, h + 1.0);
    return static_cast<int>(row);
}

void DrawCurve(HDC dc, const DiagramTools& tools, const std::vector<uint32_t>& history, int h) {
    win::SelectGuard select(dc, tools.curve.Get());
    const int last = static_cast<int>(history.size()) - 1;
    ::MoveToEx(dc, last, RowOf(history[last], h), nullptr);
    for (int i = last; i >= 0; --i) {
        ::LineTo(dc, i, RowOf(history[i], h));
    }
}

void DrawAverage(HDC dc, const DiagramMetrics& m, HWND control, double average, int w, int h) {
    // Dots as wide and high as the lines, one dot's width apart.
    const int row = RowOf(average, h);
    for (int x = 0; x < w; x += 2 * m.line) {
        for (int dx = 0; dx < m.line; ++dx) {
            for (int dy = 0; dy < m.line; ++dy) {
                ::SetPixel(dc, x + dx, row + dy, kAverageDotColour);
            }
        }
    }

    const std::string label = "average:" + DoubleToText(average, 1) + "%";
    const int inset = m.labelInset;
    RECT place{inset, inset, w - inset, h - inset};
    if (average > kHighAverage && h - 2 * inset > m.roomForLoweredLabel) {
        place.top = m.loweredLabelTop;
    }
    // The dialog's own font, not the system font a fresh device context has.
    if (HFONT font = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0))) {
        ::SelectObject(dc, font);
    }
    ::SetTextColor(dc, kLabelColour);
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextA(dc, label.c_str(), static_cast<int>(label.size()), &place, DT_RIGHT | DT_NOPREFIX);
}

} // namespace

double UsageAverage(const std::vector<uint32_t>& history) {
    double sum = 0;
    for (uint32_t value : history) {
        sum += value;
    }
    return history.empty() ? 0 : sum / static_cast<double>(history.size());
}

double DrawUsageDiagram(HWND control, std::vector<uint32_t>& history, bool trim, bool skip) {
    RECT window{};
    ::GetWindowRect(control, &window);
    // The area is two pixels narrower and lower than the control: a value of
    // 0 % lies on the row just below it, still on the control.
    const int w = std::max(0, static_cast<int>(window.right - window.left) - 2);
    const int h = std::max(0, static_cast<int>(window.bottom - window.top) - 2);

    if (trim && history.size() > static_cast<size_t>(w)) {
        history.erase(history.begin());
    }
    if (skip) {
        return 0;
    }

    win::WindowDc dc(control);
    if (dc.Get() == nullptr) {
        return 0;
    }
    const int saved = ::SaveDC(dc.Get());
    // Statics may draw on their parent through their device context; a curve
    // longer than a shrunken control is not to spill onto the page.
    RECT client{};
    ::GetClientRect(control, &client);
    ::IntersectClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
    const DiagramTools& tools = Tools(WindowDpi(control));
    const RECT area{0, 0, w, h};
    ::FillRect(dc.Get(), &area, tools.background.Get());
    DrawGrid(dc.Get(), tools, w, h);

    double average = 0;
    if (!history.empty() && h > 0) {
        DrawCurve(dc.Get(), tools, history, h);
        average = UsageAverage(history);
        DrawAverage(dc.Get(), tools.metrics, control, average, w, h);
    }
    ::RestoreDC(dc.Get(), saved);
    return average;
}
