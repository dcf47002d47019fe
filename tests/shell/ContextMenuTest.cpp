// The context-menu handler driven as Explorer drives it: created from the
// handler key registered for all files, initialised with the shell's own
// data object for real files, asked for its menu, help text and command.
#include "DataObjects.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"
#include "TranslatorStandIn.h"
#include "WebPageFolderSupport.h"

#include "TextConversion.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kItemText[] = "In TALVO \xFC" "bersetzen";
const UINT kFirstCommand = 100;

class ContextMenu : public ::testing::Test {
protected:
    // A new handler, as Explorer finds it for a file.
    ComPtr<IShellExtInit> NewHandler()
    {
        const auto clsidText =
            reg::GetValue(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\TalvoMenu", nullptr);
        EXPECT_TRUE(clsidText);
        CLSID clsid = {};
        ComPtr<IShellExtInit> handler;
        if (clsidText && SUCCEEDED(CLSIDFromString(ToWide(clsidText->Text()).c_str(), &clsid)))
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit,
                             handler.PutVoid());
        EXPECT_TRUE(handler);
        return handler;
    }

    // A handler that accepted the selection of the given files.
    ComPtr<IContextMenu> MenuFor(const std::vector<std::string>& files)
    {
        ComPtr<IShellExtInit> handler = NewHandler();
        ComPtr<IDataObject> data = ShellSelection(files);
        EXPECT_TRUE(data);
        ComPtr<IContextMenu> menu;
        if (handler && SUCCEEDED(handler->Initialize(nullptr, data.Get(), nullptr)))
            handler.As(IID_IContextMenu, menu);
        return menu;
    }

    HRESULT InitializeWith(const std::vector<std::string>& files)
    {
        ComPtr<IShellExtInit> handler = NewHandler();
        ComPtr<IDataObject> data = ShellSelection(files);
        EXPECT_TRUE(data);
        return handler && data ? handler->Initialize(nullptr, data.Get(), nullptr) : E_UNEXPECTED;
    }

    static HRESULT Invoke(IContextMenu* menu, const char* verb)
    {
        CMINVOKECOMMANDINFO info = {};
        info.cbSize = sizeof info;
        info.lpVerb = verb;
        info.nShow = SW_SHOWNORMAL;
        return menu->InvokeCommand(&info);
    }

    static std::string OpenCall(const std::wstring& path)
    {
        return "opener.8(" + TranslatorStandIn::AsRecorded(path) + ", 0, 0, '', 0)";
    }
    static std::string OpenCall(const std::string& path) { return OpenCall(ToWide(path)); }

    RegisteredShell shell_;
    ScratchFolder folder_;
};

TEST_F(ContextMenu, OffersTheItemForOneFileWithATranslatableExtension)
{
    const struct {
        const char* name;
        bool offered;
    } files[] = {
        {"Brief.doc", true},   {"seite.HtMl", true},     {"notiz.TXT", true},
        {"a.std", true},       {"b.Rtf", true},          {"c.htm", true},
        {"README", false},     {"archiv.tar.gz", false}, {"seite.htmlx", false},
        {"liste.tx", false},   {"Texte.d\\README", false},
    };
    for (const auto& file : files) {
        const std::string path = folder_.Write(file.name, "text");
        EXPECT_EQ(InitializeWith({path}), file.offered ? S_OK : E_FAIL) << file.name;
    }

    // Names the ANSI code page cannot hold, as Explorer hands them (UTF-16).
    // Only the letters a to z change case: the long s (U+017F) is no 's'.
    const struct {
        const wchar_t* name;
        bool offered;
    } wideNames[] = {
        {L"S\u0142ownik.txt", true},
        {L"\u65E5\u8A18.Doc", true},
        {L"notiz.\u017Ftd", false},
    };
    ComPtr<IShellExtInit> handler = NewHandler();
    ASSERT_TRUE(handler);
    for (const auto& file : wideNames) {
        const std::wstring path = ToWide(folder_.Path()) + L"\\" + file.name;
        EXPECT_EQ(handler->Initialize(nullptr, WideDropListDataObject({path}).Get(), nullptr),
                  file.offered ? S_OK : E_FAIL)
            << TranslatorStandIn::AsRecorded(file.name);
    }
}

