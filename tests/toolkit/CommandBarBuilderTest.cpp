#include "CommandBarBuilder.h"

#include "Bitmaps.h"
#include "ClipboardText.h"
#include "Event.h"
#include "OfficeInterfaces.h"
#include "PinnedCatalogue.h"
#include "StandInFixture.h"
#include "TestThread.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

using standin::ControlState;

// The program's string table as the user must see it (code page 1252).
const std::pair<int, const char*> kStrings[] = {
    {1, "\xDC" "bersetzungsrichtung"},
    {2, "Themenvorlage"},
    {3, "&Markierte Objekte \xFC" "bersetzen"},
    {4, "Im eigenen &Fenster \xFC" "bersetzen"},
    {5, "&Eintrag \xF6" "ffnen"},
    {6, "Dokument-&W\xF6rterb\xFC" "cher"},
    {7, "U&nbekannte W\xF6rter"},
    {8, "&Reservierte W\xF6rter"},
    {9, "Als &Themenvorlage speichern"},
    {10, "Themenvorlagen &bearbeiten"},
    {11, "&Automatische Auswahl der Themenvorlage"},
    {12, "\xDC" "bersetzun&gsoptionen"},
    {13, "Mar&kierung audieren"},
    {14, "&Hilfe"},
    {15, "\xDC" "bersetzungsrichtung und Themen&vorlage"},
    {16, "Nach &oben \xFC" "bersetzen"},
    {17, "Nach &unten \xFC" "bersetzen"},
    {18, "&Pr\xE4sentation \xFC" "bersetzen"},
    {19, "E&lement \xFC" "bersetzen"},
    {20, "&Markierung \xFC" "bersetzen"},
    {21, "Se&ite \xFC" "bersetzen"},
    {22, "&Quillbar aktivieren / deaktivieren "},
    {48, "\xDC" "berset&zer"},
};

std::string ExpectedText(int id)
{
    for (const auto& [stringId, text] : kStrings)
        if (stringId == id)
            return text;
    return "<no such string>";
}

standin::BitmapPixels FaceResource(int bitmapId)
{
    standin::BitmapPixels pixels;
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(bitmapId));
    if (bitmap) {
        standin::ReadBitmap(bitmap, pixels);
        DeleteObject(bitmap);
    }
    return pixels;
}

struct TableCase {
    const char* name;
    const ControlDescriptor* table;
    const PinnedBar* expected;
};

class TableBuildTest : public StandInTest, public ::testing::WithParamInterface<TableCase> {};

