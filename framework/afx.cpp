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
