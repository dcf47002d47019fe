#include "TextConversion.h"

#include <gtest/gtest.h>

// A text written in pieces (the console takes some kilobytes per call) is
// cut between characters: never between the halves of a surrogate pair.
TEST(WholeCharactersIn, NeverPartsASurrogatePair)
{
    const std::wstring pair = L"\U0001F4D6";  // an open book: two UTF-16 units
    struct Case { std::wstring text; std::size_t start; std::size_t most; std::size_t piece; };
    const Case cases[] = {
        {L"abcd", 0, 2, 2},
        {L"a" + pair + L"b", 0, 2, 1},      // the pair would be parted after "a" and its first half
        {L"a" + pair + L"b", 0, 3, 3},
        {L"a" + pair + L"b", 1, 2, 2},
        {pair + pair, 0, 3, 2},
        {pair, 0, 1, 1},                    // a piece of one unit still moves on
        {L"ab", 1, 8, 1},                   // what is left
        {L"ab", 2, 8, 0},
        {L"a\xD800" L"b", 0, 2, 2},         // a lone half is a character of its own
    };
    for (const Case& c : cases)
        EXPECT_EQ(WholeCharactersIn(c.text, c.start, c.most), c.piece)
            << c.text.size() << " units from " << c.start << ", at most " << c.most;
}
