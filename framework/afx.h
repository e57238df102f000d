// The framework's byte string: text in the system's ANSI code page, as every
// Win32 "A" call and the user's files carry it.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    CString(LPCSTR text, int length)
        : m_text(text, text && length > 0 ? static_cast<size_t>(length) : 0) {}

    CString& operator=(LPCSTR text) {
        m_text = text ? text : "";
        return *this;
    }
    CString& operator+=(const CString& other) {
        m_text += other.m_text;
        return *this;
    }
    CString& operator+=(LPCSTR text) {
        if (text) m_text += text;
        return *this;
    }
    friend CString operator+(CString left, const CString& right) { return left += right; }
    friend CString operator+(CString left, LPCSTR right) { return left += right; }
    friend CString operator+(LPCSTR left, const CString& right) { return CString(left) += right; }
    friend bool operator==(const CString& left, const CString& right) {
        return left.m_text == right.m_text;
    }
    friend bool operator==(const CString& left, LPCSTR right) {
        return left.m_text == (right ? right : "");
    }

    operator LPCSTR() const { return m_text.c_str(); }
    int GetLength() const { return static_cast<int>(m_text.size()); }
    BOOL IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }

    // A writable buffer of at least minLength bytes plus the terminator;
    // ReleaseBuffer(-1) takes the text up to the first zero byte.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_text;
};