TEST_F(ContextMenu, OffersNothingForSeveralFilesOrNoFile)
{
    const std::string first = folder_.Write("eins.txt", "1");
    const std::string second = folder_.Write("zwei.txt", "2");
    EXPECT_EQ(InitializeWith({first, second}), E_FAIL);

    ComPtr<IShellExtInit> handler = NewHandler();
    ASSERT_TRUE(handler);
    // "name." cannot exist as a file: the drop list alone carries it.
    EXPECT_EQ(handler->Initialize(nullptr, DropListDataObject({folder_ / "name."}).Get(), nullptr),
              E_FAIL);
    EXPECT_EQ(handler->Initialize(nullptr, DropListDataObject({}, false).Get(), nullptr), E_FAIL);
    EXPECT_EQ(handler->Initialize(nullptr, nullptr, nullptr), E_FAIL);

    // An empty drop list after an accepted file must not fall back on it.
    const TranslatorStandIn translator;
    ASSERT_EQ(handler->Initialize(nullptr, ShellSelection({first}).Get(), nullptr), S_OK);
    EXPECT_EQ(handler->Initialize(nullptr, DropListDataObject({}).Get(), nullptr), E_FAIL);
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(handler.As(IID_IContextMenu, menu), S_OK);
    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), E_FAIL);
    EXPECT_TRUE(translator.Calls().empty());
}

TEST_F(ContextMenu, InsertsSeparatorAndItemAtTheGivenPositionForMenuFlags)
{
    ComPtr<IContextMenu> menu = MenuFor({folder_.Write("Brief.doc", "x")});
    ASSERT_TRUE(menu);
    const struct {
        UINT flags;
        bool adds;
    } cases[] = {
        {CMF_NORMAL, true},
        {CMF_VERBSONLY, true},
        {CMF_EXPLORE, true},
        {CMF_DEFAULTONLY | CMF_VERBSONLY, true},
        {CMF_NOVERBS | CMF_EXPLORE, true},
        {CMF_CANRENAME, true},  // the low four bits are clear: a normal menu
        {CMF_DEFAULTONLY, false},
        {CMF_NOVERBS, false},
        {CMF_DEFAULTONLY | CMF_NOVERBS, false},
    };
    for (const auto& test : cases) {
        HMENU popup = CreatePopupMenu();
        AppendMenuA(popup, MF_STRING, 1, "Open");
        AppendMenuA(popup, MF_STRING, 2, "Print");
        const HRESULT hr = menu->QueryContextMenu(popup, 1, kFirstCommand, kFirstCommand + 10,
                                                  test.flags);
        if (test.adds) {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1)) << test.flags;
            ASSERT_EQ(GetMenuItemCount(popup), 4) << test.flags;
            EXPECT_EQ(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR,
                      static_cast<UINT>(MF_SEPARATOR));
            EXPECT_EQ(GetMenuItemID(popup, 2), kFirstCommand);
            char text[64] = {};
            GetMenuStringA(popup, 2, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, kItemText);
            EXPECT_EQ(GetMenuItemID(popup, 3), 2u);
        } else {
            EXPECT_EQ(hr, S_OK) << test.flags;
            EXPECT_EQ(GetMenuItemCount(popup), 2) << test.flags;
        }
        DestroyMenu(popup);
    }
    HMENU destroyed = CreatePopupMenu();
    DestroyMenu(destroyed);
    // The menu's own error where the platform sets one (Windows:
    // ERROR_INVALID_MENU_HANDLE), else E_FAIL (Wine 8 sets none).
    const HRESULT refused = menu->QueryContextMenu(destroyed, 0, kFirstCommand, kFirstCommand, 0);
    EXPECT_TRUE(refused == HRESULT_FROM_WIN32(ERROR_INVALID_MENU_HANDLE) || refused == E_FAIL)
        << std::hex << refused;
}

