// QuillbarTuner as other programs use it: created through COM, which starts
// qbsetup.exe -Embedding, and called across the process boundary.

#include "QbsetupFixture.h"

#include "AddinContract.h"
#include "AddinRecord.h"
#include "Bstr.h"
#include "BusyMessageFilter.h"
#include "BusyState.h"
#include "ComPtr.h"
#include "Event.h"
#include "ExclusiveLock.h"
#include "QBSetup_h.h"
#include "ProcessResources.h"
#include "QuillbarTuner.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ServerModule.h"
#include "ServerProcess.h"
#include "TestThread.h"
#include "UniqueHandle.h"
#include "WindowDriver.h"

#include <psapi.h>

#include <mutex>
#include <set>
#include <vector>

namespace {

class QuillbarTunerTest : public QbsetupTest {
protected:
    void SetUp() override
    {
        EndServerProcesses();
        ASSERT_EQ(Qbsetup("-RegServer").exitCode, 0u);
    }
    void TearDown() override { EndServerProcesses(); }

    static ComPtr<IQuillbarTuner> Create()
    {
        ComPtr<IQuillbarTuner> tuner;
        EXPECT_EQ(CoCreateInstance(CLSID_QuillbarTuner, nullptr, CLSCTX_LOCAL_SERVER,
                                   IID_IQuillbarTuner, tuner.PutVoid()),
                  S_OK);
        return tuner;
    }
    static std::string NameAt(IQuillbarTuner* tuner, long index)
    {
        Bstr name;
        if (FAILED(tuner->get_Name(index, name.Put())))
            return "<failed>";
        std::string narrow;
        for (const wchar_t* c = name.Get(); c && *c; ++c)
            narrow += static_cast<char>(*c);
        return narrow;
    }
    static DWORD LoadBehavior(HostId id)
    {
        const OfficeHost& host = Host(id);
        const auto value = reg::GetValue(
            HKEY_CURRENT_USER,
            "Software\\Microsoft\\Office\\" + std::string(host.officeKey) + "\\Addins\\" +
                host.addinProgId,
            "LoadBehavior");
        return value && value->data.size() == 4 ? value->data[0] : 0xFFFFFFFF;
    }
};

// The long tests each have a suite, and so a process, of their own: they
// wait on the server's idle time, and the rest need not wait for them.
class ServerLifetimeTest : public QuillbarTunerTest {};
class IdleBoundaryTest : public QuillbarTunerTest {};
class IdleBoundary64Test : public QuillbarTunerTest {};
class ServerSoakTest : public QuillbarTunerTest {};

TEST_F(QuillbarTunerTest, ListsOnlyHostsInstalledIn2000OrXp)
{
    InstallHost(HostId::Word, OfficeVersion::V11);
    InstallHost(HostId::Excel, OfficeVersion::V9);
    const auto tuner = Create();
    ASSERT_TRUE(tuner);

    long count = -1;
    EXPECT_EQ(tuner->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(NameAt(tuner.Get(), 0), "Microsoft Excel");

    Bstr name;
    EXPECT_EQ(tuner->get_Name(-1, name.Put()), E_INVALIDARG);
    EXPECT_EQ(tuner->get_Name(1, name.Put()), E_INVALIDARG);
    long enabled = 0;
    EXPECT_EQ(tuner->get_Enabled(1, &enabled), E_INVALIDARG);
    EXPECT_EQ(tuner->put_Enabled(-1, 1), E_INVALIDARG);
}

TEST_F(QuillbarTunerTest, ListsHostsInItsOwnOrder)
{
    for (const OfficeHost& host : kOfficeHosts)
        InstallHost(IdOf(host), OfficeVersion::V10);
    const auto tuner = Create();
    ASSERT_TRUE(tuner);
    long count = 0;
    tuner->get_Count(&count);
    ASSERT_EQ(count, 5);
    const char* expected[] = {"Microsoft Word", "Microsoft Outlook", "Microsoft Excel",
                              "Microsoft PowerPoint", "Microsoft FrontPage"};
    for (long i = 0; i < count; ++i)
        EXPECT_EQ(NameAt(tuner.Get(), i), expected[i]);
}

TEST_F(QuillbarTunerTest, EnabledPutRunsTheInstallerEvenWhenNothingChanges)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    const auto tuner = Create();
    ASSERT_TRUE(tuner);
    long enabled = -1;
    EXPECT_EQ(tuner->get_Enabled(0, &enabled), S_OK);
    EXPECT_EQ(enabled, 0);

    EXPECT_EQ(tuner->put_Enabled(0, 1), S_OK);
    EXPECT_TRUE(AddinRecordExists(HostId::Excel));
    tuner->get_Enabled(0, &enabled);
    EXPECT_EQ(enabled, 1);

    reg::SetDword(HKEY_CURRENT_USER,
                  "Software\\Microsoft\\Office\\Excel\\Addins\\Quillbar.QBExcelAddin.2",
                  "LoadBehavior", 2);
    EXPECT_EQ(tuner->put_Enabled(0, 7), S_OK) << "any non-zero value switches on";
    EXPECT_EQ(LoadBehavior(HostId::Excel), 3u) << "the installer ran again";

    EXPECT_EQ(tuner->put_Enabled(0, 0), S_OK);
    EXPECT_FALSE(AddinRecordExists(HostId::Excel));
    tuner->get_Enabled(0, &enabled);
    EXPECT_EQ(enabled, 0);
}

TEST_F(QuillbarTunerTest, AnswersForExactlyThreeInterfacesAndDispatchesByTypeLibrary)
{
    const auto tuner = Create();
    ASSERT_TRUE(tuner);
    ComPtr<IUnknown> unknown;
    ComPtr<IDispatch> dispatch;
    ComPtr<IUnknown> other;
    EXPECT_EQ(tuner.As(IID_IUnknown, unknown), S_OK);
    EXPECT_EQ(tuner.As(IID_IDispatch, dispatch), S_OK);
    EXPECT_EQ(tuner.As(IID_ISupportErrorInfo, other), E_NOINTERFACE);
    EXPECT_EQ(tuner.As(IID_IPersist, other), E_NOINTERFACE);

    const wchar_t* names[] = {L"Count", L"Name", L"Enabled", L"DoSetupDialog"};
    for (DISPID expected = 1; expected <= 4; ++expected) {
        LPOLESTR name = const_cast<LPOLESTR>(names[expected - 1]);
        DISPID id = 0;
        EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        EXPECT_EQ(id, expected);
    }
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
}

TEST_F(QuillbarTunerTest, ScriptClientSeesTheSameThroughDispatch)
{
    InstallHost(HostId::PowerPoint, OfficeVersion::V9);
    InstallHost(HostId::Excel, OfficeVersion::V10);
    const ScratchFolder folder;
    const std::string script = folder.Write("tuner.js", R"(
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
WScript.Echo("count " + tuner.Count);
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    var enabled = tuner.Enabled(i);
    WScript.Echo(name + " " + enabled);
}
tuner.Enabled(0) = 1;
var after = tuner.Enabled(0);
WScript.Echo("after " + after);
try {
    var missing = tuner.Name(2);
    WScript.Echo("no error");
} catch (e) {
    WScript.Echo("error " + (e.number >>> 0).toString(16));
}
)");
    const ProgramRun run = RunProgram("cscript.exe //nologo \"" + script + "\"", 60000);
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.output,
              "count 2\r\nMicrosoft Excel 0\r\nMicrosoft PowerPoint 0\r\nafter 1\r\n"
              "error 80070057\r\n");
    EXPECT_TRUE(AddinRecordExists(HostId::Excel));
}

