#include "afx.h"

#include <algorithm>

LPSTR CString::GetBuffer(int minLength) {
    const size_t wanted = static_cast<size_t>(std::max(minLength, 0));
    if (m_text.size() < wanted) m_text.resize(wanted);
    return m_text.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_text.resize(m_text.find('\0') == std::string::npos ? m_text.size() : m_text.find('\0'));
    } else {
        m_text.resize(std::min(static_cast<size_t>(newLength), m_text.size()));
    }
}

CString& CString::MakeUpper() {
    if (!m_text.empty()) ::CharUpperBuffA(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString& CString::MakeLower() {
    if (!m_text.empty()) ::CharLowerBuffA(m_text.data(), static_cast<DWORD>(m_text.size()));
    return *this;
}

CString CString::Left(int count) const {
    const size_t n = static_cast<size_t>(std::clamp(count, 0, GetLength()));
    return CString(m_text.c_str(), static_cast<int>(n));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const {
    const int start = std::clamp(first, 0, GetLength());
    const int n = std::clamp(count, 0, GetLength() - start);
    return CString(m_text.c_str() + start, n);
}