// Every row as the user must see it: kind, face, caption (also the
// description), tag and separator, with the widths the drop-down lists get.
TEST_P(TableBuildTest, BuildsEveryRowWithItsKindTextsGroupWidthAndFace)
{
    const TableCase& c = GetParam();
    const AutomationObject bar = NewBar("Target");
    AddControlsFromTable(bar, c.table);

    const auto& controls = app_->commandBars->bars.back()->controls;
    ASSERT_EQ(controls.size(), c.expected->size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const PinnedControl& row = (*c.expected)[i];
        const ControlState& control = *controls[i];
        SCOPED_TRACE(row.tag);
        EXPECT_EQ(control.tag, row.tag);
        EXPECT_EQ(control.caption, row.caption);
        EXPECT_EQ(control.description, row.caption);
        EXPECT_EQ(control.beginGroup, row.beginGroup);
        if (row.face > 0) {
            EXPECT_EQ(control.type, office::kControlButton);
            EXPECT_EQ(control.face, FaceResource(row.face));
            EXPECT_EQ(control.face.width, 16);
            EXPECT_EQ(control.width, 0);
        } else {
            EXPECT_EQ(control.type, office::kControlDropdown);
            EXPECT_TRUE(control.face.empty());
            EXPECT_EQ(control.width, 120);
            EXPECT_EQ(control.dropDownWidth, 120);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, TableBuildTest,
    ::testing::Values(TableCase{"PowerPointToolbar", catalogue::kPowerPointToolbar, &kPinnedPowerPointToolbar},
                      TableCase{"PowerPointMenu", catalogue::kPowerPointMenu, &kPinnedPowerPointMenu},
                      TableCase{"FrontPageToolbar", catalogue::kFrontPageToolbar, &kPinnedFrontPageToolbar},
                      TableCase{"FrontPageMenu", catalogue::kFrontPageMenu, &kPinnedFrontPageMenu}),
    [](const ::testing::TestParamInfo<TableCase>& info) { return info.param.name; });

TEST(Catalogue, StringTableHoldsTheGermanTextsExactly)
{
    for (const auto& [id, text] : kStrings) {
        char loaded[256] = {};
        LoadStringA(GetModuleHandleA(nullptr), id, loaded, sizeof loaded);
        EXPECT_EQ(std::string(loaded), text) << "string " << id;
    }
}

TEST(Catalogue, DirectionListsDifferInNameBetweenTheTwoToolbars)
{
    EXPECT_STREQ(catalogue::kPowerPointToolbar[0].tag, "TALVO_QB_DIRECTION");
    EXPECT_STREQ(catalogue::kFrontPageToolbar[0].tag, "TALVO_QB_DIRECTIONS");
    EXPECT_STREQ(catalogue::kFrontPageToolbar[1].tag, "TALVO_QB_TEMPLATES");
    EXPECT_EQ(catalogue::kFrontPageToolbar[1].bitmapId, -1);
    EXPECT_STREQ(catalogue::kMenuTag, "TALVO6_QB_MENU");
    EXPECT_STREQ(catalogue::kToolbarName, "TALVO6 Quillbar");
}

TEST_F(StandInTest, TableStartingWithTheTerminatorTouchesNeitherBarNorClipboard)
{
    PutTextOnClipboard("Notizen des Benutzers");
    const ControlDescriptor empty[] = {{0, 0, nullptr, 0}};
    AddControlsFromTable(NewBar("Target"), empty);

    EXPECT_TRUE(app_->commandBars->bars.back()->controls.empty());
    EXPECT_EQ(ClipboardText(), "Notizen des Benutzers");
}

TEST_F(StandInTest, ButtonsReplaceTheClipboardWithTheirFaces)
{
    PutTextOnClipboard("Notizen des Benutzers");
    AddControlsFromTable(NewBar("Target"), catalogue::kFrontPageMenu);
    EXPECT_EQ(ClipboardText(), "");
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << "the last face stays on the clipboard";
}

// Another thread holds the clipboard open for a window of its own, as
// another program would, until told to let go.
class ClipboardHolder {
public:
    ClipboardHolder()
        : thread_(StartThread([this] {
              HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                            nullptr, nullptr, nullptr);
              opened_ = window && OpenClipboard(window);
              ready_.Set();
              release_.Wait(INFINITE);
              if (opened_)
                  CloseClipboard();
              DestroyWindow(window);
          }))
    {
        ready_.Wait(INFINITE);
    }
    ~ClipboardHolder()
    {
        release_.Set();
        thread_.Join();
    }
    bool Holds() const { return opened_; }

private:
    Event ready_{Event::Reset::Manual};
    Event release_{Event::Reset::Manual};
    bool opened_ = false;
    Thread thread_;
};

// A window of the building thread, which notes whether a message posted to it
// was handled while the build still waited.
class WaitingWitness {
public:
    WaitingWitness()
        : window_(CreateWindowExA(0, "STATIC", "witness", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr))
    {
        SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure));
        PostMessageA(window_, WM_APP, 0, 0);
    }
    ~WaitingWitness() { DestroyWindow(window_); }
    WaitingWitness(const WaitingWitness&) = delete;
    WaitingWitness& operator=(const WaitingWitness&) = delete;

    bool waiting = false;
    bool handledWhileWaiting = false;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<WaitingWitness*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (message == WM_APP && self)
            self->handledWhileWaiting = self->waiting;
        return DefWindowProcA(window, message, wParam, lParam);
    }

    HWND window_;
};