TEST_F(ContextMenu, HelpTextFitsTheCallersBuffer)
{
    ComPtr<IContextMenu> menu = MenuFor({folder_.Write("Brief.doc", "x")});
    ASSERT_TRUE(menu);

    char narrow[64];
    memset(narrow, 'x', sizeof narrow);
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTA, nullptr, narrow, sizeof narrow), S_OK);
    EXPECT_STREQ(narrow, kItemText);
    memset(narrow, 'x', sizeof narrow);
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTA, nullptr, narrow, 5), S_OK);
    EXPECT_EQ(std::string(narrow, 6), std::string("In T\0x", 6));

    wchar_t wide[64];
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 64),
              S_OK);
    EXPECT_STREQ(wide, L"In TALVO \u00FCbersetzen");
    wmemset(wide, L'x', 64);
    EXPECT_EQ(menu->GetCommandString(0, GCS_HELPTEXTW, nullptr, reinterpret_cast<char*>(wide), 5),
              S_OK);
    EXPECT_EQ(wide[0], L'\0') << "a wide text that does not fit is not cut";

    // Verbs, validation and other commands leave the buffer alone.
    for (UINT type : {GCS_VERBA, GCS_VERBW, GCS_VALIDATEA}) {
        memset(narrow, 'x', sizeof narrow);
        EXPECT_EQ(menu->GetCommandString(0, type, nullptr, narrow, sizeof narrow), S_OK);
        EXPECT_EQ(narrow[0], 'x') << type;
    }
    memset(narrow, 'x', sizeof narrow);
    EXPECT_EQ(menu->GetCommandString(1, GCS_HELPTEXTA, nullptr, narrow, sizeof narrow), S_OK);
    EXPECT_EQ(narrow[0], 'x');
}

TEST_F(ContextMenu, ChoosingTheItemHandsTheFileToTheTranslator)
{
    const std::string path = folder_.Write("Brief.doc", "x");
    ComPtr<IContextMenu> menu = MenuFor({path});
    ASSERT_TRUE(menu);
    const TranslatorStandIn translator;

    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), S_OK);

    const std::vector<std::string> expected = {"create",           "run",
                                               "query application", "application.8(1)",
                                               "application.9",     OpenCall(path)};
    EXPECT_EQ(translator.Calls(), expected);
    EXPECT_EQ(translator.LiveObjects(), 0) << "every object of the translator is released";
}

// The translator is a 32-bit program: its installation registers its server
// in the 32-bit view only. Explorer's handler, of either bitness, still
// starts it and hands it the file across the process boundary.
TEST_F(ContextMenu, ChoosingTheItemReachesTheTranslatorsOwn32BitServer)
{
    const std::string path = folder_.Write("Brief.doc", "x");
    ComPtr<IContextMenu> menu = MenuFor({path});
    ASSERT_TRUE(menu);
    const std::string server = MainBuildFolder() + "translator_standin.exe";
    const std::string journal = folder_ / "translator.journal";
    ASSERT_EQ(RunProgram("\"" + server + "\" --register \"" + journal + "\"").exitCode, 0u);
    EXPECT_TRUE(reg::KeyExists(HKEY_CLASSES_ROOT,
                               "CLSID\\{E9991BC0-DF93-11D3-BEB3-00E0290CDC2F}\\LocalServer32",
                               KEY_WOW64_32KEY));
    EXPECT_FALSE(reg::KeyExists(HKEY_CLASSES_ROOT,
                                "CLSID\\{E9991BC0-DF93-11D3-BEB3-00E0290CDC2F}",
                                KEY_WOW64_64KEY));

    const HRESULT invoked = Invoke(menu.Get(), MAKEINTRESOURCEA(0));
    const std::string calls = WaitForFile(journal);
    RunProgram("\"" + server + "\" --unregister \"" + journal + "\"");

    EXPECT_EQ(invoked, S_OK);
    std::vector<std::string> steps;
    for (std::string::size_type start = 0, end; (end = calls.find('\n', start)) != calls.npos;
         start = end + 1)
        steps.push_back(calls.substr(start, end - start));
    // Across processes COM itself asks for the interface once more, for its
    // stub: that one query, right after the handler's own, is not counted.
    const auto comsOwn = std::adjacent_find(steps.begin(), steps.end(),
                                            [](const std::string& a, const std::string& b) {
                                                return a == "query application" && b == a;
                                            });
    if (comsOwn != steps.end())
        steps.erase(comsOwn);
    const std::vector<std::string> expected = {"create",           "run",
                                               "query application", "application.8(1)",
                                               "application.9",     OpenCall(path)};
    EXPECT_EQ(steps, expected);
}

