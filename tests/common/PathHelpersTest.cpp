#include "PathHelpers.h"

#include <gtest/gtest.h>

TEST(AppendPath, InsertsOneBackslashOnlyWhereNeeded)
{
    struct Case { const char* a; const char* b; const char* joined; };
    const Case cases[] = {
        {"C:\\Produkt", "Bin\\Tool.exe", "C:\\Produkt\\Bin\\Tool.exe"},
        {"C:\\Produkt\\", "x", "C:\\Produkt\\x"},
        {"C:\\Produkt/", "x", "C:\\Produkt/x"},
        {"", "x", "x"},
        {"C:\\Produkt", "\\x", "C:\\Produkt\\\\x"},   // b is appended unchanged
        {"C:\\Produkt", "D:\\y", "C:\\Produkt\\D:\\y"},
        {"Software", "", "Software\\"},
    };
    for (const Case& c : cases) {
        std::string a = c.a;
        EXPECT_EQ(&AppendPath(a, c.b), &a);
        EXPECT_EQ(a, c.joined) << "AppendPath(\"" << c.a << "\", \"" << c.b << "\")";
    }
}

TEST(EnsureTrailingSeparator, LeavesEmptyTextAndExistingSeparatorsAlone)
{
    for (const char* unchanged : {"", "a\\", "a/", "\\"}) {
        std::string path = unchanged;
        EnsureTrailingSeparator(path);
        EXPECT_EQ(path, unchanged);
    }
    std::string path = "C:";
    EnsureTrailingSeparator(path);
    EXPECT_EQ(path, "C:\\");
}

// 0x95 0x5C is one character in each double-byte code page (in 932 it is
// U+8868; 949 has no character with the trail byte 0x5C, but a lead byte
// still takes the byte after it). In 1252, and in UTF-8, where every byte of
// a multi-byte character is 0x80 or above, the same bytes end in a backslash.
TEST(PathHelpers, CutPathsByCharacterInDoubleByteCodePages)
{
    const std::string folder = "C:\\Daten\\\x95\x5C";
    struct Case { UINT codePage; std::string::size_type lastBackslash; bool separatorAppended; };
    const Case cases[] = {
        {932, 8, true}, {936, 8, true}, {949, 8, true}, {950, 8, true},
        {1252, 10, false}, {CP_UTF8, 10, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindLastCharacter(folder, "\\", c.codePage), c.lastBackslash) << c.codePage;
        EXPECT_EQ(FindLastCharacter(folder + "x:y", "\\/:", c.codePage), folder.size() + 1)
            << c.codePage;
        std::string path = folder;
        EnsureTrailingSeparator(path, c.codePage);
        EXPECT_EQ(path, c.separatorAppended ? folder + "\\" : folder) << c.codePage;
    }
    // The same bytes in another order: a backslash after the character.
    EXPECT_EQ(FindLastCharacter("\x95\x5C\\x", "\\", 932), 2u);
    EXPECT_EQ(FindLastCharacter("\x95\x5C" "a.b", ".", 932), 3u);
    EXPECT_EQ(FindLastCharacter("abc", "\\", 932), std::string::npos);
    EXPECT_EQ(FindLastCharacter("", "\\", 932), std::string::npos);
}
