#include "EntryMemory.h"

#include "ProcessResources.h"
#include "ProductSettings.h"
#include "SciFolder.h"
#include "ShellObject.h"

#include <string>
#include <vector>

namespace {

double PrivateBytes()
{
    return static_cast<double>(MeasureProcess().privateBytes);
}

std::vector<std::string> SameStrings(int count)
{
    std::vector<std::string> strings;
    strings.reserve(static_cast<size_t>(count) * 6);
    for (int i = 0; i < count; ++i) {
        for (std::string& text : SciFolder::Tags(i))
            strings.push_back(std::move(text));
    }
    return strings;
}

}  // namespace

EntryMemory MeasureEntryMemory(const ShellObject& shell, const ProductSettings& settings,
                               const SciFolder& folder, const SciFolder& warmUp)
{
    const int count = folder.Count();
    EntryMemory result;
    bench::Row& row = result.row;
    row.figure = "Memory per entry, " + std::to_string(count) + " entries";
    row.unit = "bytes";

    settings.SetFolder("Setup", warmUp.Path());
    CountOf(shell.NewFolder().Get());
    SameStrings(warmUp.Count());
    settings.SetFolder("Setup", folder.Path());

    const double start = PrivateBytes();
    const std::vector<std::string> strings = SameStrings(count);
    const double withStrings = PrivateBytes();
    ComPtr<ITalvo6WebPageFolder> object = shell.NewFolder();
    const double afterCreation = PrivateBytes();
    const long listed = CountOf(object.Get());
    const double withObject = PrivateBytes();
    if (listed != count) {
        row.note = "ERROR: Count gave " + std::to_string(listed);
        return result;
    }

    size_t textBytes = 0;
    for (const std::string& text : strings)
        textBytes += text.size() + 1;
    row.ours = (withObject - withStrings) / count;
    row.floor = (withStrings - start) / count;
    row.note = "private bytes before the object vs after its Count; after its creation " +
               std::to_string(static_cast<long>((afterCreation - withStrings) / count)) +
               ": the list Count replaced stays committed in the heap for the next; floor: a "
               "std::vector of the same 6 strings per entry (their characters alone: " +
               std::to_string(textBytes / static_cast<size_t>(count)) + ")";
    result.folder = std::move(object);
    return result;
}