// The build stops at the first button; while it waited for the clipboard the
// thread went on handling its messages (calls into the server arrive so).
TEST_F(StandInTest, HeldClipboardStopsTheBuildQuietlyAtTheFirstButton)
{
    const AutomationObject bar = NewBar("Target");
    {
        const ClipboardHolder holder;
        ASSERT_TRUE(holder.Holds());
        WaitingWitness witness;
        witness.waiting = true;
        EXPECT_NO_THROW(AddControlsFromTable(bar, catalogue::kPowerPointToolbar));
        witness.waiting = false;
        EXPECT_TRUE(witness.handledWhileWaiting);
    }
    const auto& controls = app_->commandBars->bars.back()->controls;
    ASSERT_EQ(controls.size(), 3u) << "two drop-down lists and the first button";
    EXPECT_EQ(controls[1]->caption, ExpectedText(2));
    EXPECT_EQ(controls[2]->tag, "TALVO_QB_SLIDE");
    EXPECT_TRUE(controls[2]->face.empty());
    EXPECT_EQ(controls[2]->caption, "");
    EXPECT_EQ(journal_->CountOf("Button.PasteFace"), 0);
}

// Held only for a moment, as Wine's clipboard manager holds it after each
// change: the build waits and goes on.
TEST_F(StandInTest, ClipboardHeldForAMomentIsWaitedFor)
{
    const AutomationObject bar = NewBar("Target");
    {
        auto holder = std::make_unique<ClipboardHolder>();
        ASSERT_TRUE(holder->Holds());
        Thread letGo = StartThread([&] {
            Sleep(300);
            holder.reset();
        });
        AddControlsFromTable(bar, catalogue::kPowerPointToolbar);
        letGo.Join();
    }
    const auto& controls = app_->commandBars->bars.back()->controls;
    ASSERT_EQ(controls.size(), 18u);
    EXPECT_EQ(controls[2]->face, FaceResource(129));
}

// A face that cannot be put on the clipboard is not pasted from whatever is
// there: the button gets everything else, and the build goes on.
TEST_F(StandInTest, ButtonWhoseFaceIsMissingGetsItsTextsAndNoFace)
{
    const ControlDescriptor table[] = {{129, 3, "TALVO_QB_SLIDE", 0},
                                       {4242, 14, "TALVO_QB_HELP", 1},
                                       {131, 18, "TALVO_QB_ALL", 0},
                                       {0, 0, nullptr, 0}};
    PutTextOnClipboard("Notizen des Benutzers");
    EXPECT_NO_THROW(AddControlsFromTable(NewBar("Target"), table));

    const auto& controls = app_->commandBars->bars.back()->controls;
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_TRUE(controls[1]->face.empty());
    EXPECT_EQ(controls[1]->caption, "&Hilfe");
    EXPECT_TRUE(controls[1]->beginGroup);
    EXPECT_EQ(controls[2]->face, FaceResource(131));
    EXPECT_EQ(journal_->CountOf("Button.PasteFace"), 2);
}

TEST_F(StandInTest, TextWithALineFeedIsDescriptionThenCaption)
{
    const ControlDescriptor table[] = {{129, 900, "TALVO_QB_SPLIT", 0},
                                       {-1, 900, "TALVO_QB_SPLIT_LIST", 0},
                                       {0, 0, nullptr, 0}};
    AddControlsFromTable(NewBar("Target"), table);
    for (const auto& control : app_->commandBars->bars.back()->controls) {
        EXPECT_EQ(control->description, "Beschreibung");
        EXPECT_EQ(control->caption, "Knopf");
    }
}

