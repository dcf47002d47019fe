#pragma once

#include "BenchRow.h"

class ProductSettings;
class SciFolder;
class ShellObject;

// Bytes per entry of a web-page folder that holds the entries of `folder`:
// the growth of the process's private bytes from before the object is made
// to after its Count, divided by the number of entries; against a plain
// std::vector<std::string> of the same keys and values, measured the same
// way just before (and alive meanwhile, so that neither reuses the other's
// memory). `warmUp` is a small folder read once first, so that what the
// library, the profile interface and COM set up once is not counted.
bench::Row MeasureEntryMemory(const ShellObject& shell, const ProductSettings& settings,
                              const SciFolder& folder, const SciFolder& warmUp);
