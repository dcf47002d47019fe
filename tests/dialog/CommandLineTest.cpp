#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {

using A = CommandAction;

struct Case {
    const char* line;
    bool showDialog;
    std::vector<CommandAction> actions;
    bool serve;
};

const Case kCases[] = {
    // Without arguments: the dialog.
    {"qbsetup.exe", true, {}, false},
    {"qbsetup.exe    ", true, {}, false},
    {"\"C:\\Program Files\\TALVO\\qbsetup.exe\"", true, {}, false},
    {"\"C:\\Program Files\\TALVO\\qbsetup.exe\"  ", true, {}, false},
    {"", true, {}, false},
    // The program name: quoted names are skipped whole, others end at a space.
    {"\"C:\\Program Files\\TALVO\\qbsetup.exe\" -D", false, {A::RemoveAllAddins}, false},
    {"C:\\Programme\\qbsetup.exe -D", false, {A::RemoveAllAddins}, false},
    {"C:\\Program Files\\qbsetup.exe", false, {}, false},  // "Files\qbsetup.exe" is a token
    {"\"C:\\unterminated -D", true, {}, false},
    // Case, slashes and dashes.
    {"qbsetup /regserver", false, {A::RegisterServer}, false},
    {"qbsetup -RegServer", false, {A::RegisterServer}, false},
    {"qbsetup /UnRegServer", false, {A::UnregisterServer}, false},
    {"qbsetup --regserver", false, {}, false},
    {"qbsetup /d", false, {A::RemoveAllAddins}, false},
    {"qbsetup -d\t", false, {}, false},  // a tab belongs to the token
    {"qbsetup unknown", false, {}, false},
    // Several tokens, left to right; nothing after -Embedding counts.
    {"qbsetup -REGSERVER   -D", false, {A::RegisterServer, A::RemoveAllAddins}, false},
    {"qbsetup -D -Embedding", false, {A::RemoveAllAddins}, true},
    {"qbsetup -Embedding -RegServer", false, {}, true},
    {"qbsetup -RegServer -Embedding", false, {A::RegisterServer}, true},
    {"qbsetup -unregserver -regserver", false, {A::UnregisterServer, A::RegisterServer}, false},
};

TEST(CommandLine, ParsesAsTheProgramIsStarted)
{
    for (const Case& c : kCases) {
        const CommandLine parsed = ParseCommandLine(c.line);
        EXPECT_EQ(parsed.showDialog, c.showDialog) << c.line;
        EXPECT_EQ(parsed.actions, c.actions) << c.line;
        EXPECT_EQ(parsed.serve, c.serve) << c.line;
    }
}

}  // namespace
