// What Talvo6WebPageFolder.Count costs over folders of 10 to 10,000 ".sci"
// files, against the bare profile reads it is made of, in the same process;
// what the profile interface itself costs against plain reads of the same
// files; and the memory of a folder of 10,000 entries.
#include "BenchRow.h"
#include "EntryMemory.h"
#include "ProductSettings.h"
#include "ReadLoops.h"
#include "SciFolder.h"
#include "ShellObject.h"

#include <objbase.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const DWORD kReadBuffer = 32768;  // the object's key-list and value buffers

// Why the profile reads cost what they cost, from Wine's kernel32.
const char kProfileCost[] =
    "Wine opens the file at every read to check its cache of the last 10 files, and looks "
    "the file up under IniFileMapping";

struct Size {
    int files;
    int rounds;
};

std::string Thousands(int number)
{
    std::string text = std::to_string(number);
    for (int at = static_cast<int>(text.size()) - 3; at > 0; at -= 3)
        text.insert(static_cast<size_t>(at), ",");
    return text;
}

void KeepFastest(double time, int round, double& best)
{
    if (round == 0 || time < best)
        best = time;
}

struct Timings {
    double count = 0;    // Count on one object
    double profile = 0;  // the bare profile reads
    double plain = 0;    // plain reads of the same files
    long listed = 0;     // what Count gave
    long values = 0;     // the non-empty values the bare reads found
    long calls = 0;      // the bare reads' profile calls
};

// The fastest of `rounds` of each, taken in turns, Count and the bare reads
// in the other order every other round: the machine's moods, and what one
// run leaves behind (the profile interface's cache, the heap), fall on both
// alike. `alongside` (if any) runs at the end of every round.
Timings Measure(ITalvo6WebPageFolder* folder, const std::string& setupFolder, int rounds,
                const std::function<void(int round)>& alongside)
{
    Timings best;
    for (int round = 0; round < rounds; ++round) {
        const auto timeCount = [&] {
            KeepFastest(bench::FastestMs(1, [&] { best.listed = CountOf(folder); }), round,
                        best.count);
        };
        const auto timeProfile = [&] {
            KeepFastest(bench::FastestMs(1,
                                         [&] {
                                             best.values = ProfileReadLoop(
                                                 setupFolder, kReadBuffer, &best.calls);
                                         }),
                        round, best.profile);
        };
        if (round % 2 == 0) {
            timeCount();
            timeProfile();
        } else {
            timeProfile();
            timeCount();
        }
        KeepFastest(bench::FastestMs(1, [&] { PlainReadLoop(setupFolder); }), round, best.plain);
        if (alongside)
            alongside(round);
    }
    return best;
}

// What the read buffers' size costs: Wine's narrow profile reads take a wide
// buffer of twice the size from the heap at every call.
void PrintBufferSizeRow(const SciFolder& files, int rounds)
{
    const std::string folder = files.Path() + "\\";
    double large = 0;
    double small = 0;
    for (int round = 0; round < rounds; ++round) {
        KeepFastest(bench::FastestMs(1, [&] { ProfileReadLoop(folder, kReadBuffer); }), round,
                    large);
        KeepFastest(bench::FastestMs(1, [&] { ProfileReadLoop(folder, 1024); }), round, small);
    }
    bench::Print({"profile reads, 32,768-byte vs 1,024-byte buffers, " +
                      Thousands(files.Count()) + " files",
                  large, small, "ms", "", "the buffers' size is not what the reads cost"});
}

int Run(bool smoke)
{
    // Single runs over few files vary by half on a shared machine: many
    // rounds there. On Wine a Count over 10,000 files takes 1.5 to 10
    // seconds, as the machine's mood is: two rounds there.
    const std::vector<Size> sizes = smoke ? std::vector<Size>{{10, 1}, {100, 1}}
                                          : std::vector<Size>{{10, 50}, {100, 30}, {1000, 5},
                                                              {10000, 2}};
    ProductSettings settings;
    ShellObject shell;
    if (!settings.Ready() || !shell.Ready())
        return 1;

    std::vector<std::unique_ptr<SciFolder>> folders;
    for (const Size& size : sizes) {
        folders.push_back(std::make_unique<SciFolder>(size.files));
        if (!folders.back()->Ready())
            return 1;
    }
    const SciFolder& largest = *folders.back();

    // First, while the heap has not yet held the larger lists of the timings;
    // the object measured is then timed over the largest folder.
    EntryMemory memory = MeasureEntryMemory(shell, settings, largest, *folders.front());
    bench::Print(memory.row);
    if (!memory.folder)
        return 1;

    // Count's time per file over the largest folder against that over the
    // 100-file folder, the latter counted as often as makes the same number
    // of files, in each round of the largest: both blocks last about as long
    // and are taken in turns, so that the load of a shared machine weighs on
    // both alike.
    const SciFolder* hundred = nullptr;
    ComPtr<ITalvo6WebPageFolder> hundredFolder;
    const int repeats = largest.Count() / 100;
    double hundredBlock = 0;
    const auto countHundredAsOften = [&](int round) {
        settings.SetFolder("Setup", hundred->Path());
        KeepFastest(bench::FastestMs(1,
                                     [&] {
                                         for (int i = 0; i < repeats; ++i)
                                             CountOf(hundredFolder.Get());
                                     }),
                    round, hundredBlock);
        settings.SetFolder("Setup", largest.Path());
    };
    bool perFile = false;
    double largestCount = 0;

    for (size_t i = 0; i < sizes.size(); ++i) {
        const SciFolder& files = *folders[i];
        const bool isLargest = i + 1 == sizes.size();
        const std::string setupFolder = files.Path() + "\\";
        const std::string label = Thousands(files.Count()) + " .sci files";
        settings.SetFolder("Setup", files.Path());

        ComPtr<ITalvo6WebPageFolder> folder =
            isLargest ? std::move(memory.folder) : shell.NewFolder();
        perFile = isLargest && hundred && repeats > 1;
        const Timings best =
            Measure(folder.Get(), setupFolder, sizes[i].rounds,
                    perFile ? countHundredAsOften : std::function<void(int)>());
        if (best.listed != files.Count() || best.values != 3L * files.Count()) {
            std::printf("ERROR: %s: Count %ld, %ld values read\n", label.c_str(), best.listed,
                        best.values);
            return 1;
        }
        bench::Print({"Count, " + label + " of 3 tags", best.count, best.profile, "ms", "<= 1.20",
                      files.Count() <= 10 ? "all 10 stay in Wine's cache of parsed files; Count "
                                            "also reads the 2 folder settings, the floor not"
                                          : ""});
        bench::Print({"profile reads vs plain reads, " + label, best.profile, best.plain, "ms", "",
                      std::to_string(best.calls / files.Count()) + " reads per file; " +
                          kProfileCost});
        if (files.Count() == 100) {
            hundred = &files;
            hundredFolder = std::move(folder);
        }
        largestCount = best.count;
    }

    if (hundred)
        PrintBufferSizeRow(*hundred, sizes[1].rounds);
    if (perFile) {
        const double files = largest.Count();
        bench::Print({"Count per file, " + Thousands(largest.Count()) + " files vs 100",
                      largestCount / files * 1000, hundredBlock / files * 1000, "us", "<= 1.50",
                      "100 files counted " + std::to_string(repeats) + " times against " +
                          Thousands(largest.Count()) + " once, in turns"});
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = Run(bench::IsSmoke(argc, argv));
    if (SUCCEEDED(hr))
        CoUninitialize();
    return result;
}
