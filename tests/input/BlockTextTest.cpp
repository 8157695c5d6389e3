// The text a block of lines gives the plain scan: the tokens of its cleaned
// text, changed in place only where the cleaner would change bytes one for
// one.

#include "input/BlockText.h"
#include "input/ByteStream.h"
#include "input/TableText.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr TableSyntax CSV { 0, ',', false };

// Every instruction set of the check must give the same text; one the
// processor lacks is left out.
const BlockCheckSet SETS[] = { BlockCheckSet::baseline, BlockCheckSet::avx2 };

struct SetPin {
    explicit SetPin(BlockCheckSet set)
        : pinned(pinBlockCheckSet(set))
    {
    }
    ~SetPin() { pinBlockCheckSet(BlockCheckSet::automatic); }
    const bool pinned;
};

// The plain scan sees white space only as the end of a token.
std::vector<std::string> tokensOf(const std::string& text)
{
    std::vector<std::string> tokens;
    std::string token;
    for (const char c : text) {
        const bool space = c == ' ' || (c >= '\t' && c <= '\r');
        if (!space)
            token += c;
        else if (!token.empty())
            tokens.push_back(std::move(token)), token.clear();
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}

struct Made {
    std::vector<std::string> tokens;
    bool inPlace = false;
};

Made makeText(const std::string& lines, bool endsData, const TableSyntax& syntax)
{
    std::string bytes = lines + std::string(ByteStream::PADDING, 'x');
    BlockTextRoom room;
    char* const begin = bytes.data();
    const BlockText text = blockTableText(
        begin, begin + lines.size(), endsData, syntax, room, [&](char* to, std::size_t bytes) {
            lines.copy(to, bytes);
            return true;
        });
    Made made;
    made.inPlace = text.begin == begin;
    made.tokens = tokensOf(std::string(text.begin, text.end));
    EXPECT_EQ(std::string(text.end, ByteStream::PADDING), std::string(ByteStream::PADDING, '\0'));
    return made;
}

// What the cleaner makes of the lines, as the block's tokens.
std::vector<std::string> cleanedTokens(
    const std::string& lines, bool endsData, const TableSyntax& syntax)
{
    TableTextCleaner cleaner(syntax);
    std::string out;
    cleaner.feed(lines.data(), lines.data() + lines.size(), out);
    if (endsData)
        cleaner.finish(out);
    return tokensOf(out);
}

TEST(BlockTextTest, GivesTheCleanedTokensInPlaceWhereNoByteComesOrGoes)
{
    const std::string wide(70, '7');
    const struct {
        const char* name;
        TableSyntax syntax;
        std::string lines;
        bool inPlace;
    } cases[] = {
        { "separated numbers", CSV, "1,2.5,-3e4\r\n4 , 5,6\n", true },
        { "a blank line and a line without separator", CSV, "1,2\n\n  \n7 8\n", true },
        { "an empty field inside", CSV, "1,,3\n", false },
        { "a field of blanks", CSV, "1, \t,3\n", false },
        { "an empty first field", CSV, ",2\n", false },
        { "an empty last field", CSV, "1,2,\r\n", false },
        { "an empty last field where the file ends", CSV, "1,2, ", false },
        { "a last field where the file ends", CSV, "1,2", true },
        { "an empty field across a window", CSV, wide + "," + std::string(60, ' ') + ",1\n",
            false },
        { "a field across a window", CSV, wide + "," + std::string(60, ' ') + "5,1\n", true },
        { "a quote", CSV, "\"a\",1\n", false },
        { "a comment marker", { '#', ',', false }, "1,2#3\n", false },
        { "a comment without separator", { '#', 0, false }, "1 2 # c\n3\n", false },
        { "no comment marker", { '#', 0, false }, "1 2\n3\n", true },
        { "decimal commas", { 0, ';', true }, "1,5;2,25\n", true },
        { "tabs", { 0, '\t', false }, "1\t2\n3 \t 4\n", true },
        { "an empty tab field", { 0, '\t', false }, "1\t\t2\n", false },
        { "a control byte, taken for a blank by the check", CSV, "1,\x01,2\n", false },
    };
    for (const BlockCheckSet set : SETS) {
        const SetPin pin(set);
        if (!pin.pinned)
            continue;
        for (const auto& c : cases) {
            for (const bool endsData : { false, true }) {
                const Made made = makeText(c.lines, endsData, c.syntax);
                EXPECT_EQ(made.tokens, cleanedTokens(c.lines, endsData, c.syntax)) << c.name;
                // An empty last field counts only where the file ends.
                if (c.lines.back() == '\n' || endsData) {
                    EXPECT_EQ(made.inPlace, c.inPlace)
                        << c.name << (endsData ? ", at the end" : "");
                }
            }
        }
    }
}

// Lines of separators, blanks and digits in every arrangement across the
// 64-byte windows of the in-place check, with blanks often, seldom (many a
// window without one) and never.
TEST(BlockTextTest, AgreesWithTheCleanerOnRandomLines)
{
    const std::string alphabets[] = {
        ",, \t\r\n12.-",
        ",,,\n123456789012345678901234567890 ",
        ",\n123456789012345678-.",
    };
    for (const BlockCheckSet set : SETS) {
        const SetPin pin(set);
        if (!pin.pinned)
            continue;
        std::mt19937 random(22);
        for (int i = 0; i < 3000; ++i) {
            const std::string& alphabet = alphabets[i % std::size(alphabets)];
            std::string lines(random() % 300, ' ');
            for (char& c : lines)
                c = alphabet[random() % alphabet.size()];
            if (random() % 2 == 0)
                lines += '\n';
            for (const bool endsData : { false, true }) {
                if (!endsData && (lines.empty() || lines.back() != '\n'))
                    continue;
                EXPECT_EQ(
                    makeText(lines, endsData, CSV).tokens, cleanedTokens(lines, endsData, CSV))
                    << lines;
            }
        }
    }
}

} // namespace