// A 64-bit Windows with Office XP and the Excel add-in installed by their
// 32-bit installers: their HKLM and class keys exist only in the 32-bit view.
// A 64-bit script drives the 32-bit server, which finds every host and gives
// the add-in record the file the add-in's installation registered.
TEST_F(QuillbarTunerTest, A64BitScriptClientSeesWhatThe32BitInstallersWrote)
{
    for (const OfficeHost& host : kOfficeHosts)
        InstallHost(IdOf(host), OfficeVersion::V10);
    ASSERT_FALSE(reg::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Office\\10.0",
                                KEY_WOW64_64KEY));
    const std::string addinClass = "CLSID\\{2F7A7C11-5D37-4B0A-9C41-6A2E9B1D0E55}";
    const std::string addinFile = "C:\\Programme\\TALVO\\Quillbar\\qbexcel.dll";
    reg::SetString(HKEY_CLASSES_ROOT, std::string(addin::kExcelProgId) + "\\CLSID", nullptr,
                   addinClass.substr(6));
    reg::SetString(HKEY_CLASSES_ROOT, addinClass + "\\InprocServer32", nullptr, addinFile,
                   KEY_WOW64_32KEY);

    const ScratchFolder folder;
    const std::string script = folder.Write("tuner.js", R"(
var tuner = new ActiveXObject("QBSetup.QuillbarTuner");
var names = [];
for (var i = 0; i < tuner.Count; i++) {
    var name = tuner.Name(i);
    names.push(name);
}
WScript.Echo(names.join(", "));
tuner.Enabled(2) = 1;
var on = tuner.Enabled(2);
WScript.Echo(on);
)");
    const ProgramRun run =
        RunProgram("C:\\windows\\sysnative\\cscript.exe //nologo \"" + script + "\"", 60000);
    reg::DeleteTree(HKEY_CLASSES_ROOT, addin::kExcelProgId);
    reg::DeleteTree(HKEY_CLASSES_ROOT, addinClass, KEY_WOW64_32KEY);

    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.output,
              "Microsoft Word, Microsoft Outlook, Microsoft Excel, Microsoft PowerPoint, "
              "Microsoft FrontPage\r\n1\r\n");
    const auto fileName = reg::GetValue(
        HKEY_CURRENT_USER, AddinKeyPath("Excel", addin::kExcelProgId), "FileName");
    ASSERT_TRUE(fileName);
    EXPECT_EQ(fileName->Text(), addinFile);
}

