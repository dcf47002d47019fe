#include "Installers.h"

#include "AddinContract.h"
#include "FaultSweep.h"
#include "InstallerChecks.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using standin::ApplicationState;

// One Excel's calls when its add-in is switched.
Lines Switched(const char* connect)
{
    return Join({{"Application[Excel].Version"},
                 SwitchingAddin("Excel", "Quillbar.QBExcelAddin.2", connect)});
}

class ExcelInstallerTest : public InstallerTest {
public:
    // A running Excel that knows the add-in.
    std::shared_ptr<ApplicationState> RunningExcel(const char* version, bool connected = false)
    {
        auto excel = NewApp(standin::HostKind::Excel, version);
        excel->comAddIns.push_back({addin::kExcelProgId, connected});
        MakeRunning(excel);
        excels_.push_back(excel);
        return excel;
    }

    // The running Excels in the order the running-object table gives them
    // (a test's Excels differ in version); the journal is cleared after asking.
    std::vector<std::shared_ptr<ApplicationState>> InTableOrder()
    {
        std::vector<std::shared_ptr<ApplicationState>> ordered;
        ComPtr<IRunningObjectTable> table;
        ComPtr<IEnumMoniker> monikers;
        GetRunningObjectTable(0, table.Put());
        table->EnumRunning(monikers.Put());
        for (ComPtr<IMoniker> moniker; monikers->Next(1, moniker.Put(), nullptr) == S_OK;) {
            ComPtr<IUnknown> object;
            ComPtr<IDispatch> answer;
            table->GetObject(moniker.Get(), object.Put());
            if (!object || FAILED(object->QueryInterface(Host(HostId::Excel).applicationIid,
                                                         answer.PutVoid())))
                continue;  // another program's, or a stale entry
            const AutomationObject excel(std::move(answer), Host(HostId::Excel).applicationIid);
            for (const auto& state : excels_)
                if (state->version == excel.GetText("Version"))
                    ordered.push_back(state);
        }
        journal_->Clear();
        return ordered;
    }

private:
    std::vector<std::shared_ptr<ApplicationState>> excels_;
};

TEST_F(ExcelInstallerTest, WithoutARunningExcelOnlyTheRecordChanges)
{
    EXPECT_EQ(InstallExcelAddin(true), 1);
    EXPECT_TRUE(RecordExists(HostId::Excel));
    EXPECT_EQ(InstallExcelAddin(false), 1);
    EXPECT_FALSE(RecordExists(HostId::Excel));
    EXPECT_TRUE(Calls().empty()) << CallText();
}

TEST_F(ExcelInstallerTest, SwitchOnAndOffInOneRunningExcel)
{
    const auto excel = RunningExcel("9.0");
    // Excel re-reads the records after the record was changed.
    const auto recordAtUpdate = RecordSeenAt(*journal_, "COMAddIns.Update", HostId::Excel);

    EXPECT_EQ(InstallExcelAddin(true), 1);
    EXPECT_EQ(Calls(), Switched("-1:BOOL")) << CallText();
    EXPECT_TRUE(excel->comAddIns[0].connected);

    journal_->Clear();
    EXPECT_EQ(InstallExcelAddin(false), 1);
    EXPECT_EQ(Calls(), Switched("0:BOOL")) << CallText();
    EXPECT_FALSE(excel->comAddIns[0].connected);

    EXPECT_EQ(*recordAtUpdate, (std::vector<bool>{true, false}));
    EXPECT_EQ(excel->comAddInsUpdates, 2);
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(ExcelInstallerTest, EveryRunningExcelIsSwitchedAndALaterOneIsLeftAlone)
{
    // Another application's entry in the table is passed by.
    MakeRunning(NewApp(standin::HostKind::Word, "11.0"));
    RunningExcel("10.0");
    RunningExcel("12.0");
    RunningExcel("11.0");

    Lines expected;
    for (const auto& excel : InTableOrder()) {
        const Lines calls = excel->version == "12.0" ? Lines{"Application[Excel].Version"}
                                                     : Switched("-1:BOOL");
        expected.insert(expected.end(), calls.begin(), calls.end());
    }
    EXPECT_EQ(InstallExcelAddin(true), 1);

    EXPECT_EQ(Calls(), expected) << CallText();
    for (const auto& excel : InTableOrder()) {
        SCOPED_TRACE(excel->version);
        EXPECT_EQ(excel->comAddIns[0].connected, excel->version != "12.0");
        EXPECT_EQ(excel->comAddInsUpdates, excel->version != "12.0" ? 1 : 0);
    }
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST_F(ExcelInstallerTest, AnExcelWithoutTheAddinIsPassedByAfterUpdate)
{
    RunningExcel("10.0", true);
    RunningExcel("11.0", true);
    const auto ordered = InTableOrder();
    ordered.front()->comAddIns.clear();

    InstallExcelAddin(false);

    EXPECT_EQ(ordered.front()->comAddInsUpdates, 1);
    EXPECT_EQ(ordered.back()->comAddInsUpdates, 1);
    EXPECT_FALSE(ordered.back()->comAddIns[0].connected);
    EXPECT_EQ(journal_->CountOf("COMAddIn.Connect"), 1) << CallText();
}

// Entries that a process which has gone left in the table answer the query
// with a failure of their own; an Excel that goes while it is worked on
// fails its calls alike. Either is passed by, and the walk goes on.
TEST_F(ExcelInstallerTest, StaleEntriesAndAnExcelThatWentAreLeftForTheNextExcel)
{
    std::vector<ComPtr<IUnknown>> stale;
    std::vector<std::unique_ptr<standin::RunningObject>> entries;
    const auto addStaleEntry = [&](HRESULT answer) {
        stale.push_back(standin::MakeStaleEntry(answer));
        entries.push_back(std::make_unique<standin::RunningObject>(stale.back().Get()));
        ASSERT_EQ(entries.back()->Result(), S_OK);
    };
    addStaleEntry(RPC_E_DISCONNECTED);
    RunningExcel("10.0");
    addStaleEntry(RPC_E_SERVER_DIED);
    addStaleEntry(CO_E_OBJNOTCONNECTED);
    RunningExcel("11.0");
    addStaleEntry(HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE));
    const auto ordered = InTableOrder();
    ASSERT_EQ(ordered.size(), 2u);
    // The first Excel in the table's order goes while it is asked its version.
    journal_->FailCall("Application.Version", 1, RPC_E_SERVER_DIED_DNE);

    EXPECT_EQ(InstallExcelAddin(true), 1);

    EXPECT_FALSE(ordered.front()->comAddIns[0].connected);
    EXPECT_TRUE(ordered.back()->comAddIns[0].connected) << CallText();
    EXPECT_EQ(LeakedObjects(), 0);
}

TEST(ExcelFaultSweep, EveryFailingCallEndsTheRunAsItShould)
{
    for (const bool enable : {true, false}) {
        SCOPED_TRACE(enable ? "switching on" : "switching off");
        // Only the add-in lookup may fail; then that Excel is not connected.
        FaultSweep().Tolerate("COMAddIns.Item", 1).Run(
            [&](const FailedCall* failing) {
                FreshWorld<ExcelInstallerTest> world;
                world.RunningExcel("9.0");
                world.RunningExcel("12.0");
                world.RunningExcel("10.0");
                const SweepRun run = world.Install(InstallExcelAddin, enable, failing);
                EXPECT_EQ(RecordExists(HostId::Excel), enable);
                return run;
            },
            1);
    }
}

}  // namespace
