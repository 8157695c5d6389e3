#pragma once

#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <vector>

// Tables for the reader tests, shared by the ways of reading them.

// Tables whose tokens fall on block boundaries in every way once the
// blocks are a few bytes long.
struct Table {
    const char* name;
    std::string text;
};

inline std::string longNumber()
{
    std::string digits(301, '0');
    digits.front() = '1';
    return digits + "e-300";
}

inline std::vector<Table> tables()
{
    return {
        { "plain rows", "1 2 3\n4 5 6\n7 8 9\n10 11 12\n13 14 15\n16 17 18\n" },
        { "header", "time signal noise\n0.5 1.25 -3e2\n1.5 2.25 4e-1\n2.5 3.25 5E+1\n" },
        { "long header tokens",
            std::string(150, 'h') + " " + std::string(70, 'x') + "\n1 2\n3 4\n5 6\n7 8\n" },
        { "no final line end", "1.5 2.5\n3.5 4.5\n5.5 6.5" },
        { "crlf", "a b\r\n1 2\r\n3 4\r\n5 6\r\n7 8\r\n" },
        { "not a number", "1 2 3 4 5 6 7 x 9 10 11 12\n" },
        { "decimal comma", "1 2 3 4 1,5 6 7 8\n" },
        { "nul byte", std::string("1 2 3 4 5\0 6 7 8\n", 17) },
        { "several numbers in a token", "1-2 3 4+5 6 .5.5 7 8 9 10 11 12 1e 13 7e+ 14 15 16\n" },
        { "words", "inf -Infinity nan -nan 0x1p-3 0X.8p1 1 2 3 4 5 6 infx 7\n" },
        { "long tokens", "1 2\n" + longNumber() + " 3\n4 " + longNumber() + "\n5 6\n7 8\n" },
        { "long token not a number", "1 2 3 4 " + std::string(200, 'z') + " 5 6\n" },
        { "white space runs", "\n\n   1\t\t2 \v 3\f4\n\n\n\n        5 6\n\n\n      \n" },
        { "empty", "" },
        { "only white space", "  \n\t \n" },
    };
}

// Mostly one number a token, with now and then a token that holds two
// numbers, part of one or none, so that guessed row positions go wrong.
inline std::string randomTable(std::mt19937_64& random, int rows, int columns)
{
    static const char* const odd[] = { "1-2", "3e", "4e+5e1", ".5.5", "abc", "1,5", "-", "nan" };
    static const char* const separators[] = { " ", "\t", "\n", "\r\n", "   " };
    std::string text = "head er\n";
    char number[64];
    for (int i = 0; i < rows * columns; ++i) {
        if (random() % 400 == 0) {
            text += odd[random() % std::size(odd)];
        } else {
            const double value = std::ldexp(static_cast<double>(random() % 2000001) - 1e6,
                static_cast<int>(random() % 40) - 20);
            std::snprintf(number, sizeof number, random() % 2 ? "%.10g" : "%.17g", value);
            text += number;
        }
        text += (i + 1) % columns == 0 ? "\n" : separators[random() % std::size(separators)];
    }
    return text;
}