TEST_F(QuillbarTunerTest, DoSetupDialogShowsTheDialogInTheServer)
{
    const auto tuner = Create();
    ASSERT_TRUE(tuner);
    Thread user = StartThread([] {
        HWND dialog = WaitForWindow("#32770", "Quillbar");
        ASSERT_TRUE(dialog);
        PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(tuner->DoSetupDialog(), S_OK);
    user.Join();
}

// How long the server lives after its last object goes, and that an object
// created while the idle time runs keeps it up past that time. (Wine's proxy
// for IClassFactory::LockServer is a stub, so a client's server lock is only
// checked in the server's own process, below.)
TEST_F(ServerLifetimeTest, ServerEndsByItselfAboutSixSecondsAfterTheLastRelease)
{
    const DWORD start = GetTickCount();
    ComPtr<IQuillbarTuner> tuner = Create();
    ASSERT_TRUE(tuner);
    const DWORD coldStart = GetTickCount() - start;

    // The release starts the idle time; the next object, made at once, is
    // held past it: the time the test waits is the one tested.
    tuner.Reset();
    tuner = Create();
    ASSERT_TRUE(tuner);
    Sleep(server::kIdleTimeoutMs + 1000);
    EXPECT_EQ(CountServerProcesses(), 1) << "a held object keeps the server";
    long count = -1;
    EXPECT_EQ(tuner->get_Count(&count), S_OK);

    tuner.Reset();
    const DWORD released = GetTickCount();
    ASSERT_TRUE(WaitForNoServer(15000 + coldStart));
    const DWORD lived = GetTickCount() - released;
    EXPECT_GE(lived, server::kIdleTimeoutMs);
    // Ending takes the server about as long as starting did (slow where
    // 32-bit code is emulated); the idle time itself is the server's own.
    EXPECT_LE(lived, 9000u + coldStart);
    std::printf("cold start %lu ms, server ended %lu ms after the last release\n", coldStart,
                lived);
}

// Notes every qbsetup.exe process that runs while it lives.
class ServerWatch {
public:
    ServerWatch()
        : thread_(StartThread([this] {
              while (!stop_.Wait(20)) {
                  const DWORD id = FindProcess("qbsetup.exe");
                  const std::lock_guard<ExclusiveLock> hold(lock_);
                  if (id)
                      seen_.insert(id);
              }
          }))
    {
    }
    ~ServerWatch()
    {
        stop_.Set();
        thread_.Join();
    }
    std::size_t Servers() const
    {
        const std::lock_guard<ExclusiveLock> hold(lock_);
        return seen_.size();
    }

private:
    Event stop_{Event::Reset::Manual};
    mutable ExclusiveLock lock_;
    std::set<DWORD> seen_;
    Thread thread_;
};

// A client that polls creates its next object right where the server decides
// that it has been idle long enough. Every creation at every offset across
// the idle time-out gives an object that answers, whichever server serves it:
// the one that is stopping serves what it is still handed, or COM starts a
// new one. Offsets from 4.7 to 5.3 s after the last release, 100 ms apart.
constexpr DWORD kFirstOffsetMs = server::kIdleTimeoutMs - 300;
constexpr DWORD kLastOffsetMs = server::kIdleTimeoutMs + 300;

TEST_F(IdleBoundaryTest, AClientCreatingAtTheIdleBoundaryAlwaysGetsAWorkingObject)
{
    const ServerWatch watch;
    int created = 0;
    for (DWORD offset = kFirstOffsetMs; offset <= kLastOffsetMs; offset += 100) {
        {
            const ComPtr<IQuillbarTuner> tuner = Create();
            ASSERT_TRUE(tuner);
            long count = -1;
            ASSERT_EQ(tuner->get_Count(&count), S_OK);
        }
        Sleep(offset);  // the offset itself is what is tested
        ComPtr<IQuillbarTuner> tuner;
        EXPECT_EQ(CoCreateInstance(CLSID_QuillbarTuner, nullptr, CLSCTX_LOCAL_SERVER,
                                   IID_IQuillbarTuner, tuner.PutVoid()),
                  S_OK)
            << offset << " ms after the release";
        long count = -1;
        if (tuner && tuner->get_Count(&count) == S_OK)
            ++created;
        else
            ADD_FAILURE() << "no working object " << offset << " ms after the release";
    }
    EXPECT_EQ(created, 7);
    EXPECT_GT(watch.Servers(), 1u) << "no creation came after a server had begun to stop";
}

// The same from a 64-bit client (a program of its own), the usual kind on
// 64-bit Windows.
TEST_F(IdleBoundary64Test, A64BitClientCreatingAtTheIdleBoundaryAlwaysGetsAWorkingObject)
{
    const ServerWatch watch;
    const ProgramRun run =
        RunProgram("\"" + BinaryFolder() + "x64\\tuner_boundary_client.exe\" " +
                       std::to_string(kFirstOffsetMs) + " " + std::to_string(kLastOffsetMs) + " 100",
                   7 * (kLastOffsetMs + kPatienceMs));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(run.output, "7 created\r\n");
    EXPECT_GT(watch.Servers(), 1u) << "no creation came after a server had begun to stop";
}

// The idle monitor only asks; the main thread stops only when nothing is
// held and no operation runs there (an open dialog, an installer whose
// client went away), and still serves a creation after that.
TEST(QbsetupServer, IdleCheckStopsOnlyWhenNothingIsHeldOrRunningThenStillServesCreations)
{
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    ASSERT_TRUE(factory);
    ASSERT_EQ(server::LockCount(), 0);

    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_FALSE(server::StopIfIdle()) << "a client's server lock";
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    {
        const busy::Operation running;
        ASSERT_TRUE(running.Started());
        EXPECT_FALSE(server::StopIfIdle()) << "an operation runs";
    }
    ComPtr<IQuillbarTuner> tuner;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid()), S_OK);
    EXPECT_FALSE(server::StopIfIdle()) << "an object lives";
    tuner.Reset();

    EXPECT_TRUE(server::StopIfIdle());
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid()), S_OK);
    long count = -1;
    EXPECT_EQ(tuner->get_Count(&count), S_OK);
    EXPECT_EQ(server::LockCount(), 1);
    tuner.Reset();
    EXPECT_EQ(server::LockCount(), 0);
    CoResumeClassObjects();
}

