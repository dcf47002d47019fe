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

// What a damaged signature's code says.
const wchar_t* Damage(LONG result)
{
    switch (result) {
    case TRUST_E_BAD_DIGEST:
        return L"die Datei wurde nach dem Signieren verändert";
    case TRUST_E_CERT_SIGNATURE:
        return L"sie passt nicht zu den signierten Daten";
    }
    return L"sie lässt sich nicht lesen";
}

}  // namespace

void ReportInstalledFile(ReportSection& out, const std::string& id, const std::string& path,
                         REGSAM view, const FileImage& image, const std::wstring& source)
{
    const FileVersionReader& versions = Versions();
    const SignatureChecker& signatures = Signatures();
    std::string version;
    KernelHandle file;
    DWORD openError = ERROR_SUCCESS;
    LookAsItsLoadersDo(view, [&] {
        version = versions.Read(path);
        if (image.certificates.size == 0)
            return;
        file = OpenToRead(path);
        if (!file) {
            openError = GetLastError();
        } else if (GetFileType(file.Get()) != FILE_TYPE_DISK) {
            file.Reset();
            openError = ERROR_BAD_FILE_TYPE;
        }
    });
    if (version.empty())
        out.Info(id + ".noVersion", L"ohne Versionsangabe (keine Versionsressource)", source);
    else
        out.Info(id + ".version", L"Dateiversion " + ToWide(version), source);

    using State = FileSignature::State;
    FileSignature signature;
    if (file) {
        signature = signatures.Check(file.Get(), path, image.certificates);
    } else if (image.certificates.size != 0) {
        signature.state = State::Unchecked;
        signature.result = HRESULT_FROM_WIN32(openError);
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
                        Damage(signature.result),
                    source, L"neu installieren, dann neu registrieren");
        return;
    case State::Unchecked:
        out.Note(id + ".signatureUnchecked",
                 SignatureOf(signature) + L" lässt sich nicht prüfen (Fehler " + code + L")",
                 source);
        return;
    }
}
