// The web-page folder under bad input and concurrent callers.
#include "WebPageFolderSupport.h"

#include "MessageBoxAnswerer.h"
#include "ProcessResources.h"
#include "ProgramRun.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"
#include "TestThread.h"
#include "TextConversion.h"
#include "Variant.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace {

class WebPageFolderStress : public ::testing::Test {
protected:
    WebPageFolderStress()
    {
        reg::SetString(HKEY_LOCAL_MACHINE, "Software\\Talvoworks\\TLVO6\\Folders", "Setup",
                       folder_.Path());
    }

    ComPtr<ITalvo6WebPageFolder> NewFolder()
    {
        auto folder = library_.Create<ITalvo6WebPageFolder>(CLSID_Talvo6WebPageFolder,
                                                            IID_ITalvo6WebPageFolder);
        EXPECT_TRUE(folder);
        return folder;
    }

    // The captions of all entries, in any order.
    static std::multiset<std::string> Captions(ITalvo6WebPageFolder* folder)
    {
        std::multiset<std::string> captions;
        const long count = CountOf(folder);
        for (long i = 0; i < count; ++i)
            captions.insert(TagOf(folder, i, L"Caption"));
        return captions;
    }

    // The product's setup in a process of its own (setup_files.exe).
    static KernelHandle StartSetup(const std::string& arguments)
    {
        KernelHandle setup = StartProgram("\"" + BinaryFolder() + "setup_files.exe\" " + arguments);
        EXPECT_TRUE(setup) << GetLastError();
        return setup;
    }

    ScratchRegistry scratch_{ScratchRegistry::kLocalMachine};
    ShellLibrary library_;
    ScratchFolder folder_;
};

// A script's whole use of the object: created through COM, Count read through
// IDispatch (the type-information path), released.
long CreateCountAndRelease()
{
    ComPtr<IDispatch> folder;
    EXPECT_EQ(CoCreateInstance(CLSID_Talvo6WebPageFolder, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDispatch, folder.PutVoid()),
              S_OK);
    if (!folder)
        return -1;
    LPOLESTR name = const_cast<LPOLESTR>(L"Count");
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(folder->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    DISPPARAMS none = {};
    Variant count;
    EXPECT_EQ(folder->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                             count.Put(), nullptr, nullptr),
              S_OK);
    long number = -1;
    VariantToLong(count.Get(), number);
    return number;
}

TEST_F(WebPageFolderStress, GarbageAndOversizedFilesDoNotDisturbTheRest)
{
    std::mt19937 random(20240611);
    for (int i = 0; i < 5; ++i) {
        std::string garbage(20000, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        folder_.Write("garbage" + std::to_string(i) + ".sci", garbage);
    }
    folder_.Write("empty.sci", "");
    folder_.Write("longvalue.sci",
                  SciFile("Caption=long\r\nLong=" + std::string(40000, 'v') + "\r\n"));
    // 300 keys of 201 characters: a key list of about 60000 bytes.
    const auto longKey = [](int i) { return "K" + std::string(200, 'k') + std::to_string(i); };
    std::string manyKeys;
    for (int i = 0; i < 300; ++i)
        manyKeys += longKey(i) + "=" + std::to_string(i) + "\r\n";
    folder_.Write("manykeys.sci", SciFile("Caption=many\r\n" + manyKeys));
    folder_.Write("good.sci", SciFile("Caption=good\r\n"));

    auto folder = NewFolder();
    const std::multiset<std::string> captions = Captions(folder.Get());
    EXPECT_EQ(captions.count("good"), 1u);
    EXPECT_EQ(captions.count("long"), 1u);
    EXPECT_EQ(captions.count("many"), 1u);

    for (long i = 0; i < static_cast<long>(captions.size()); ++i) {
        const std::string caption = TagOf(folder.Get(), i, L"Caption");
        if (caption == "long") {
            // The value is cut at the read buffer's 32768 bytes, its NUL included.
            EXPECT_EQ(TagOf(folder.Get(), i, L"Long"), std::string(32767, 'v'));
        } else if (caption == "many") {
            // The key list is cut at 32768 bytes; the keys before the cut are read.
            EXPECT_EQ(TagOf(folder.Get(), i, ToWide(longKey(0)).c_str()), "0");
            EXPECT_EQ(TagOf(folder.Get(), i, ToWide(longKey(299)).c_str()), "");
        }
    }
}

TEST_F(WebPageFolderStress, ThousandsOfFilesAreAllListed)
{
    const int files = 1500;
    for (int i = 0; i < files; ++i)
        folder_.Write("entry" + std::to_string(i) + ".sci",
                      SciFile("Caption=" + std::to_string(i) + "\r\n"));
    auto folder = NewFolder();
    const std::multiset<std::string> captions = Captions(folder.Get());
    ASSERT_EQ(captions.size(), static_cast<size_t>(files));
    EXPECT_EQ(std::set<std::string>(captions.begin(), captions.end()).size(),
              static_cast<size_t>(files));
}

TEST_F(WebPageFolderStress, ConcurrentCountTagAndExecuteNeverReadADestroyedEntry)
{
    // Long values of different sizes: a read of a destroyed entry shows as
    // garbage, as another entry's text, or as a crash.
    const int entries = 20;
    for (int i = 0; i < entries; ++i) {
        const std::string caption = std::string(1000 + 100 * i, static_cast<char>('A' + i));
        folder_.Write("entry" + std::to_string(i) + ".sci", SciFile("Caption=" + caption + "\r\n"));
    }
    auto folder = NewFolder();
    ITalvo6WebPageFolder* shared = folder.Get();  // called from every thread, as "Both" allows
    // Every rebuild lists the unchanged folder in the same order.
    std::vector<std::string> captions;
    for (long i = 0; i < entries; ++i)
        captions.push_back(TagOf(shared, i, L"Caption"));
    MessageBoxAnswerer user(kMessageCaption);
    std::atomic<int> tornReads{0};
    std::atomic<int> badCounts{0};

    std::vector<Thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.push_back(StartThread([&] {
            for (int i = 0; i < 40; ++i) {
                if (CountOf(shared) != entries)
                    ++badCounts;
            }
        }));
    }
    for (int t = 0; t < 4; ++t) {
        threads.push_back(StartThread([&, t] {
            for (int i = 0; i < 4000; ++i) {
                const long item = (i + t) % entries;
                if (TagOf(shared, item, L"Caption") != captions[item])
                    ++tornReads;
            }
        }));
    }
    for (int t = 0; t < 2; ++t) {
        threads.push_back(StartThread([&, t] {
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(shared->Execute((i * 7 + t) % entries), S_OK);  // no Path: a message
        }));
    }
    for (Thread& thread : threads)
        thread.Join();

    EXPECT_EQ(tornReads, 0);
    EXPECT_EQ(badCounts, 0);
    EXPECT_EQ(user.WaitFor(10).size(), 10u);
}