// What a process holds, as the system counts it (its handles as
// support/ProcessResources counts them, the same way on Windows and under
// Wine, where the process's own counter reads 0), with its windows,
// message-only ones included, and its commit charge. (GetGuiResources is not
// implemented in Wine 8: USER and GDI objects cannot be counted here.)
struct ProcessUsage {
    DWORD handles = 0;
    DWORD windows = 0;
    SIZE_T commitCharge = 0;
};

DWORD WindowCountOf(DWORD processId)
{
    DWORD count = 0;
    for (HWND parent : {HWND(nullptr), HWND_MESSAGE}) {
        for (HWND window = FindWindowExA(parent, nullptr, nullptr, nullptr); window;
             window = FindWindowExA(parent, window, nullptr, nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            count += owner == processId;
        }
    }
    return count;
}

ProcessUsage UsageOf(HANDLE process)
{
    ProcessUsage usage;
    usage.handles = MeasureProcess(process).handles;
    usage.windows = WindowCountOf(GetProcessId(process));
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory))
        usage.commitCharge = memory.PagefileUsage;
    return usage;
}

// One object of two hosts from the class object, read from and let go.
bool CreateReadRelease(IClassFactory* factory)
{
    ComPtr<IQuillbarTuner> tuner;
    long count = 0;
    return SUCCEEDED(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid())) &&
           SUCCEEDED(tuner->get_Count(&count)) && count == 2;
}

