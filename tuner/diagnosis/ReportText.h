#pragma once

// The report as people read it (German, one line per finding) and as support
// tools read it (JSON, one finding per line; its shape is in README.md).

#include "Report.h"

#include <string>

std::wstring ReportAsText(const Report& report);
std::wstring ReportAsJson(const Report& report);
