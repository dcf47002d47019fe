#include "InstalledFile.h"

#include "AuthenticodeSignature.h"
#include "FileVersion.h"
#include "SixtyFourBitView.h"
#include "TextConversion.h"

namespace {

// The system's libraries, loaded at the first file and kept: here, where
// file names are this program's own.
const FileVersionReader& Versions()
{
    static const FileVersionReader versions;
    return versions;
}

const SignatureChecker& Signatures()
{
    static const SignatureChecker signatures;
    return signatures;
}

std::wstring SignedBy(const FileSignature& signature)
{
    return signature.signer.empty() ? std::wstring(L"signiert (Zertifikat unbekannt)")
                                    : L"signiert von \"" + signature.signer + L"\"";
}

std::wstring SignatureOf(const FileSignature& signature)
{
    return signature.signer.empty() ? std::wstring(L"Signatur")
                                    : L"Signatur von \"" + signature.signer + L"\"";
}

}  // namespace

void ReportInstalledFile(ReportSection& out, const std::string& id, const std::string& path,
                         REGSAM view, const FileImage& image, const std::wstring& source)
{
    const FileVersionReader& versions = Versions();
    const SignatureChecker& signatures = Signatures();
    std::string version;
    KernelHandle file;
    LookAsItsLoadersDo(view, [&] {
        version = versions.Read(path);
        if (image.certificates.size != 0)
            file = OpenToRead(path);
    });
    if (version.empty())
        out.Info(id + ".noVersion", L"ohne Versionsangabe (keine Versionsressource)", source);
    else
        out.Info(id + ".version", L"Dateiversion " + ToWide(version), source);

    using State = FileSignature::State;
    FileSignature signature;
    if (image.certificates.size != 0) {
        if (file && GetFileType(file.Get()) == FILE_TYPE_DISK) {
            signature = signatures.Check(file.Get(), path, image.certificates);
        } else {
            signature.state = State::Unchecked;
            signature.result = HRESULT_FROM_WIN32(GetLastError());
        }
    }
    const std::wstring code = ResultCodeText(signature.result);
    switch (signature.state) {
    case State::Unsigned:
        out.Note(id + ".unsigned", L"nicht signiert", source);
        return;
    case State::Valid:
        out.Info(id + ".signed", SignedBy(signature) + L", Signatur gültig", source);
        return;
    case State::Untrusted:
        out.Note(id + ".signatureUntrusted",
                 SignedBy(signature) + L", aber Windows vertraut dem Zertifikat nicht (" + code +
                     L")",
                 source);
        return;
    case State::Damaged:
        out.Problem(id + ".signatureDamaged",
                    SignatureOf(signature) + L" beschädigt (" + code + L"): " +
                        (signature.result == TRUST_E_BAD_DIGEST
                             ? L"die Datei wurde nach dem Signieren verändert"
                             : L"sie lässt sich nicht lesen"),
                    source, L"neu installieren, dann neu registrieren");
        return;
    case State::Unchecked:
        out.Note(id + ".signatureUnchecked",
                 SignatureOf(signature) + L" lässt sich nicht prüfen (Fehler " + code + L")",
                 source);
        return;
    }
}