TEST_F(StandInTest, ArgumentsAndOrderOfOneButtonAndOneList)
{
    const ControlDescriptor table[] = {{132, 14, "TALVO_QB_HELP", 1},
                                       {-1, 1, "TALVO_QB_DIRECTION", 0},
                                       {0, 0, nullptr, 0}};
    AddControlsFromTable(NewBar("Target"), table);
    const std::vector<std::string> expected = {
        "CommandBar[Target].Controls",
        "CommandBarControls[Target].Add(1:I4, missing, missing, missing, missing)",
        "Button.Tag = \"TALVO_QB_HELP\"",
        "Button[TALVO_QB_HELP].PasteFace()",
        "Button[TALVO_QB_HELP].BeginGroup = -1:BOOL",
        "Button[TALVO_QB_HELP].DescriptionText = \"&Hilfe\"",
        "Button[TALVO_QB_HELP].Caption = \"&Hilfe\"",
        "CommandBarControls[Target].Add(3:I4, missing, missing, missing, missing)",
        "ComboBox.Tag = \"TALVO_QB_DIRECTION\"",
        "ComboBox[TALVO_QB_DIRECTION].BeginGroup = 0:BOOL",
        "ComboBox[TALVO_QB_DIRECTION].DropDownWidth = 120:I4",
        "ComboBox[TALVO_QB_DIRECTION].Width = 120:I4",
        "ComboBox[TALVO_QB_DIRECTION].DescriptionText = \"\xDC" "bersetzungsrichtung\"",
        "ComboBox[TALVO_QB_DIRECTION].Caption = \"\xDC" "bersetzungsrichtung\"",
    };
    EXPECT_EQ(journal_->CallStrings(), expected);
}

TEST_F(StandInTest, EachMemberIsLookedUpOncePerDeclaringInterfaceOverWholeBuilds)
{
    AddControlsFromTable(NewBar("Menu"), catalogue::kPowerPointMenu);
    AddControlsFromTable(NewBar("Toolbar"), catalogue::kPowerPointToolbar);

    const auto& lookups = journal_->IdLookups();
    const std::set<std::string> distinct(lookups.begin(), lookups.end());
    EXPECT_EQ(lookups.size(), distinct.size());
    EXPECT_EQ(distinct, (std::set<std::string>{
                            "CommandBar.Controls", "CommandBarControls.Add", "Button.Tag",
                            "Button.PasteFace", "Button.BeginGroup", "Button.DescriptionText",
                            "Button.Caption", "ComboBox.DropDownWidth", "ComboBox.Width"}))
        << "what CommandBarControl declares is looked up once for buttons and drop-downs";
    EXPECT_GT(journal_->Calls().size(), 200u);
}

TEST_F(StandInTest, FailingCallRaisesWithItsCodeAndKeepsWhatWasBuilt)
{
    journal_->FailCall("Button.PasteFace", 3, E_ACCESSDENIED);
    const long liveBefore = standin::DispatchObject::LiveCount();
    try {
        AddControlsFromTable(NewBar("Target"), catalogue::kPowerPointToolbar);
        ADD_FAILURE() << "no exception";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), E_ACCESSDENIED);
        EXPECT_EQ(error.Iid(), office::IID_CommandBarButton);
    }
    const auto& controls = app_->commandBars->bars.back()->controls;
    ASSERT_EQ(controls.size(), 5u);
    EXPECT_EQ(controls[4]->tag, "TALVO_QB_UP");
    EXPECT_TRUE(controls[4]->face.empty());
    EXPECT_EQ(standin::DispatchObject::LiveCount(), liveBefore) << "a reference leaked";
}

TEST_F(StandInTest, WholeBuildReleasesEveryReference)
{
    const long liveBefore = standin::DispatchObject::LiveCount();
    {
        const AutomationObject bar = NewBar("Target");
        AddControlsFromTable(bar, catalogue::kFrontPageToolbar);
    }
    EXPECT_EQ(standin::DispatchObject::LiveCount(), liveBefore);
}

}  // namespace