// 1,000 objects in a row, each created, read from and let go, leave the
// server as it was.
TEST_F(ServerSoakTest, ThousandCreateReleaseCyclesLeaveTheServerAsItWas)
{
    constexpr int kCycles = 1000;
    InstallHost(HostId::Word, OfficeVersion::V10);
    InstallHost(HostId::Excel, OfficeVersion::V10);
    ComPtr<IQuillbarTuner> keeper = Create();  // the server stays up throughout
    ASSERT_TRUE(keeper);
    const KernelHandle server(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, FindProcess("qbsetup.exe")));
    ASSERT_TRUE(server);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_QuillbarTuner, CLSCTX_LOCAL_SERVER, nullptr,
                               IID_IClassFactory, factory.PutVoid()),
              S_OK);
    const auto cycle = [&] { return CreateReadRelease(factory.Get()); };
    // The first cycles let COM set up what it keeps for a client.
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle());
    const ProcessUsage start = UsageOf(server.Get());
    const DWORD began = GetTickCount();
    int failed = 0;
    for (int i = 0; i < kCycles; ++i)
        failed += cycle() ? 0 : 1;
    const DWORD elapsed = GetTickCount() - began;
    const ProcessUsage end = UsageOf(server.Get());

    EXPECT_EQ(failed, 0);
    ASSERT_GT(start.handles, 0u) << "the handles could not be counted";
    ASSERT_GT(start.windows, 0u) << "the windows could not be counted";
    ASSERT_GT(start.commitCharge, 0u) << "the memory could not be measured";
    EXPECT_LE(end.handles, start.handles + 10);
    EXPECT_LE(end.windows, start.windows);
    // Wine's type-library marshalling keeps about 1 KB per object marshalled
    // (the same cycles in the test's own process, below, keep nothing); where
    // 32-bit code runs under qemu, the commit charge also holds the
    // emulator's own memory for the code it translates (measured: 2.2 MB in
    // all, against under 2 MB natively).
    EXPECT_LE(end.commitCharge, start.commitCharge + 3 * 1024 * 1024);
    std::printf("%d create/release cycles in %lu ms; server at start and end: handles %lu/%lu, "
                "windows %lu/%lu, commit charge %lu/%lu\n",
                kCycles, elapsed, start.handles, end.handles, start.windows,
                end.windows, static_cast<unsigned long>(start.commitCharge),
                static_cast<unsigned long>(end.commitCharge));
}

// The same cycles without COM's marshalling in between: what the objects
// themselves keep, counted as committed private memory. (Wine's commit
// charge is the Unix process's anonymous memory: where 32-bit code runs
// under qemu it grows with the emulator's translated code, measured at 2 MB
// over these cycles, though the test's own memory does not.)
TEST_F(QbsetupTest, ThousandCreateReleaseCyclesInProcessKeepNothing)
{
    InstallHost(HostId::Word, OfficeVersion::V10);
    InstallHost(HostId::Excel, OfficeVersion::V10);
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    const auto cycle = [&] { return CreateReadRelease(factory.Get()); };
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(cycle());
    const ProcessResources start = MeasureProcess();
    int failed = 0;
    for (int i = 0; i < 1000; ++i)
        failed += cycle() ? 0 : 1;
    const ProcessResources end = MeasureProcess();
    EXPECT_EQ(failed, 0);
    ASSERT_GT(start.handles, 0u) << "the handles could not be counted";
    ASSERT_GT(start.privateBytes, 0u) << "the memory could not be measured";
    EXPECT_LE(end.handles, start.handles + 2);
    EXPECT_LE(end.privateBytes, start.privateBytes + 64 * 1024);
    std::printf("1000 cycles in process: handles %lu/%lu, private bytes %lu/%lu\n",
                start.handles, end.handles, static_cast<unsigned long>(start.privateBytes),
                static_cast<unsigned long>(end.privateBytes));
}