TEST_F(WebPageFolderStress, ThousandCreateReleaseCyclesLeaveTheProcessAsTheyFoundIt)
{
    const RegisteredShell shell;
    for (int i = 0; i < 3; ++i)
        folder_.Write("entry" + std::to_string(i) + ".sci",
                      SciFile("Caption=" + std::string(300, 'c') + "\r\nPath=x.exe\r\n"));
    // Once before measuring: COM, the type library and the caches it fills.
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(CreateCountAndRelease(), 3);

    const ProcessResources start = MeasureProcess();
    int wrongCounts = 0;
    for (int i = 0; i < 1000; ++i)
        wrongCounts += CreateCountAndRelease() == 3 ? 0 : 1;
    const ProcessResources end = MeasureProcess();

    std::cout << "1000 cycles: at start " << start << "; at end " << end << std::endl;
    EXPECT_EQ(wrongCounts, 0);
    ASSERT_GT(start.handles, 0u) << "the handles could not be counted";
    ASSERT_GT(start.privateBytes, 0u) << "the memory could not be measured";
    EXPECT_LE(end.handles, start.handles);
    // An entry list left behind per cycle would be more than 1 MB.
    EXPECT_LT(end.privateBytes, start.privateBytes + 256 * 1024);
}

// Files that appear, change and vanish between the listing and the reads
// leave a file out or give it the tags of one version or another; each file
// is listed at most once, the unchanged ones always, and nothing is torn.
TEST_F(WebPageFolderStress, SetupChangingFilesWhileEightThreadsReadGivesConsistentLists)
{
    const int stable = 10;
    std::set<std::string> captions;
    for (int i = 0; i < stable; ++i) {
        folder_.Write("stable" + std::to_string(i) + ".sci",
                      SciFile("Caption=stable" + std::to_string(i) + "\r\n"));
        captions.insert("stable" + std::to_string(i));
    }
    for (int i = 0; i < 8; ++i)
        captions.insert("churn" + std::to_string(i));
    auto shared = NewFolder();
    std::atomic<int> counts{0};
    std::atomic<int> inconsistent{0};
    std::atomic<int> unknownTags{0};

    KernelHandle setup = StartSetup("--churn \"" + folder_.Path() + "\" 2000");
    ASSERT_TRUE(setup);
    const auto setupRuns = [&] { return WaitForSingleObject(setup.Get(), 0) == WAIT_TIMEOUT; };
    // Four threads on one object, whose list the others rebuild under them:
    // each tag is empty or a whole caption.
    const auto readShared = [&] {
        for (int round = 0; round < 400 && setupRuns(); ++round) {
            const long count = CountOf(shared.Get());
            ++counts;
            for (long i = 0; i <= count; ++i) {
                const std::string caption = TagOf(shared.Get(), i, L"Caption");
                if (!caption.empty() && !captions.count(caption))
                    ++unknownTags;
            }
        }
    };
    // Four threads on objects of their own: each Count's list as a whole.
    const auto readOwn = [&] {
        auto own = NewFolder();
        for (int round = 0; round < 400 && setupRuns(); ++round) {
            const long count = CountOf(own.Get());
            ++counts;
            std::multiset<std::string> listed;
            for (long i = 0; i < count; ++i)
                listed.insert(TagOf(own.Get(), i, L"Caption"));
            bool consistent = count >= stable && count <= stable + 8;
            for (const std::string& caption : listed)
                consistent = consistent && (caption.empty() || (captions.count(caption) &&
                                                                 listed.count(caption) == 1));
            for (int i = 0; i < stable; ++i)
                consistent = consistent && listed.count("stable" + std::to_string(i)) == 1;
            inconsistent += consistent ? 0 : 1;
        }
    };
    std::vector<Thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.push_back(StartThread(readShared));
        threads.push_back(StartThread(readOwn));
    }
    for (Thread& thread : threads)
        thread.Join();
    ASSERT_EQ(WaitForSingleObject(setup.Get(), 60000), WAIT_OBJECT_0);
    DWORD setupResult = 1;
    GetExitCodeProcess(setup.Get(), &setupResult);

    std::cout << counts << " Counts while the setup changed the files" << std::endl;
    EXPECT_EQ(setupResult, 0u);
    EXPECT_GT(counts, 0);
    EXPECT_EQ(inconsistent, 0);
    EXPECT_EQ(unknownTags, 0);
}

