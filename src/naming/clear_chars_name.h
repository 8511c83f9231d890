// The name maker of the clear-characters rename task: every character of the chosen
// name part that belongs to one of the checked character classes is removed. A
// character GBK cannot hold has no code and belongs to no class. Pure; safe on any
// thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "naming/char_classes.h"
#include "naming/name_parts.h"

namespace varnel {

// The clear-characters task's parameters (批量清除).
struct ClearCharsParams {
    NamePart scope = NamePart::WholeName;
    std::string ranges;          // the ranges of every checked class but the whole ones, joined by ","
    bool allSingleByte = false;  // the whole single-byte class is checked
    bool allDoubleByte = false;  // the whole double-byte class is checked

    bool operator==(const ClearCharsParams&) const = default;
};

// The parameters from the class list and its checks (one per class, in list order).
ClearCharsParams MakeClearCharsParams(const std::vector<CharClassEntry>& classes, const std::vector<bool>& checks);

// True when the character (UTF-8 text of one character) is written with two GBK bytes.
bool IsDoubleByteChar(std::string_view character);

// Clears the characters of many names with the ranges parsed once.
class CharClearer {
public:
    explicit CharClearer(const ClearCharsParams& params);
    // The new name; a whole or main name cleared away keeps the name as it was.
    std::string MakeName(std::string_view name) const;

private:
    bool Drops(char32_t codePoint) const;

    ClearCharsParams m_params;
    CodeSet m_codes;
};

std::string MakeClearedName(std::string_view name, const ClearCharsParams& params);

}  // namespace varnel
