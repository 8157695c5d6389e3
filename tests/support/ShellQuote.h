#pragma once

#include <string>

// `text` as one word of /bin/sh, whatever spaces, quotes or '$' it holds:
// tests put paths under TMPDIR and the build folder into command lines.
inline std::string shellQuoted(const std::string& text)
{
    std::string word = "'";
    for (char c : text)
        word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
}
