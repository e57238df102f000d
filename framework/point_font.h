// The height CFont::CreatePointFont asks for: a character height (hence
// negative) of size tenths of a point at logPixelsY dots per inch:
// https://learn.microsoft.com/en-us/windows/win32/api/wingdi/ns-wingdi-logfonta
#pragma once

inline int PointFontHeight(int logPixelsY, int tenthsOfPoint) {
    const int height = logPixelsY * tenthsOfPoint / 720;
    return -(height < 0 ? -height : height);
}
