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
