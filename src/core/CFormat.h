#pragma once

#include <locale.h>
#include <string>

// printf-style formatting with '.' as the decimal point whatever the process
// locale says (Qt sets the locale from the environment at start-up).
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Locale-independent strtod: the C library's conversion in the "C" locale.
double strtodC(const char* text, char** end);

// Switches the calling thread to the "C" locale while it lives, for code
// that calls the C library's formatted I/O directly.
class CLocaleScope {
public:
    CLocaleScope();
    ~CLocaleScope();
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    locale_t m_previous;
};