TEST_F(ContextMenu, StringVerbsAndOtherCommandsAreRefusedWithoutStartingAnything)
{
    ComPtr<IContextMenu> menu = MenuFor({folder_.Write("Brief.doc", "x")});
    ASSERT_TRUE(menu);
    const TranslatorStandIn translator;

    EXPECT_EQ(Invoke(menu.Get(), "open"), E_INVALIDARG);
    EXPECT_EQ(Invoke(menu.Get(), ""), E_INVALIDARG);
    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(1)), E_INVALIDARG);
    EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
    EXPECT_TRUE(translator.Calls().empty());
}

TEST_F(ContextMenu, EveryFailingStepOfTheLaunchGivesEFailAndReleasesEverything)
{
    using Step = TranslatorStandIn::Step;
    const std::string path = folder_.Write("Brief.doc", "x");
    ComPtr<IContextMenu> menu = MenuFor({path});
    ASSERT_TRUE(menu);

    // Without the translator's server there is nothing to start.
    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), E_FAIL);

    const struct {
        Step step;
        size_t callsMade;
    } failures[] = {
        {Step::Create, 1},        {Step::Run, 2},           {Step::QueryApplication, 3},
        {Step::Start, 4},         {Step::GetFileOpener, 5}, {Step::NullFileOpener, 5},
        {Step::OpenFile, 6},
    };
    for (const auto& failure : failures) {
        const TranslatorStandIn translator(failure.step);
        EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), E_FAIL);
        EXPECT_EQ(translator.Calls().size(), failure.callsMade);
        EXPECT_EQ(translator.LiveObjects(), 0);
    }
}

TEST_F(ContextMenu, EachHandlerActsOnItsOwnSelection)
{
    const std::string letter = folder_.Write("Brief.doc", "x");
    const std::string page = folder_.Write("seite.HtMl", "y");
    ComPtr<IContextMenu> first = MenuFor({letter});
    ComPtr<IContextMenu> second = MenuFor({page});
    ASSERT_TRUE(first && second);
    const TranslatorStandIn translator;

    EXPECT_EQ(Invoke(first.Get(), MAKEINTRESOURCEA(0)), S_OK);
    EXPECT_EQ(Invoke(second.Get(), MAKEINTRESOURCEA(0)), S_OK);

    const std::vector<std::string> calls = translator.Calls();
    ASSERT_EQ(calls.size(), 12u);
    EXPECT_EQ(calls[5], OpenCall(letter));
    EXPECT_EQ(calls[11], OpenCall(page));
}

// "Słownik.txt" beside "Slownik.txt", the name the ANSI code page's best fit
// makes of it: the translator gets the file that was chosen, in both
// bitnesses.
TEST_F(ContextMenu, ANameOutsideTheCodePageReachesTheTranslatorAsItIs)
{
    const std::wstring chosen = folder_.Write(std::wstring(L"S\u0142ownik.txt"), "chosen");
    folder_.Write("Slownik.txt", "its best-fit twin");
    ComPtr<IShellExtInit> handler = NewHandler();
    ASSERT_TRUE(handler);
    const ComPtr<IDataObject> selection = ShellSelection(std::vector<std::wstring>{chosen});
    ASSERT_TRUE(selection);
    ASSERT_EQ(handler->Initialize(nullptr, selection.Get(), nullptr), S_OK);
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(handler.As(IID_IContextMenu, menu), S_OK);
    const TranslatorStandIn translator;

    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), S_OK);
    ASSERT_EQ(translator.Calls().size(), 6u);
    EXPECT_EQ(translator.Calls()[5], OpenCall(chosen));
}

TEST_F(ContextMenu, PathsLongerThanMaxPathReachTheTranslatorWhole)
{
    ComPtr<IShellExtInit> handler = NewHandler();
    ASSERT_TRUE(handler);
    const std::string path = "C:\\" + std::string(300, 'd') + "\\Brief.doc";
    ASSERT_EQ(handler->Initialize(nullptr, DropListDataObject({path}).Get(), nullptr), S_OK);
    ComPtr<IContextMenu> menu;
    ASSERT_EQ(handler.As(IID_IContextMenu, menu), S_OK);
    const TranslatorStandIn translator;

    EXPECT_EQ(Invoke(menu.Get(), MAKEINTRESOURCEA(0)), S_OK);
    ASSERT_EQ(translator.Calls().size(), 6u);
    EXPECT_EQ(translator.Calls()[5], OpenCall(path));
}

}  // namespace
