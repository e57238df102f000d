// The framework's GDI objects and device contexts: fonts, painting, text.
#include <unordered_map>

#include "afxwin.h"
#include "point_font.h"

namespace {

// GDI objects the program made, so a handle found in a DC leads back to them.
std::unordered_map<HGDIOBJ, CGdiObject*>& GdiObjectMap() {
    static std::unordered_map<HGDIOBJ, CGdiObject*> map;
    return map;
}

}  // namespace

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    if (hObject == nullptr) return FALSE;
    DeleteObject();
    m_hObject = hObject;
    GdiObjectMap()[hObject] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ hObject = m_hObject;
    auto found = GdiObjectMap().find(hObject);
    if (found != GdiObjectMap().end() && found->second == this) GdiObjectMap().erase(found);
    m_hObject = nullptr;
    return hObject;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CFont::CreatePointFont(int nPointSize, LPCSTR lpszFaceName, CDC* pDC) {
    LOGFONTA logFont{};
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(logFont.lfFaceName, lpszFaceName, LF_FACESIZE);
    HDC hDC = pDC ? pDC->m_hDC : ::GetDC(nullptr);
    logFont.lfHeight = PointFontHeight(::GetDeviceCaps(hDC, LOGPIXELSY), nPointSize);
    if (pDC == nullptr) ::ReleaseDC(nullptr, hDC);
    return CreateFontIndirect(&logFont);
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* lpLogFont) {
    return Attach(::CreateFontIndirectA(lpLogFont));
}

CDC::~CDC() {
    for (CFont& font : m_foreignFonts) font.Detach();
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, lpRect, nullptr, 0, nullptr);
}

CFont* CDC::SelectObject(CFont* pFont) {
    HGDIOBJ old = ::SelectObject(m_hDC, pFont->m_hObject);
    if (old == nullptr || old == HGDI_ERROR) return nullptr;
    auto own = GdiObjectMap().find(old);
    if (own != GdiObjectMap().end()) return static_cast<CFont*>(own->second);
    for (CFont& font : m_foreignFonts) {
        if (font.m_hObject == old) return &font;
    }
    m_foreignFonts.emplace_back();
    m_foreignFonts.back().m_hObject = old;
    return &m_foreignFonts.back();
}

BOOL CDC::TextOut(int x, int y, LPCSTR lpszString, int nCount) {
    return ::TextOutA(m_hDC, x, y, lpszString, nCount);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
