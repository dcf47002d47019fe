#pragma once

#include "BenchRow.h"
#include "ShellObject.h"

class ProductSettings;
class SciFolder;

struct EntryMemory {
    bench::Row row;
    ComPtr<ITalvo6WebPageFolder> folder;  // the object measured; empty on failure
};

// Bytes per entry of a web-page folder that holds the entries of `folder`:
// the growth of the process's private bytes from before the object is made
// to after its Count, divided by the number of entries; against a plain
// std::vector<std::string> of the same keys and values, measured the same
// way just before (and alive meanwhile, so that neither reuses the other's
// memory). `warmUp` is a small folder read once first, so that what the
// library, the profile interface and COM set up once is not counted. The
// object measured is handed back for further use.
EntryMemory MeasureEntryMemory(const ShellObject& shell, const ProductSettings& settings,
                               const SciFolder& folder, const SciFolder& warmUp);
