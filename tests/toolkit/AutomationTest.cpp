#include "Automation.h"

#include "HostInstance.h"
#include "OfficeHost.h"
#include "OfficeInterfaces.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "StandInRegistration.h"
#include "StandInFixture.h"
#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

TEST(Automation, MissingArgumentIsTheOneParamNotFoundError)
{
    EXPECT_EQ(Missing().vt, VT_ERROR);
    EXPECT_EQ(Missing().scode, DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(&Missing(), &Missing());
}

TEST(Automation, CallsThroughANullObjectRaiseEPointer)
{
    const AutomationObject nothing = AutomationObject::Nothing(office::IID_CommandBar);
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { nothing.Get("Name"); },
             [&] { nothing.Put("Visible", Variant::Bool(VARIANT_TRUE)); },
             [&] { nothing.Call("Delete"); },
             [&] { nothing.GetAs(office::IID_CommandBarControls, "Controls"); }}) {
        try {
            call();
            ADD_FAILURE() << "no exception";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Result(), E_POINTER);
            EXPECT_EQ(error.Iid(), office::IID_CommandBar);
        }
    }
}

// Answers every query with a fixed failure.
class RefusingObject : public IUnknown {
public:
    explicit RefusingObject(HRESULT answer) : answer_(answer) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return answer_;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

private:
    HRESULT answer_;
};

TEST(Automation, QueryTurnsNoInterfaceIntoNullAndRaisesOtherFailures)
{
    RefusingObject noInterface(E_NOINTERFACE);
    EXPECT_FALSE(AutomationObject::Query(&noInterface, office::IID_CommandBarButton));
    EXPECT_FALSE(AutomationObject::Query(nullptr, office::IID_CommandBarButton));

    RefusingObject broken(RPC_E_DISCONNECTED);
    try {
        AutomationObject::Query(&broken, office::IID_CommandBarButton);
        ADD_FAILURE() << "no exception";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), RPC_E_DISCONNECTED);
        EXPECT_EQ(error.Iid(), office::IID_CommandBarButton);
    }
}

TEST_F(StandInTest, ObjectAnswersOnlyForItsOwnInterfaces)
{
    const AutomationObject bar = NewBar("Target");
    const AutomationObject control = bar.GetAs(office::IID_CommandBarControls, "Controls")
                                         .CallAs(office::IID_CommandBarControl, "Add",
                                                 Variant::I4(office::kControlDropdown), Missing(),
                                                 Missing(), Missing(), Missing());
    EXPECT_TRUE(control.As(office::IID_CommandBarComboBox));
    EXPECT_FALSE(control.As(office::IID_CommandBarButton));
    EXPECT_FALSE(control.As(office::IID_CommandBarPopup));
}

TEST_F(StandInTest, UnknownMemberRaisesTheServersAnswer)
{
    const AutomationObject bar = NewBar("Target");
    try {
        bar.Call("NoSuchMember");
        ADD_FAILURE() << "no exception";
    } catch (const ComError& error) {
        EXPECT_EQ(error.Result(), DISP_E_UNKNOWNNAME);
    }
}

// A DISPID is the declaring interface's (the stand-in numbers members so):
// what buttons, drop-downs and popups inherit from CommandBarControl is
// looked up once for all of them, a member of the same name that another
// interface declares is looked up there again.
AutomationObject AddControl(const AutomationObject& bar, long type, const IID& iid)
{
    return bar.GetAs(office::IID_CommandBarControls, "Controls")
        .CallAs(office::IID_CommandBarControl, "Add", Variant::I4(type), Missing(), Missing(),
                Missing(), Missing())
        .As(iid);
}

TEST_F(StandInTest, InheritedMembersAreLookedUpOnceForEveryKindOfControl)
{
    const AutomationObject bar = NewBar("Target");
    const AutomationObject controls[] = {
        AddControl(bar, office::kControlButton, office::IID_CommandBarButton),
        AddControl(bar, office::kControlDropdown, office::IID_CommandBarComboBox),
        AddControl(bar, office::kControlPopup, office::IID_CommandBarPopup),
    };
    for (const AutomationObject& control : controls) {
        control.Put("Tag", Text("T"));
        control.Put("Caption", Text("C"));
    }
    controls[2].Call("Delete", Missing());

    EXPECT_EQ(journal_->IdLookups(),
              (std::vector<std::string>{"CommandBar.Controls", "CommandBarControls.Add",
                                        "Button.Tag", "Button.Caption", "Popup.Delete"}));
    const auto calls = journal_->CallStrings();
    for (const char* expected : {"ComboBox.Tag = \"T\"", "ComboBox[T].Caption = \"C\"",
                                 "Popup.Tag = \"T\"", "Popup[T].Caption = \"C\"",
                                 "Popup[T].Delete(missing)"})
        EXPECT_NE(std::find(calls.begin(), calls.end(), expected), calls.end()) << expected;
}

