// office_standin.exe: the Office stand-in in a process of its own, so that
// qbsetup reaches it the way it reaches Office, across a process boundary.
//
//   office_standin.exe --register <dir>
//       registers the stand-in under Word's, PowerPoint's, FrontPage's and
//       Outlook's ProgIDs (COM then starts this program for <dir>) and its
//       type library, which lets COM carry Office's interfaces between processes
//   office_standin.exe --unregister <dir>
//   office_standin.exe --host <Host> --dir <dir> -Embedding
//       started by COM: serves one application until its last object is released
//   office_standin.exe --run <name> --host <Host> --dir <dir>
//       an application already running: in the running-object table (Word
//       also with its main window) until the quit message arrives; with
//       "hung = 1" it takes no call at all and ends when <dir>\<name>.release
//       appears
//   office_standin.exe --hold <officeKey> <counts> --dir <dir>
//       an add-in busy until told: holds counts of its host's semaphore until
//       <dir>\<officeKey>.release appears, and the semaphore itself while <dir>
//       exists (either until the quit message)
//   office_standin.exe --hang <hung event> <answer event>
//       a Word whose add-in is at work on its window's thread: Word's main
//       window, brought to the foreground; then the thread stops answering
//       messages (sets the hung event and waits) until the answer event is
//       set, at most a few minutes
//
// An application is configured by <dir>\<name>.config ("key = value" lines,
// see ReadConfiguration) and leaves <dir>\<name>.state (its state as a tree,
// rewritten after every call), <dir>\<name>.journal (every call, appended)
// and <dir>\<name>.lookups (every GetIDsOfNames, appended);
// <name> is the host's name for applications COM starts. Text files are UTF-8.

#include "DispatchObject.h"
#include "HostWindow.h"
#include "MessageWait.h"
#include "OfficeObjects.h"
#include "OfficeState.h"
#include "StandInIids.h"
#include "StandInProgram.h"
#include "StandInRegistration.h"
#include "TextConversion.h"
#include "UniqueHandle.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace standin;

namespace {

struct HostInfo {
    const char* name;
    HostKind kind;
    const wchar_t* clsid;  // the stand-in's class for the host's ProgIDs
};

const HostInfo kHosts[] = {
    {"Word", HostKind::Word, L"{5E0C1A31-8B7F-4C52-9D61-2F6A3B9C7E10}"},
    {"Excel", HostKind::Excel, nullptr},  // Excel is only ever found running
    {"PowerPoint", HostKind::PowerPoint, L"{5E0C1A33-8B7F-4C52-9D61-2F6A3B9C7E10}"},
    {"FrontPage", HostKind::FrontPage, L"{5E0C1A34-8B7F-4C52-9D61-2F6A3B9C7E10}"},
    {"Outlook", HostKind::Outlook, L"{5E0C1A35-8B7F-4C52-9D61-2F6A3B9C7E10}"},
};

const HostInfo* FindHost(const std::string& name)
{
    for (const HostInfo& host : kHosts)
        if (name == host.name)
            return &host;
    return nullptr;
}

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::istringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        const auto first = item.find_first_not_of(' ');
        const auto last = item.find_last_not_of(' ');
        if (first != std::string::npos)
            items.push_back(item.substr(first, last - first + 1));
    }
    return items;
}

// Keys: version (text), visible (0/1), addins and connected (ProgIDs),
// menus (number of menus on the menu bar), toolbars (names of toolbars
// already there), templates (Word's add-ins list), explorer (Outlook: 1 = a
// window open on the Inbox), window (Word: 1 = its main window),
// disconnected (1 = the running-object table keeps an entry whose object is
// gone), stall ("Object.Member milliseconds": each such call takes that long
// without handling messages, as in an application that hangs), hold
// ("Object.Member": each such call waits, without handling messages, until
// <name>.release appears or the quit message arrives), slow
// ("Object.Member milliseconds": every such call takes that long, handling
// messages meanwhile as a real application does while it waits), shared
// (1 = one instance serves every client until told to quit, as the
// single-instance Office applications do), dies ("Object.Member": the
// process ends at once, as a crash would, when such a call arrives), hung
// (1 = a program that has stopped answering: once in the running-object
// table its thread handles no message, so takes no call, not even COM's own;
// it ends when <name>.release appears or the quit message arrives).
std::map<std::string, std::string> ReadConfiguration(const std::string& path)
{
    std::map<std::string, std::string> settings;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const auto key = SplitList(line.substr(0, equals));
        const auto value = line.substr(equals + 1);
        const auto first = value.find_first_not_of(' ');
        if (!key.empty())
            settings[key[0]] = first == std::string::npos ? "" : value.substr(first);
    }
    return settings;
}

