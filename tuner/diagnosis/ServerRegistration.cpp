#include "ServerRegistration.h"

#include "DeviceNames.h"
#include "FileImage.h"
#include "InstalledFile.h"
#include "PathHelpers.h"
#include "SixtyFourBitView.h"
#include "TextConversion.h"

#include <vector>

namespace {

// A plain path, perhaps in quotes.
std::string FileOf(const std::string& text)
{
    std::string file = text;
    const auto first = file.find_first_not_of(' ');
    file.erase(0, first == std::string::npos ? file.size() : first);
    if (!file.empty() && file[0] == '"') {
        const auto closing = file.find('"', 1);
        return file.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
    }
    while (!file.empty() && file.back() == ' ')
        file.pop_back();
    return file;
}

bool HasExtension(const std::string& name)
{
    const auto dot = FindLastCharacter(name, ".");
    const auto separator = FindLastCharacter(name, "\\/");
    return dot != std::string::npos && (separator == std::string::npos || dot > separator);
}

bool EndsWithExe(const std::string& name)
{
    return name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".exe") == 0;
}

bool IsExistingFile(const std::string& path, REGSAM view)
{
    if (NamesADevice(path))
        return false;
    const DWORD attributes =
        LookAsItsLoadersDo(view, [&] { return GetFileAttributesA(path.c_str()); });
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program a command line starts, found as CreateProcess finds it when
// given no program name (as COM starts a LocalServer32): a name in quotes as
// it stands; otherwise the line up to each blank in turn, and at last whole,
// with ".exe" added to a name without extension, until one is a file. When
// none is, the first such part that ends with ".exe", else the whole line.
std::string ProgramOf(const std::string& commandLine, REGSAM view)
{
    const std::string line = FileOf(commandLine);
    const auto first = commandLine.find_first_not_of(' ');
    if (first != std::string::npos && commandLine[first] == '"')
        return line;
    std::string named;
    for (std::string::size_type blank = line.find(' ');; blank = line.find(' ', blank + 1)) {
        const std::string part = line.substr(0, blank);
        const std::string candidate = HasExtension(part) ? part : part + ".exe";
        if (IsExistingFile(candidate, view))
            return candidate;
        if (named.empty() && EndsWithExe(part))
            named = part;
        if (blank == std::string::npos)
            break;
    }
    return named.empty() ? line : named;
}

// LocalServer32 holds a command line, which COM hands to CreateProcess; the
// other keys a path.
bool HoldsCommandLine(const std::string& keyPath)
{
    const std::string key = "\\LocalServer32";
    return keyPath.size() >= key.size() &&
           _stricmp(keyPath.c_str() + keyPath.size() - key.size(), key.c_str()) == 0;
}

std::wstring BitsText(Bitness bits)
{
    return bits == Bitness::Bits32 ? L"32 Bit" : L"64 Bit";
}

// "32-Bit" in compounds: "32-Bit-Programme".
std::wstring BitsPrefix(Bitness bits)
{
    return bits == Bitness::Bits32 ? L"32-Bit-" : L"64-Bit-";
}

// The file itself: there, a program, and of the bitness its loaders need.
void JudgeFile(ReportSection& out, const ServerTexts& texts, const std::string& path,
               const FileImage& image, Expected expected, const std::wstring& value)
{
    const std::wstring file = L"Datei " + Quoted(path);
    const std::wstring reinstall = L"neu installieren, dann neu registrieren";
    if (image.kind == ImageKind::Missing) {
        out.Problem(texts.id + ".fileMissing", file + L" fehlt", value, reinstall);
        return;
    }
    if (image.kind == ImageKind::Unreadable) {
        out.Note(texts.id + ".fileUnreadable",
                 file + L" lässt sich nicht lesen (Fehler " + std::to_wstring(image.error) + L")",
                 value);
        return;
    }
    if (image.kind == ImageKind::NotAFile) {
        out.Problem(texts.id + ".fileNotFile",
                    Quoted(path) + L" ist keine Datei (Gerät oder Pipe), nicht gelesen",
                    value, reinstall);
        return;
    }
    if (expected == Expected::AnyFile) {
        out.Info(texts.id + ".file", file + L" vorhanden", value);
        return;
    }
    if (image.kind == ImageKind::NotAnImage) {
        out.Problem(texts.id + ".fileNotProgram", file + L" ist keine Programmdatei", value,
                    reinstall);
        return;
    }
    if (image.kind == ImageKind::OtherMachine) {
        wchar_t machine[16];
        swprintf(machine, 16, L"0x%04X", image.machine);
        out.Problem(texts.id + ".fileBitness",
                    file + L" ist für einen anderen Prozessor gebaut (Maschinentyp " + machine +
                        L")",
                    value, reinstall);
        return;
    }
    const Bitness bits = image.kind == ImageKind::Bits32 ? Bitness::Bits32 : Bitness::Bits64;
    const bool fits = expected == Expected::AnyProgram ||
                      (expected == Expected::Bits32) == (bits == Bitness::Bits32);
    if (fits) {
        out.Info(texts.id + ".file", file + L" vorhanden, " + BitsText(bits), value);
        return;
    }
    const Bitness wanted = bits == Bitness::Bits32 ? Bitness::Bits64 : Bitness::Bits32;
    out.Problem(texts.id + ".fileBitness",
                file + L" ist für " + BitsText(bits) + L" gebaut, geladen wird sie von " +
                    BitsPrefix(wanted) + L"Programmen",
                value, L"die " + BitsPrefix(wanted) + L"Fassung installieren und registrieren");
}

}  // namespace

