// The main window's screen judged from its pixels: what a capture of the
// screen holds, and whether it shows exactly one status screen's texts.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "point_font.h"
#include "status_screens.h"

namespace uidriver {

// Screen pixels, 0x00RRGGBB each, top row first.
struct Capture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline Capture CaptureScreen(const RECT& area) {
    Capture capture{area.right - area.left, area.bottom - area.top, {}};
    capture.pixels.resize(static_cast<size_t>(capture.width) * capture.height);
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, capture.width, capture.height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, capture.width, capture.height, screen, area.left, area.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header = {
        sizeof header, capture.width, -capture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(memory, bitmap, 0, capture.height, capture.pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    for (auto& pixel : capture.pixels) pixel &= 0xFFFFFF;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return capture;
}

// The box a screen text covers, measured with the program's fonts (a new
// device context's own font is the system font).
inline RECT TextBox(const ScreenText& line) {
    HDC screen = GetDC(nullptr);
    auto pointFont = [screen](int tenths) {
        LOGFONTA logFont{};
        logFont.lfCharSet = DEFAULT_CHARSET;
        logFont.lfHeight = PointFontHeight(GetDeviceCaps(screen, LOGPIXELSY), tenths);
        lstrcpyA(logFont.lfFaceName, "Arial Black Kursiv");
        return static_cast<HGDIOBJ>(CreateFontIndirectA(&logFont));
    };
    static const HGDIOBJ fonts[] = {pointFont(200), pointFont(140), GetStockObject(SYSTEM_FONT)};
    HGDIOBJ old = SelectObject(screen, fonts[static_cast<int>(line.font)]);
    SIZE size{};
    GetTextExtentPoint32A(screen, line.text, lstrlenA(line.text), &size);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    return {line.x, line.y, line.x + size.cx, line.y + size.cy};
}

inline bool IsInk(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) < 110 && ((pixel >> 8) & 0xFF) < 110 && (pixel & 0xFF) < 110;
}

// True when the client area shows exactly the screen's texts: ink from each
// text's start to its end, and none outside the texts.
inline bool ShowsScreen(const Capture& client, int screen) {
    std::vector<RECT> boxes;
    for (const ScreenText& line : ScreenTexts(screen, client.width, client.height)) {
        RECT text = TextBox(line), box = text;
        InflateRect(&box, 4, 3);
        boxes.push_back(box);
        int left = client.width, right = -1;
        for (int y = std::max(0L, box.top); y < std::min<LONG>(client.height, box.bottom); ++y) {
            for (int x = std::max(0L, box.left); x < std::min<LONG>(client.width, box.right); ++x) {
                if (IsInk(client.At(x, y))) left = std::min(left, x), right = std::max(right, x);
            }
        }
        if (right < 0 || left > text.left + 8 || right < text.right - 14) return false;
    }
    for (int y = 0; y < client.height; ++y) {
        for (int x = 0; x < client.width; ++x) {
            const POINT point{x, y};
            if (IsInk(client.At(x, y)) && std::ranges::none_of(boxes, [&](const RECT& box) {
                    return PtInRect(&box, point);
                })) {
                return false;
            }
        }
    }
    return !boxes.empty();
}

}  // namespace uidriver
