// The framework's byte string: text in the system's ANSI code page, as every
// Win32 "A" call and the user's files carry it.
#pragma once

#include <windows.h>

#include <string>

class CString {
public:
    CString() = default;
    CString(LPCSTR text) : m_text(text ? text : "") {}
    CString& operator=(LPCSTR text) {
        m_text = text ? text : "";
        return *this;
    }

    operator LPCSTR() const { return m_text.c_str(); }
    void Empty() { m_text.clear(); }

    // A writable buffer of at least minLength bytes plus the terminator;
    // ReleaseBuffer(-1) takes the text up to the first zero byte.
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::string m_text;
};
