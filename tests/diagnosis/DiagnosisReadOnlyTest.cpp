// qbdiag.exe while Office stand-ins run in processes of their own: it finds
// them in the running-object table with their versions, asks them nothing but
// their version, leaves the registry and the semaphores as they were, and is
// not held up by an instance that does not answer.
#include "DiagnosisRun.h"

#include "AddinRecord.h"
#include "AddinSemaphore.h"
#include "EndToEndFixture.h"
#include "RegistrySnapshot.h"
#include "ScratchRegistry.h"
#include "ServerProcess.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class DiagnosisWithOffice : public EndToEndTest {};

TEST_F(DiagnosisWithOffice, FindsRunningInstancesAndChangesNothing)
{
    InstallHost(HostId::Word, OfficeVersion::V10);
    EnableAddin(HostId::Word);
    reg::SetDword(HKEY_CURRENT_USER, AddinKeyPath("Word", "Quillbar.QBWordAddin.2"), "LoadBehavior",
                  2);
    const AddinSemaphore busy("Word", 95);
    Configure("Word1", "version = 10.0\n");
    StartRunning("Word1", "Word");
    Configure("Excel1", "version = 12.0\n");
    StartRunning("Excel1", "Excel");

    const RegistrySnapshot before = SnapshotRegistry();
    const ProgramRun text = RunDiagnosisText();
    const DiagnosisRun run = RunDiagnosis();
    const RegistrySnapshot after = SnapshotRegistry();

    ASSERT_GT(before.size(), 1000u) << "the registry was not saved: " << before.begin()->second;
    EXPECT_EQ(Differences(before, after), std::vector<std::string>{});
    EXPECT_EQ(busy.Free(), 95);
    // Each run asked each instance for its version, and for nothing else.
    EXPECT_EQ(Journal("Word1"), std::vector<std::string>(2, "Application[Word].Version"));
    EXPECT_EQ(Journal("Excel1"), std::vector<std::string>(2, "Application[Excel].Version"));

    EXPECT_EQ(text.exitCode, 1u);
    EXPECT_NE(text.output.find("laufende Instanz, Version 10.0"), std::string::npos)
        << text.output;
    const auto word = run.Find("Word", "instances.running");
    ASSERT_EQ(word.size(), 1u) << run.program.output;
    EXPECT_NE(word[0].source.find("QuillbarStandIn."), std::string::npos) << word[0].source;
    const auto excel = run.Find("Excel", "instances.unsupported");
    ASSERT_EQ(excel.size(), 1u) << run.program.output;
    EXPECT_EQ(excel[0].severity, "problem");
    EXPECT_EQ(run.Find("Word", "semaphore.busy").size(), 1u);
}

// The walk's thread still waits when the report ends: the process ends
// with its exit code. The first instance answers just after qbdiag's limit,
// while the report is being finished (the thread then goes on while the
// process ends, and must find all it uses still there); the second hangs
// longer than any report, which must not wait for it.
TEST_F(DiagnosisWithOffice, AnInstanceThatDoesNotAnswerCannotHoldTheReportUp)
{
    constexpr DWORD kHangMs = 30000;
    for (const DWORD hang : {DWORD(5200), kHangMs}) {
        // A name of its own: the first one's ready file stays.
        const std::string name = "Word" + std::to_string(hang);
        Configure(name, "version = 10.0\nstall = Application.Version " + std::to_string(hang) +
                            "\n");
        StartRunning(name, "Word");

        const DWORD start = GetTickCount();
        const DiagnosisRun run = RunDiagnosis();
        const DWORD took = GetTickCount() - start;

        ASSERT_TRUE(run.program.finished) << hang;
        if (hang == kHangMs) {
            EXPECT_LT(took, kHangMs);
        }
        EXPECT_EQ(run.program.exitCode, 1u) << hang << ":\n" << run.program.output;
        const auto stuck = run.Find("RunningObjects", "rot.timeout");
        ASSERT_EQ(stuck.size(), 1u) << hang << ":\n" << run.program.output;
        EXPECT_EQ(stuck[0].severity, "problem");
        EXPECT_NE(stuck[0].source.find("QuillbarStandIn."), std::string::npos) << stuck[0].source;
        // The sections after the walk are all there.
        EXPECT_FALSE(run.Find("Shell", "shell.handler.missing").empty());
        if (hang != kHangMs)
            EndProcesses("office_standin.exe");
    }
}

// Each entry has a limit of its own: one that takes no call at all comes
// first in the table, and the Word after it is still found. Whose the
// silent entry is nobody knows, so no other host is said not to run.
TEST_F(DiagnosisWithOffice, AnEntryThatTakesNoCallHidesNoHostBehindIt)
{
    Configure("Hung", "version = 10.0\nhung = 1\n");
    StartRunning("Hung", "Word");
    Configure("Word1", "version = 10.0\n");
    StartRunning("Word1", "Word");

    const DiagnosisRun run = RunDiagnosis();

    ASSERT_TRUE(run.program.finished);
    const auto word = run.Find("Word", "instances.running");
    ASSERT_EQ(word.size(), 1u) << run.program.output;
    EXPECT_NE(word[0].text.find("Version 10.0"), std::string::npos) << word[0].text;
    const auto silent = run.Find("RunningObjects", "rot.timeout");
    ASSERT_EQ(silent.size(), 1u) << run.program.output;
    EXPECT_NE(silent[0].source, word[0].source);
    for (const char* host : {"Excel", "PowerPoint", "FrontPage", "Outlook"}) {
        EXPECT_TRUE(run.Find(host, "instances.none").empty()) << host;
        const auto unknown = run.Find(host, "instances.unknown");
        ASSERT_EQ(unknown.size(), 1u) << host << "\n" << run.program.output;
        EXPECT_EQ(unknown[0].severity, "note");
        EXPECT_EQ(unknown[0].source, silent[0].source);
    }
}

TEST_F(DiagnosisWithOffice, AnEntryWithoutItsObjectIsANoteAndTheWalkGoesOn)
{
    Configure("Word1", "version = 10.0\ndisconnected = 1\n");
    StartRunning("Word1", "Word");
    Configure("Word2", "version = 11.0\n");
    StartRunning("Word2", "Word");

    const DiagnosisRun run = RunDiagnosis();
    const auto dead = run.Find("RunningObjects", "rot.dead");
    ASSERT_EQ(dead.size(), 1u) << run.program.output;
    EXPECT_EQ(dead[0].severity, "note");
    const auto word = run.Find("Word", "instances.running");
    ASSERT_EQ(word.size(), 1u) << run.program.output;
    EXPECT_NE(word[0].text.find("11.0"), std::string::npos);
}

}  // namespace
