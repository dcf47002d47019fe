#include "EndToEndFixture.h"

#include "ClipboardText.h"
#include "ServerProcess.h"
#include "WindowDriver.h"

#include <sstream>

namespace {

std::string StandIn()
{
    return "\"" + BinaryFolder() + "office_standin.exe\"";
}

void StartDetached(std::string commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

}  // namespace

void EndToEndTest::SetUp()
{
    EndServerProcesses();
    ASSERT_EQ(RunProgram(StandIn() + " --register \"" + folder_.Path() + "\"").exitCode, 0u);
    ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    EmptyTheClipboard();  // so that no clipboard question comes
}

void EndToEndTest::TearDown()
{
    if (qbsetup_) {
        WaitForSingleObject(qbsetup_, kPatienceMs);
        CloseHandle(qbsetup_);
    }
    EndProcesses("office_standin.exe");
    EndServerProcesses();
    RunProgram(StandIn() + " --unregister \"" + folder_.Path() + "\"");
}

void EndToEndTest::Configure(const std::string& name, const std::string& settings) const
{
    folder_.Write(name + ".config", settings);
}

void EndToEndTest::StartRunning(const std::string& name, const char* host) const
{
    StartDetached(StandIn() + " --run " + name + " --host " + host + " --dir \"" +
                  folder_.Path() + "\"");
    EXPECT_TRUE(WaitUntil([&] { return Exists(name + ".ready"); })) << name << " did not start";
}

void EndToEndTest::StartBusyAddin(const char* officeKey, int counts) const
{
    StartDetached(StandIn() + " --hold " + officeKey + " " + std::to_string(counts) + " --dir \"" +
                  folder_.Path() + "\"");
    EXPECT_TRUE(WaitUntil([&] { return Exists(std::string(officeKey) + ".holding"); }));
}

void EndToEndTest::LetBusyAddinGo(const char* officeKey) const
{
    folder_.Write(std::string(officeKey) + ".release", "");
}

std::string EndToEndTest::State(const std::string& name) const
{
    return ReadWholeFile(folder_ / (name + ".state"));
}

std::vector<std::string> EndToEndTest::Journal(const std::string& name) const
{
    return Lines(name + ".journal");
}

std::vector<std::string> EndToEndTest::Lines(const std::string& file) const
{
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(folder_ / file));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool EndToEndTest::Exists(const std::string& file) const
{
    return GetFileAttributesA((folder_ / file).c_str()) != INVALID_FILE_ATTRIBUTES;
}

HWND EndToEndTest::OpenSetupDialog()
{
    std::string commandLine = "\"" + QbsetupPath() + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    qbsetup_ = process.hProcess;
    return WaitForWindow("#32770", "Quillbar");
}

bool EndToEndTest::WaitForQbsetup(DWORD timeoutMs)
{
    if (!qbsetup_)
        return false;
    const bool ended = WaitForSingleObject(qbsetup_, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(qbsetup_);
    qbsetup_ = nullptr;
    return ended;
}

std::string EndToEndTest::RunScript(const std::string& script) const
{
    const std::string path = folder_.Write("client.js", script);
    const ProgramRun run = RunProgram(std::string(kScriptHost) + " \"" + path + "\"");
    EXPECT_TRUE(run.finished);
    return run.output;
}

std::vector<std::string> ChildLines(const std::string& state, const std::string& header)
{
    std::vector<std::string> children;
    std::istringstream in(state);
    std::string::size_type depth = std::string::npos;
    for (std::string line; std::getline(in, line);) {
        const std::string::size_type indent = line.find_first_not_of(' ');
        if (depth == std::string::npos) {
            if (line.find(header) != std::string::npos)
                depth = indent + 2;
            continue;
        }
        if (indent < depth)
            break;
        if (indent == depth)
            children.push_back(line.substr(indent));
    }
    return children;
}

std::string SwitchScript(const char* host, int value)
{
    return std::string("var tuner = new ActiveXObject(\"QBSetup.QuillbarTuner\");\n"
                       "for (var i = 0; i < tuner.Count; i++) {\n"
                       "    var name = tuner.Name(i);\n"
                       "    if (name == \"") +
           host + "\") {\n        tuner.Enabled(i) = " + std::to_string(value) +
           ";\n        var now = tuner.Enabled(i);\n        WScript.Echo(name + \" \" + now);\n"
           "    }\n}\n";
}