// What the platform's profile reader makes of each file is what the page
// gets: a value ends at a NUL byte and is cut at the read buffer; a UTF-16
// file with a byte-order mark is read as text, converted to the ANSI code
// page; of a section with more keys than the key list holds, the keys that
// fit are read; a file that another process keeps locked, and a folder with
// the extension, cannot be read and are no entries.
TEST_F(WebPageFolderStress, HostileFilesGiveWhatCanBeReadAndTheRestIsRead)
{
    folder_.Write("zero.sci", SciFile(std::string("Caption=nul\0hidden\r\nAfter=read\r\n", 32)));
    folder_.Write("longline.sci", SciFile("Caption=longline\r\nLong=" +
                                          std::string(1 << 20, 'L') + "\r\nAfter=read\r\n"));
    const std::wstring wide = L"\xFEFF[.WebPageFolder]\r\nCaption=W\xF6rterbuch\r\nAfter=read\r\n";
    folder_.Write("utf16.sci", std::string(reinterpret_cast<const char*>(wide.data()),
                                           wide.size() * sizeof(wchar_t)));
    std::string keys = "Caption=manykeys\r\n";
    for (int i = 0; i < 10000; ++i)
        keys += "K" + std::to_string(10000 + i) + "=" + std::to_string(i) + "\r\n";
    folder_.Write("manykeys.sci", SciFile(keys));
    const std::string locked = folder_.Write("locked.sci", SciFile("Caption=locked\r\n"));
    folder_.MakeFolder("x.sci");
    folder_.Write("good.sci", SciFile("Caption=good\r\nAfter=read\r\n"));

    const std::string events = "quillbar-test-" + std::to_string(GetCurrentProcessId());
    KernelHandle held(CreateEventA(nullptr, TRUE, FALSE, (events + "-held").c_str()));
    KernelHandle release(CreateEventA(nullptr, TRUE, FALSE, (events + "-release").c_str()));
    KernelHandle setup = StartSetup("--hold \"" + locked + "\" " + events + "-held " + events +
                                    "-release");
    ASSERT_TRUE(setup);
    ASSERT_EQ(WaitForSingleObject(held.Get(), 30000), WAIT_OBJECT_0);

    auto folder = NewFolder();
    std::map<std::string, long> entries;  // caption to index
    const long count = CountOf(folder.Get());
    for (long i = 0; i < count; ++i)
        entries[TagOf(folder.Get(), i, L"Caption")] = i;
    SetEvent(release.Get());
    EXPECT_EQ(WaitForSingleObject(setup.Get(), 30000), WAIT_OBJECT_0);

    std::set<std::string> captions;
    for (const auto& entry : entries)
        captions.insert(entry.first);
    ASSERT_EQ(captions, (std::set<std::string>{"nul", "longline", "W\xF6rterbuch", "manykeys",
                                               "good"}));
    for (const char* caption : {"nul", "longline", "W\xF6rterbuch", "good"})
        EXPECT_EQ(TagOf(folder.Get(), entries[caption], L"After"), "read") << caption;
    EXPECT_EQ(TagOf(folder.Get(), entries["nul"], L"hidden"), "");
    EXPECT_EQ(TagOf(folder.Get(), entries["longline"], L"Long"), std::string(32767, 'L'));
    // Each key takes 7 bytes of the 32768 of the key list.
    const long many = entries["manykeys"];
    EXPECT_EQ(TagOf(folder.Get(), many, L"K10000"), "0");
    EXPECT_EQ(TagOf(folder.Get(), many, L"K14000"), "4000");
    EXPECT_EQ(TagOf(folder.Get(), many, L"K19999"), "");
}

}  // namespace
