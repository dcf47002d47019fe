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
#include "TestThread.h"
#include "WindowDriver.h"

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
    // Excel is not installed: of its section only the running instance of
    // an unsupported version is a problem.
    const auto excel = run.OfSeverity("Excel", "problem");
    ASSERT_EQ(excel.size(), 1u) << run.program.output;
    EXPECT_EQ(excel[0].id, "instances.unsupported");
    EXPECT_EQ(excel[0].text, "laufende Instanz, Version 12.0: nicht unterst\xC3\xBCtzt (nur 9, 10 "
                             "und 11)");
    EXPECT_EQ(run.Find("Word", "semaphore.busy").size(), 1u);
}

// The walk's thread still waits when the report ends: the process ends
// with its exit code, and its report says which entry did not answer (the
// only problem of its section). One entry answers once qbdiag has given up
// on it and asked the next, while the report is being finished (the thread
// then goes on while the process ends, and must find all it uses still
// there); another answers only after the report has ended.
TEST_F(DiagnosisWithOffice, AnInstanceThatDoesNotAnswerCannotHoldTheReportUp)
{
    const auto release = [this](const std::string& name) { folder_.Write(name + ".release", ""); };
    const auto checkReport = [](const DiagnosisRun& run) {
        ASSERT_TRUE(run.program.finished);
        EXPECT_EQ(run.program.exitCode, 1u) << run.program.output;
        const auto stuck = run.OfSeverity("RunningObjects", "problem");
        ASSERT_EQ(stuck.size(), 1u) << run.program.output;
        EXPECT_EQ(stuck[0].id, "rot.timeout");
        EXPECT_NE(stuck[0].source.find("QuillbarStandIn."), std::string::npos) << stuck[0].source;
        // The sections after the walk are all there.
        EXPECT_FALSE(run.Find("Shell", "shell.handler.missing").empty());
    };
    const std::vector<std::string> version(1, "Application[Word].Version");

    // Answers as soon as qbdiag has asked the Word after it.
    Configure("Late", "version = 10.0\nhold = Application.Version\n");
    StartRunning("Late", "Word");
    Configure("Word1", "version = 10.0\n");
    StartRunning("Word1", "Word");
    {
        const Thread letGo = StartThread([&] {
            if (WaitUntil([&] { return !Journal("Word1").empty(); }))
                release("Late");
        });
        const DiagnosisRun run = RunDiagnosis();
        checkReport(run);
        ASSERT_EQ(run.Find("Word", "instances.running").size(), 1u) << run.program.output;
    }
    EXPECT_TRUE(WaitUntil([&] { return Journal("Late") == version; })) << "Late never answered";
    EndProcesses("office_standin.exe");

    // Answers only when told, after the report.
    Configure("Hung", "version = 10.0\nhold = Application.Version\n");
    StartRunning("Hung", "Word");
    const DiagnosisRun run = RunDiagnosis();
    // Its call has not come back (the journal is written after each call).
    EXPECT_TRUE(Journal("Hung").empty());
    release("Hung");
    checkReport(run);
    EXPECT_TRUE(WaitUntil([&] { return Journal("Hung") == version; })) << "Hung never answered";
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
