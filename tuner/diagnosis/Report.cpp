#include "Report.h"

#include <cstdio>
#include <utility>

void ReportSection::Info(std::string id, std::wstring text, std::wstring source)
{
    findings_.push_back({std::move(id), Severity::Info, std::move(text), std::move(source), {}});
}

void ReportSection::Note(std::string id, std::wstring text, std::wstring source, std::wstring hint)
{
    findings_.push_back(
        {std::move(id), Severity::Note, std::move(text), std::move(source), std::move(hint)});
}

void ReportSection::Problem(std::string id, std::wstring text, std::wstring source,
                            std::wstring hint)
{
    findings_.push_back({std::move(id), problemsMatter_ ? Severity::Problem : Severity::Note,
                         std::move(text), std::move(source), std::move(hint)});
}

int Report::Problems() const
{
    int problems = 0;
    for (const ReportSection& section : sections)
        for (const Finding& finding : section.Findings())
            problems += finding.severity == Severity::Problem;
    return problems;
}

std::wstring ResultCodeText(long result)
{
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(result));
    return text;
}