TEST_F(StandInTest, AMemberOfTheSameNameInAnotherInterfaceIsLookedUpThere)
{
    const AutomationObject bar = NewBar("Target");
    AddControl(bar, office::kControlPopup, office::IID_CommandBarPopup).Call("Delete", Missing());
    bar.Put("Visible", Variant::Bool(VARIANT_TRUE));
    bar.Call("Delete");

    const auto& lookups = journal_->IdLookups();
    EXPECT_EQ(std::vector<std::string>(lookups.end() - 3, lookups.end()),
              (std::vector<std::string>{"Popup.Delete", "CommandBar.Visible", "CommandBar.Delete"}));
    EXPECT_EQ(journal_->CallStrings().back(), "CommandBar[Target].Delete()");
    EXPECT_TRUE(app_->commandBars->bars.size() == 2u) << "menu bar and standard toolbar remain";
}

// ---------------------------------------------------------------------------
// Reaching applications.

class HostInstanceTest : public StandInTest {
protected:
    AutomationObject NewApplication(standin::HostKind kind, const char* version)
    {
        auto state = std::make_shared<standin::ApplicationState>(kind);
        state->version = version;
        states_.push_back(state);
        return AutomationObject(standin::MakeApplication(journal_, state), IID_IDispatch);
    }
    static std::string UniqueProgId()
    {
        static int counter = 0;
        return "QuillbarTest.Host" + std::to_string(GetCurrentProcessId()) + "." +
               std::to_string(++counter);
    }
    std::vector<std::shared_ptr<standin::ApplicationState>> states_;
};

// The first entry of the running-object table that answers for iid, as the
// table itself enumerates them.
ComPtr<IUnknown> FirstRunning(const IID& iid)
{
    ComPtr<IRunningObjectTable> table;
    ComPtr<IEnumMoniker> monikers;
    ComPtr<IMoniker> moniker;
    GetRunningObjectTable(0, table.Put());
    table->EnumRunning(monikers.Put());
    while (monikers->Next(1, moniker.Put(), nullptr) == S_OK) {
        ComPtr<IUnknown> object;
        ComPtr<IUnknown> answer;
        if (SUCCEEDED(table->GetObject(moniker.Get(), object.Put())) &&
            SUCCEEDED(object->QueryInterface(iid, answer.PutVoid()))) {
            ComPtr<IUnknown> identity;
            answer->QueryInterface(IID_IUnknown, identity.PutVoid());
            return identity;
        }
    }
    return ComPtr<IUnknown>();
}

TEST_F(HostInstanceTest, FindRunningObjectReturnsTheFirstEntryThatAnswers)
{
    const IID& excel = Host(HostId::Excel).applicationIid;
    AutomationObject found;
    EXPECT_EQ(FindRunningObject(excel, found), E_FAIL);
    EXPECT_FALSE(found);

    const AutomationObject word = NewApplication(standin::HostKind::Word, "11.0");
    const AutomationObject first = NewApplication(standin::HostKind::Excel, "10.0");
    const AutomationObject second = NewApplication(standin::HostKind::Excel, "11.0");
    const standin::RunningObject wordEntry(word.Raw());
    const standin::RunningObject firstEntry(first.Raw());
    const standin::RunningObject secondEntry(second.Raw());
    ASSERT_EQ(secondEntry.Result(), S_OK);

    ASSERT_EQ(FindRunningObject(excel, found), S_OK);
    ComPtr<IUnknown> identity;
    found.Raw()->QueryInterface(IID_IUnknown, identity.PutVoid());
    EXPECT_EQ(identity.Get(), FirstRunning(excel).Get());
    EXPECT_EQ(found.Iid(), excel);
    ComPtr<IUnknown> firstIdentity;
    first.Raw()->QueryInterface(IID_IUnknown, firstIdentity.PutVoid());
    EXPECT_EQ(found.GetText("Version"), identity.Get() == firstIdentity.Get() ? "10.0" : "11.0")
        << "the instance found answers as itself";
}

