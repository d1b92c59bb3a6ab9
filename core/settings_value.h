#pragma once
// Reading setting texts: words compared ignoring case ("Yes", "No",
// "Enable", "Disable", ...) and decimal numbers.

#include <string_view>

// text equals word, ignoring the case of ASCII letters.
bool VSettingsTextIs(std::string_view text, std::string_view word);
inline bool VSettingsIsYes(std::string_view text) { return VSettingsTextIs(text, "Yes"); }
inline bool VSettingsIsNo(std::string_view text) { return VSettingsTextIs(text, "No"); }

// Decimal conversions of a whole text (blanks around it allowed). False,
// with *out unchanged, when the text is not a number or out of range.
bool VSettingsToInt(std::string_view text, int* out);
bool VSettingsToDouble(std::string_view text, double* out);
