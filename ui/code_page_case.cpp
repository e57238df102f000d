#include "code_page_case.h"

#include <windows.h>

void CSystemCodePageCase::ToUpper(std::string& text) const {
    if (!text.empty()) ::CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
}

void CSystemCodePageCase::ToLower(std::string& text) const {
    if (!text.empty()) ::CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
}

bool CSystemCodePageCase::IsLeadByte(unsigned char byte) const {
    return ::IsDBCSLeadByte(byte) != FALSE;
}

void InstallSystemCodePageCase() {
    static const CSystemCodePageCase systemCase;
    navaid::SetCodePageCase(&systemCase);
}
