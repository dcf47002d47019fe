#pragma once

// qbsetup.exe against the Office stand-in running in processes of its own:
// created through COM under Office's ProgIDs, or already running and found in
// the running-object table. Every stand-in application is configured by a
// file and leaves its state and the calls it received in the test's folder.

#include "Patience.h"
#include "QbsetupFixture.h"
#include "ScratchFolder.h"

#include <string>
#include <vector>

class EndToEndTest : public QbsetupTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // <name>.config for an application: "key = value" lines.
    void Configure(const std::string& name, const std::string& settings) const;
    // Starts an application that is already running when qbsetup comes.
    void StartRunning(const std::string& name, const char* host) const;
    // An add-in holding counts of its host's semaphore for a while.
    // An add-in holding its host's lock until LetBusyAddinGo.
    void StartBusyAddin(const char* officeKey, int counts) const;
    void LetBusyAddinGo(const char* officeKey) const;

    // What an application left: its state tree and its journal.
    std::string State(const std::string& name) const;
    std::vector<std::string> Journal(const std::string& name) const;
    std::vector<std::string> Lines(const std::string& file) const;
    bool Exists(const std::string& file) const;

    // Starts qbsetup.exe without arguments and returns its setup dialog.
    HWND OpenSetupDialog();
    // Waits until that qbsetup.exe has ended; false after the time-out.
    bool WaitForQbsetup(DWORD timeoutMs = kPatienceMs);

    // Runs a JScript with cscript; returns what it printed.
    std::string RunScript(const std::string& script) const;

    ScratchFolder folder_;

private:
    HANDLE qbsetup_ = nullptr;
};

// The lines of a state tree below the line that contains `header`, one level
// deeper than it.
std::vector<std::string> ChildLines(const std::string& state, const std::string& header);

// A JScript client that switches the host of that display name through
// QuillbarTuner and prints its name and new state.
std::string SwitchScript(const char* host, int value);
