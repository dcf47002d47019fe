// The web-page folder under bad input and concurrent callers.
#include "WebPageFolderSupport.h"

#include "MessageBoxAnswerer.h"
#include "ScratchFolder.h"
#include "ScratchRegistry.h"
#include "ShellLibrary.h"
#include "TextConversion.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <set>
#include <thread>
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

    ScratchRegistry scratch_{ScratchRegistry::kLocalMachine};
    ShellLibrary library_;
    ScratchFolder folder_;
};

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

    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 40; ++i) {
                if (CountOf(shared) != entries)
                    ++badCounts;
            }
        });
    }
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 4000; ++i) {
                const long item = (i + t) % entries;
                if (TagOf(shared, item, L"Caption") != captions[item])
                    ++tornReads;
            }
        });
    }
    for (int t = 0; t < 2; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(shared->Execute((i * 7 + t) % entries), S_OK);  // no Path: a message
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(tornReads, 0);
    EXPECT_EQ(badCounts, 0);
    EXPECT_EQ(user.WaitFor(10).size(), 10u);
}

}  // namespace
