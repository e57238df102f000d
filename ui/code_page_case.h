// The system's ANSI code page as the core's case mapping, so that paths and
// navaid texts are mapped as the user's own system maps them.
#pragma once

#include "code_page.h"

class CSystemCodePageCase : public navaid::CodePageCase {
public:
    void ToUpper(std::string& text) const override;
    void ToLower(std::string& text) const override;
    bool IsLeadByte(unsigned char byte) const override;
};

// Makes the core use the system's code page from now on.
void InstallSystemCodePageCase();
