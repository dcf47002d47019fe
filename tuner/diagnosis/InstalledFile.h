#pragma once

// Which file a registration names, so that support can tell a release's
// file from a stray copy: the file version of its version block and its
// Authenticode signature (signed by whom, unsigned, or damaged).

#include "FileImage.h"
#include "Report.h"

#include <windows.h>

#include <string>

// For a program file (ExamineImage's `image` of it), as the processes of
// the registry view that names it see it: the finding `id`.version (or
// .noVersion), then `id`.signed, .unsigned, .signatureUntrusted,
// .signatureDamaged or .signatureUnchecked.
void ReportInstalledFile(ReportSection& out, const std::string& id, const std::string& path,
                         REGSAM view, const FileImage& image, const std::wstring& source);