TEST(QuillbarTunerFactory, ServerLocksAndObjectsCountTowardsTheServersLife)
{
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    ASSERT_TRUE(factory);
    const LONG before = server::LockCount();
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(server::LockCount(), before + 1);
    {
        ComPtr<IQuillbarTuner> tuner;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid()), S_OK);
        EXPECT_EQ(server::LockCount(), before + 2);
        ComPtr<IUnknown> aggregated;
        EXPECT_EQ(factory->CreateInstance(tuner.Get(), IID_IUnknown, aggregated.PutVoid()),
                  CLASS_E_NOAGGREGATION);
    }
    EXPECT_EQ(server::LockCount(), before + 1);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(server::LockCount(), before);
}

// While an installer or a dialog runs, a second one must not start inside
// it: the members that would start one refuse, the reads are answered. The
// message filter asks interface callers of those members to retry later.
TEST_F(QbsetupTest, WhileAnOperationRunsWritesAreRefusedAndReadsAnswered)
{
    InstallHost(HostId::Excel, OfficeVersion::V10);
    const ComPtr<IClassFactory> factory = NewQuillbarTunerFactory();
    ComPtr<IQuillbarTuner> tuner;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IQuillbarTuner, tuner.PutVoid()), S_OK);

    INTERFACEINFO call = {tuner.Get(), IID_IQuillbarTuner, 0};
    {
        const busy::Operation running;
        ASSERT_TRUE(running.Started());
        EXPECT_FALSE(busy::Operation().Started());

        EXPECT_EQ(tuner->put_Enabled(0, 1), RPC_E_CALL_REJECTED);
        EXPECT_EQ(tuner->DoSetupDialog(), RPC_E_CALL_REJECTED);
        EXPECT_FALSE(AddinRecordExists(HostId::Excel));
        long count = 0;
        EXPECT_EQ(tuner->get_Count(&count), S_OK);
        EXPECT_EQ(count, 1);
        Bstr name;
        EXPECT_EQ(tuner->get_Name(0, name.Put()), S_OK);
        long enabled = -1;
        EXPECT_EQ(tuner->get_Enabled(0, &enabled), S_OK);
        EXPECT_EQ(enabled, 0);

        // Enabled put and DoSetupDialog are the table's entries 10 and 11.
        for (WORD method = 0; method < 12; ++method) {
            call.wMethod = method;
            EXPECT_EQ(IncomingCallAnswer(&call, true),
                      method >= 10 ? DWORD(SERVERCALL_RETRYLATER) : DWORD(SERVERCALL_ISHANDLED))
                << method;
            EXPECT_EQ(IncomingCallAnswer(&call, false), DWORD(SERVERCALL_ISHANDLED)) << method;
        }
        call.iid = IID_IDispatch;
        call.wMethod = 6;  // Invoke: the member decides
        EXPECT_EQ(IncomingCallAnswer(&call, true), DWORD(SERVERCALL_ISHANDLED));
    }
    EXPECT_FALSE(busy::IsBusy());
    EXPECT_EQ(tuner->put_Enabled(0, 1), S_OK);
    EXPECT_TRUE(AddinRecordExists(HostId::Excel));
}

// Nobody could ever reach a server whose class object is not registered, so
// nothing would end it: it ends at once, with the failure. (Here COM is not
// initialised on the serving thread.)
TEST(QbsetupServer, ClassObjectThatCannotBeRegisteredEndsTheServerWithThatFailure)
{
    HRESULT served = S_OK;
    DWORD serving = 0;
    HANDLE ended = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Thread server = StartThread([&] {
        serving = GetCurrentThreadId();
        served = server::Run();
        SetEvent(ended);
    });
    const bool endedByItself = WaitForSingleObject(ended, 10000) == WAIT_OBJECT_0;
    if (!endedByItself)
        PostThreadMessageA(serving, WM_QUIT, 0, 0);
    server.Join();
    CloseHandle(ended);
    EXPECT_TRUE(endedByItself) << "the server waited for clients that cannot come";
    EXPECT_EQ(served, CO_E_NOTINITIALIZED);
}

}  // namespace
