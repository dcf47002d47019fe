#include "ReportText.h"

#include <cstdio>

namespace {

const wchar_t* Label(Severity severity)
{
    switch (severity) {
    case Severity::Info: return L"        ";
    case Severity::Note: return L"Hinweis ";
    case Severity::Problem: return L"Problem ";
    }
    return L"";
}

const wchar_t* JsonSeverity(Severity severity)
{
    switch (severity) {
    case Severity::Info: return L"info";
    case Severity::Note: return L"note";
    case Severity::Problem: return L"problem";
    }
    return L"";
}

std::wstring Json(const std::wstring& text)
{
    std::wstring quoted = L"\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            quoted += L'\\';
            quoted += c;
        } else if (c < 0x20) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\u%04x", static_cast<unsigned>(c));
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + L"\"";
}

// A text for one line of the text report: control characters (registry data
// may hold any) shown as "\xNN", so that each finding keeps its line.
std::wstring OneLine(const std::wstring& text)
{
    std::wstring shown;
    shown.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\x%02X", static_cast<unsigned>(c));
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

std::wstring Json(const std::string& ascii)
{
    return Json(std::wstring(ascii.begin(), ascii.end()));
}

}  // namespace

std::wstring ReportAsText(const Report& report)
{
    const int problems = report.Problems();
    std::wstring text = L"Quillbar-Diagnose: ";
    text += problems == 0   ? L"kein Problem gefunden"
            : problems == 1 ? L"1 Problem gefunden"
                            : std::to_wstring(problems) + L" Probleme gefunden";
    text += L"\r\n";
    for (const ReportSection& section : report.sections) {
        text += L"\r\n" + OneLine(section.Title()) + L"\r\n";
        for (const Finding& finding : section.Findings()) {
            text += L"  " + std::wstring(Label(finding.severity)) + OneLine(finding.text);
            if (!finding.source.empty())
                text += L"  [" + OneLine(finding.source) + L"]";
            if (!finding.hint.empty())
                text += L"  Abhilfe: " + OneLine(finding.hint);
            text += L"\r\n";
        }
    }
    return text;
}

std::wstring ReportAsJson(const Report& report)
{
    std::wstring json = L"{\n  \"problems\": " + std::to_wstring(report.Problems()) +
                        L",\n  \"sections\": [";
    bool firstSection = true;
    for (const ReportSection& section : report.sections) {
        json += firstSection ? L"\n" : L",\n";
        firstSection = false;
        json += L"    {\"name\": " + Json(section.Name()) + L", \"title\": " +
                Json(section.Title()) + L", \"findings\": [";
        bool firstFinding = true;
        for (const Finding& finding : section.Findings()) {
            json += firstFinding ? L"\n" : L",\n";
            firstFinding = false;
            json += L"      {\"id\": " + Json(finding.id) + L", \"severity\": \"" +
                    JsonSeverity(finding.severity) + L"\", \"text\": " + Json(finding.text) +
                    L", \"source\": " + Json(finding.source) + L", \"hint\": " +
                    Json(finding.hint) + L"}";
        }
        json += L"\n    ]}";
    }
    json += L"\n  ]\n}\n";
    return json;
}