ServerRegistration ReadServerRegistration(const std::string& keyPath, REGSAM view)
{
    ServerRegistration server;
    server.keyPath = keyPath;
    server.view = view;
    RegistryKey key;
    if (!key.Open(HKEY_CLASSES_ROOT, keyPath, KEY_QUERY_VALUE | view))
        return server;
    server.value = ReadValue(key, nullptr);
    if (!server.value.present || (server.value.IsText() && server.value.Text().empty()))
        server.state = ServerRegistration::State::NoValue;
    else if (!server.value.IsText())
        server.state = ServerRegistration::State::WrongType;
    else {
        const std::string text = server.value.Text();
        const bool expand = server.value.type == REG_EXPAND_SZ;
        const std::string expanded = !expand              ? text
                                     : view == k64BitView ? ExpandAs64BitProcess(text)
                                                          : ExpandEnvironmentReferences(text);
        server.file = HoldsCommandLine(keyPath) ? ProgramOf(expanded, view) : FileOf(expanded);
        server.state = server.file.size() >= MAX_PATH ? ServerRegistration::State::TooLong
                                                      : ServerRegistration::State::Present;
    }
    return server;
}

void ReportServer(ReportSection& out, const ServerTexts& texts, const ServerRegistration& server,
                  Expected expected)
{
    using State = ServerRegistration::State;
    const std::wstring key = KeyName(HKEY_CLASSES_ROOT, server.keyPath, server.view);
    const std::wstring value = ValueName(HKEY_CLASSES_ROOT, server.keyPath, nullptr, server.view);
    switch (server.state) {
    case State::KeyMissing:
        out.Problem(texts.id + ".missing", texts.what + L": nicht registriert", key, texts.repair);
        return;
    case State::NoValue:
        out.Problem(texts.id + ".noValue", texts.what + L": Schlüssel ohne Dateipfad", value,
                    texts.repair);
        return;
    case State::WrongType:
        out.Problem(texts.id + ".type",
                    texts.what + L": Wert vom Typ " + TypeName(server.value.type) +
                        L" statt REG_SZ",
                    value, texts.repair);
        return;
    case State::TooLong:
        out.Problem(texts.id + ".tooLong",
                    texts.what + L": Pfad mit " + std::to_wstring(server.file.size()) +
                        L" Zeichen, länger als MAX_PATH (259 Zeichen)",
                    value, L"in einen Ordner mit kürzerem Pfad installieren und neu registrieren");
        return;
    case State::Present:
        break;
    }
    out.Info(texts.id, texts.what + L" = " + Quoted(server.value.Text()), value);

    const FileImage image =
        LookAsItsLoadersDo(server.view, [&] { return ExamineImage(server.file); });
    JudgeFile(out, texts, server.file, image, expected, value);
    if (IsProgram(image.kind))
        ReportInstalledFile(out, texts.id, server.file, server.view, image, value);
}
