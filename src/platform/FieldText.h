#pragma once

#include <string>

// The text rules of the dialogs' number fields, in the "C" locale whatever
// the process locale says. Each returns false, leaving `value` alone, when
// the text is not a complete number of its kind.

// Blanks and tabs around an optional sign and decimal digits; a value past
// the range of int fails.
bool parseInteger(const std::string& text, int& value);
// As parseInteger, with "+" as the only sign, within the range of unsigned.
bool parseUnsigned(const std::string& text, unsigned& value);
// Blanks and tabs around a decimal number (sign, digits with an optional
// point, exponent), judged on the first 31 characters only. A zero counts
// only when written from the digit 0, so "-0" and ".0" fail, as does a
// value too small to hold.
bool parseNumber(const std::string& text, double& value);
// The shortest general form with up to 15 significant digits ("%.15g").
std::string formatNumber(double value);