std::shared_ptr<ApplicationState> MakeState(HostKind kind,
                                            std::map<std::string, std::string>& settings)
{
    auto app = std::make_shared<ApplicationState>(kind);
    if (settings.count("version"))
        app->version = settings["version"];
    app->visible = settings["visible"] == "1";
    for (const std::string& progId : SplitList(settings["addins"]))
        app->comAddIns.push_back({progId, false});
    for (const std::string& progId : SplitList(settings["connected"]))
        if (ComAddInState* addIn = app->FindComAddIn(progId))
            addIn->connected = true;
    if (app->commandBars) {
        if (settings.count("menus"))
            app->commandBars = CommandBarsState::Typical(std::stoi(settings["menus"]));
        for (const std::string& name : SplitList(settings["toolbars"]))
            app->commandBars->AddToolbar(name)->visible = true;
    }
    app->wordAddIns = SplitList(settings["templates"]);
    if (settings["explorer"] == "1")
        app->OpenExplorer("Inbox");
    return app;
}

// "stall = Object.Member milliseconds"
void ApplyStall(std::map<std::string, std::string>& settings, Journal& journal)
{
    std::istringstream stall(settings["stall"]);
    std::string key;
    DWORD milliseconds = 0;
    if (stall >> key >> milliseconds)
        journal.Observe(key, [milliseconds] { Sleep(milliseconds); });
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A hung application ends after this at the latest (a test that failed
// half-way never says go).
constexpr DWORD kHungLimitMs = 5 * 60 * 1000;

// "hold = Object.Member": the call waits for the release file. The quit
// message (a test ending its stand-ins) also ends the wait; it stays queued
// for the message loop, which then ends.
void HoldUntilReleased(Journal& journal, const std::string& key, const std::string& release)
{
    if (key.empty())
        return;
    journal.Observe(key, [release] {
        const DWORD start = GetTickCount();
        MSG message;
        while (!FileExists(release) && GetTickCount() - start < kHungLimitMs &&
               !PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            Sleep(10);
    });
}

// "slow = Object.Member milliseconds"
void MakeSlow(Journal& journal, const std::string& setting)
{
    std::istringstream in(setting);
    std::string key;
    DWORD milliseconds = 0;
    if (in >> key >> milliseconds)
        journal.Observe(key, [milliseconds] { WaitHandlingMessages(milliseconds); });
}

// "dies = Object.Member"
void DieAt(Journal& journal, const std::string& key)
{
    if (!key.empty())
        journal.Observe(key, [] { TerminateProcess(GetCurrentProcess(), 3); });
}

// Writes what happened after every call that arrived.
class Recorder {
public:
    Recorder(std::string base, std::shared_ptr<Journal> journal,
             std::shared_ptr<ApplicationState> app)
        : base_(std::move(base)), journal_(std::move(journal)), app_(std::move(app))
    {
        Flush();
    }
    void Flush()
    {
        const auto& calls = journal_->Calls();
        const auto& lookups = journal_->IdLookups();
        if (written_ < calls.size() || lookupsWritten_ < lookups.size() || written_ == 0) {
            std::ofstream journal(base_ + ".journal", std::ios::app | std::ios::binary);
            for (; written_ < calls.size(); ++written_)
                journal << ToUtf8(ToWide(calls[written_].ToString())) << "\n";
            std::ofstream names(base_ + ".lookups", std::ios::app | std::ios::binary);
            for (; lookupsWritten_ < lookups.size(); ++lookupsWritten_)
                names << lookups[lookupsWritten_] << "\n";
            std::ofstream state(base_ + ".state", std::ios::trunc | std::ios::binary);
            state << ToUtf8(ToWide(Describe(*app_)));
        }
    }

private:
    std::string base_;
    std::shared_ptr<Journal> journal_;
    std::shared_ptr<ApplicationState> app_;
    std::size_t written_ = 0;
    std::size_t lookupsWritten_ = 0;
};

// Runs window messages, recording after each, until `done` says so.
template <typename Done>
void Serve(Recorder& recorder, Done done)
{
    MSG message;
    for (;;) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                recorder.Flush();
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        recorder.Flush();
        if (done())
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

// Started by COM: one application for every client until the last lets go.
int ServeCreated(const HostInfo& host, const std::string& dir)
{
    auto settings = ReadConfiguration(dir + "\\" + host.name + ".config");
    auto journal = std::make_shared<Journal>();
    ApplyStall(settings, *journal);
    auto app = MakeState(host.kind, settings);
    MakeSlow(*journal, settings["slow"]);
    const bool shared = settings["shared"] == "1";
    Recorder recorder(dir + "\\" + host.name, journal, app);

    bool created = false;
    const ComPtr<IClassFactory> factory =
        NewClassFactory([&](REFIID iid, void** object) {
            created = true;
            return MakeApplication(journal, app)->QueryInterface(iid, object);
        });
    CLSID clsid = IidFromText(host.clsid);
    DWORD cookie = 0;
    if (FAILED(CoRegisterClassObject(clsid, factory.Get(), CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE,
                                     &cookie)))
        return 1;
    const DWORD start = GetTickCount();
    Serve(recorder, [&] {
        if (shared)
            return false;
        return created ? DispatchObject::LiveCount() == 0 : GetTickCount() - start > 60000;
    });
    CoRevokeClassObject(cookie);
    return 0;
}

// Polls until a file is there (or gone), the quit message arrives (the
// test ends its stand-ins) or the limit has passed (a test that failed
// half-way never says go). True when the file came (or went).
bool WaitForFile(const std::string& path, bool exists, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    while (FileExists(path) != exists) {
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ||
            GetTickCount() - start > limitMs)
            return false;
        Sleep(20);
    }
    return true;
}

// Already running: found in the running-object table until told to quit.
int RunRunning(const HostInfo& host, const std::string& name, const std::string& dir)
{
    auto settings = ReadConfiguration(dir + "\\" + name + ".config");
    auto journal = std::make_shared<Journal>();
    ApplyStall(settings, *journal);
    HoldUntilReleased(*journal, settings["hold"], dir + "\\" + name + ".release");
    auto app = MakeState(host.kind, settings);
    MakeSlow(*journal, settings["slow"]);
    DieAt(*journal, settings["dies"]);
    Recorder recorder(dir + "\\" + name, journal, app);

    std::unique_ptr<HostWindow> window;
    if (settings["window"] == "1")
        window = std::make_unique<HostWindow>("OpusApp", "Dokument1 - Microsoft Word", true);
    const ComPtr<IDispatch> object = MakeApplication(journal, app);
    const RunningObject entry(object.Get());
    if (FAILED(entry.Result()))
        return 1;
    // An entry whose object has gone while the table still lists it.
    if (settings["disconnected"] == "1")
        CoDisconnectObject(object.Get(), 0);
    std::ofstream(dir + "\\" + name + ".ready") << GetCurrentProcessId() << "\n";
    if (settings["hung"] == "1")
        return WaitForFile(dir + "\\" + name + ".release", true, kHungLimitMs) ? 0 : 1;
    Serve(recorder, [] { return false; });
    return 0;
}

// An add-in in the middle of an operation: holds counts of the semaphore
// until the test lets it go, then keeps the (free) semaphore for as long as
// the test's folder is there, so that the tuner finds it free rather than
// gone.
int HoldSemaphore(const std::string& officeKey, long counts, const std::string& dir)
{
    constexpr DWORD kLimitMs = 5 * 60 * 1000;
    HANDLE semaphore = CreateSemaphoreA(nullptr, 100 - counts, 100,
                                        ("Quillbar.Global.Semaphore." + officeKey).c_str());
    if (!semaphore)
        return 1;
    std::ofstream(dir + "\\" + officeKey + ".holding") << counts << "\n";
    if (!WaitForFile(dir + "\\" + officeKey + ".release", true, kLimitMs)) {
        CloseHandle(semaphore);
        return 1;
    }
    ReleaseSemaphore(semaphore, counts, nullptr);
    std::ofstream(dir + "\\" + officeKey + ".released") << counts << "\n";
    WaitForFile(dir, false, kLimitMs);
    CloseHandle(semaphore);
    return 0;
}

// The window's thread waits without handling messages: whoever sends its
// window a message waits too.
int HangInFront(const std::string& hungEvent, const std::string& answerEvent)
{
    const KernelHandle hung(OpenEventA(EVENT_MODIFY_STATE, FALSE, hungEvent.c_str()));
    const KernelHandle answer(OpenEventA(SYNCHRONIZE, FALSE, answerEvent.c_str()));
    if (!hung || !answer)
        return 1;
    const HostWindow window("OpusApp", "Dokument1 - Microsoft Word", true);
    SetForegroundWindow(window.Handle());
    PumpMessages();
    SetEvent(hung.Get());
    const DWORD waited = WaitForSingleObject(answer.Get(), 300000);
    PumpMessages();
    return waited == WAIT_OBJECT_0 ? 0 : 1;
}

std::string Option(const std::vector<std::string>& arguments, const std::string& name,
                   std::size_t offset = 1)
{
    for (std::size_t i = 0; i + offset < arguments.size(); ++i)
        if (arguments[i] == name)
            return arguments[i + offset];
    return std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::vector<std::string> arguments = CommandLineArguments();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::string dir = Option(arguments, "--dir");
    int result = 2;
    if (!Option(arguments, "--register").empty())
        result = RunRegistration({{"DIR", Option(arguments, "--register")}}, true);
    else if (!Option(arguments, "--unregister").empty())
        result = RunRegistration({{"DIR", Option(arguments, "--unregister")}}, false);
    else if (!Option(arguments, "--hold").empty())
        result = HoldSemaphore(Option(arguments, "--hold"), std::stol(Option(arguments, "--hold", 2)),
                               dir);
    else if (!Option(arguments, "--hang").empty())
        result = HangInFront(Option(arguments, "--hang"), Option(arguments, "--hang", 2));
    else if (const HostInfo* host = FindHost(Option(arguments, "--host"))) {
        const std::string name = Option(arguments, "--run");
        result = name.empty() ? (host->clsid ? ServeCreated(*host, dir) : 2)
                              : RunRunning(*host, name, dir);
    }
    CoUninitialize();
    return result;
}