// An Excel of another process in the running-object table whose thread has
// stopped answering; it ends with the test.
class HungExcel {
public:
    HungExcel()
    {
        folder_.Write("Hung.config", "version = 10.0\nhung = 1\n");
        process_ = StartProgram("\"" + BinaryFolder() + "office_standin.exe\" --run Hung --host Excel --dir \"" +
                                folder_.Path() + "\"");
    }
    ~HungExcel()
    {
        folder_.Write("Hung.release", "");
        if (process_ && WaitForSingleObject(process_.Get(), kPatienceMs) != WAIT_OBJECT_0)
            TerminateProcess(process_.Get(), 1);
    }
    bool InTheTable() const
    {
        return process_ && WaitUntil([&] {
                   return GetFileAttributesA((folder_ / "Hung.ready").c_str()) != INVALID_FILE_ATTRIBUTES;
               });
    }

private:
    ScratchFolder folder_;
    KernelHandle process_;
};

// An entry whose program no longer answers holds a walk up for the bound on
// calls into other programs, not for ever: it is shown as a call given up,
// and the entries after it are still reached.
TEST_F(HostInstanceTest, AnEntryWhoseProgramNoLongerAnswersIsPassedByAfterTheBound)
{
    const HungExcel hung;
    ASSERT_TRUE(hung.InTheTable());
    const AutomationObject live = NewApplication(standin::HostKind::Excel, "10.0");
    const standin::RunningObject liveEntry(live.Raw());
    ASSERT_EQ(liveEntry.Result(), S_OK);

    std::vector<HRESULT> results;
    EXPECT_EQ(VisitRunningObjects([&](IMoniker*, HRESULT result, IUnknown* object) {
                  EXPECT_EQ(object != nullptr, SUCCEEDED(result));
                  results.push_back(result);
                  return true;
              }),
              S_OK);
    std::sort(results.begin(), results.end());
    EXPECT_EQ(results, (std::vector<HRESULT>{RPC_E_CALL_CANCELED, S_OK}));

    AutomationObject found;
    ASSERT_EQ(FindRunningObject(Host(HostId::Excel).applicationIid, found), S_OK);
    EXPECT_EQ(found.GetText("Version"), "10.0");
}

TEST_F(HostInstanceTest, CreateHostInstanceTakesProgIdsAndClsidText)
{
    const IID& powerPoint = Host(HostId::PowerPoint).applicationIid;
    const std::string progId = UniqueProgId();
    const standin::CreatableClass creatable(progId, [this](REFIID iid, void** object) {
        return NewApplication(standin::HostKind::PowerPoint, "9.0").Raw()->QueryInterface(iid, object);
    });
    ASSERT_EQ(creatable.Result(), S_OK);

    AutomationObject instance;
    ASSERT_EQ(CreateHostInstance(progId.c_str(), nullptr, CLSCTX_ALL, powerPoint, instance), S_OK);
    EXPECT_EQ(instance.GetText("Version"), "9.0");
    EXPECT_EQ(instance.Iid(), powerPoint);

    ASSERT_EQ(CreateHostInstance(creatable.ClsidText().c_str(), nullptr, CLSCTX_ALL, powerPoint,
                                 instance),
              S_OK);
    EXPECT_EQ(creatable.Instances(), 2);

    // The object exists but is no PowerPoint: no pointer, the query's answer.
    EXPECT_EQ(CreateHostInstance(progId.c_str(), nullptr, CLSCTX_ALL,
                                 Host(HostId::Word).applicationIid, instance),
              E_NOINTERFACE);
    EXPECT_FALSE(instance);
}

TEST_F(HostInstanceTest, CreateHostInstanceReportsEveryFailureAsItsCode)
{
    const IID& iid = Host(HostId::FrontPage).applicationIid;
    AutomationObject instance;
    EXPECT_EQ(CreateHostInstance(nullptr, nullptr, CLSCTX_ALL, iid, instance), E_INVALIDARG);
    EXPECT_EQ(CreateHostInstance("QuillbarTest.Not.Registered", nullptr, CLSCTX_ALL, iid, instance),
              CO_E_CLASSSTRING)
        << "COM's answer for a ProgID it does not know";
    EXPECT_EQ(CreateHostInstance("{not a clsid", nullptr, CLSCTX_ALL, iid, instance),
              CO_E_CLASSSTRING);
    EXPECT_FALSE(instance);

    const std::string progId = UniqueProgId();
    const standin::CreatableClass refusing(progId, [](REFIID, void**) { return E_OUTOFMEMORY; });
    EXPECT_EQ(CreateHostInstance(progId.c_str(), nullptr, CLSCTX_ALL, iid, instance),
              E_OUTOFMEMORY);
    EXPECT_FALSE(instance);
}

}  // namespace
