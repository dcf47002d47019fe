#include "AuthenticodeSignature.h"

#include "SystemLibrary.h"
#include "TextConversion.h"

#include <softpub.h>

#include <cstddef>
#include <utility>
#include <vector>

namespace {

// Owns a handle of crypt32's and closes it with the function looked up for it.
template <typename Traits>
class CryptOwner {
public:
    using Handle = typename Traits::Handle;

    explicit CryptOwner(const CryptFunctions& crypt, Handle handle = nullptr)
        : crypt_(crypt), handle_(handle) {}
    ~CryptOwner()
    {
        if (handle_)
            Traits::Close(crypt_, handle_);
    }
    CryptOwner(const CryptOwner&) = delete;
    CryptOwner& operator=(const CryptOwner&) = delete;

    Handle Get() const { return handle_; }
    // For a function that hands out a new handle; the owner must be empty.
    Handle* Put() { return &handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    const CryptFunctions& crypt_;
    Handle handle_;
};

struct StoreTraits {
    using Handle = HCERTSTORE;
    static void Close(const CryptFunctions& crypt, Handle store) { crypt.closeStore(store, 0); }
};
struct MessageTraits {
    using Handle = HCRYPTMSG;
    static void Close(const CryptFunctions& crypt, Handle message) { crypt.closeMessage(message); }
};
struct CertificateTraits {
    using Handle = PCCERT_CONTEXT;
    static void Close(const CryptFunctions& crypt, Handle certificate)
    {
        crypt.freeCertificate(certificate);
    }
};

// A table larger than this is no signature of ours (a signature with its
// certificates takes a few kilobytes); it is not read.
constexpr DWORD kLargestTable = 1 << 20;

// The table's first entry holds the signature: a WIN_CERTIFICATE of the PKCS
// #7 kind, its bytes after an 8-byte header. Empty when there is no such
// entry or it cannot be read.
std::string ReadSignatureBytes(HANDLE file, const CertificateTable& table)
{
    const DWORD header = offsetof(WIN_CERTIFICATE, bCertificate);
    WIN_CERTIFICATE entry = {};
    if (table.size <= header || table.size > kLargestTable ||
        !ReadFileAt(file, table.offset, &entry, header) || entry.dwLength <= header ||
        entry.dwLength > table.size || entry.wCertificateType != WIN_CERT_TYPE_PKCS_SIGNED_DATA)
        return std::string();
    std::string bytes(entry.dwLength - header, '\0');
    if (!ReadFileAt(file, table.offset + header, &bytes[0], static_cast<DWORD>(bytes.size())))
        return std::string();
    return bytes;
}

// The length of the DER-encoded SEQUENCE the bytes start with, with its
// header: the entry is padded with zeros to a multiple of 8 bytes. 0 when
// they start with none that fits.
std::size_t SequenceLength(const std::string& bytes)
{
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0x30)
        return 0;
    const unsigned char first = static_cast<unsigned char>(bytes[1]);
    std::size_t header = 2;
    std::size_t length = first;
    if (first & 0x80) {
        const std::size_t digits = first & 0x7F;
        if (digits == 0 || digits > 4 || bytes.size() < 2 + digits)
            return 0;
        length = 0;
        for (std::size_t i = 0; i < digits; ++i)
            length = (length << 8) | static_cast<unsigned char>(bytes[2 + i]);
        header += digits;
    }
    return header + length <= bytes.size() ? header + length : 0;
}

// What Windows' answer says of the signature.
FileSignature::State StateOf(LONG result)
{
    using State = FileSignature::State;
    switch (result) {
    case ERROR_SUCCESS:
        return State::Valid;
    case TRUST_E_BAD_DIGEST:      // the file was changed after it was signed
    case TRUST_E_CERT_SIGNATURE:  // the signature over the signed data does not hold
    case TRUST_E_NOSIGNATURE:     // the file has a table, but no signature Windows can read
        return State::Damaged;
    case TRUST_E_PROVIDER_UNKNOWN:
    case TRUST_E_ACTION_UNKNOWN:
    case TRUST_E_SUBJECT_FORM_UNKNOWN:
        return State::Unchecked;
    }
    // The verdicts on the signer's certificates: a root Windows does not
    // trust, an expired or revoked certificate, one distrusted explicitly.
    return HRESULT_FACILITY(result) == FACILITY_CERT ? State::Untrusted : State::Unchecked;
}

}  // namespace

SignatureChecker::SignatureChecker()
    : crypt32_(LoadSystemLibrary("crypt32.dll")), wintrust_(LoadSystemLibrary("wintrust.dll"))
{
    const HMODULE crypt32 = crypt32_.Get();
    crypt_.queryObject = LibraryFunction<decltype(crypt_.queryObject)>(crypt32, "CryptQueryObject");
    crypt_.messageParameter =
        LibraryFunction<decltype(crypt_.messageParameter)>(crypt32, "CryptMsgGetParam");
    crypt_.closeMessage = LibraryFunction<decltype(crypt_.closeMessage)>(crypt32, "CryptMsgClose");
    crypt_.closeStore = LibraryFunction<decltype(crypt_.closeStore)>(crypt32, "CertCloseStore");
    crypt_.findCertificate =
        LibraryFunction<decltype(crypt_.findCertificate)>(crypt32, "CertFindCertificateInStore");
    crypt_.freeCertificate =
        LibraryFunction<decltype(crypt_.freeCertificate)>(crypt32, "CertFreeCertificateContext");
    crypt_.nameOf = LibraryFunction<decltype(crypt_.nameOf)>(crypt32, "CertGetNameStringW");
    verifyTrust_ = LibraryFunction<decltype(verifyTrust_)>(wintrust_.Get(), "WinVerifyTrust");
}

FileSignature SignatureChecker::Check(HANDLE file, const std::string& path,
                                      const CertificateTable& table) const
{
    FileSignature signature;
    if (table.size == 0)
        return signature;  // unsigned
    if (!crypt_.queryObject || !crypt_.messageParameter || !crypt_.closeMessage ||
        !crypt_.closeStore || !crypt_.findCertificate || !crypt_.freeCertificate ||
        !crypt_.nameOf || !verifyTrust_) {
        signature.state = FileSignature::State::Unchecked;
        signature.result = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        return signature;
    }
    if (!ReadSigner(ReadSignatureBytes(file, table), signature.signer)) {
        signature.state = FileSignature::State::Damaged;
        signature.result = TRUST_E_NOSIGNATURE;
        return signature;
    }
    signature.result = Verify(file, path);
    signature.state = StateOf(signature.result);
    return signature;
}

bool SignatureChecker::ReadSigner(const std::string& signature, std::wstring& signer) const
{
    const std::size_t length = SequenceLength(signature);
    if (length == 0)
        return false;
    CRYPT_DATA_BLOB blob = {static_cast<DWORD>(length),
                            reinterpret_cast<BYTE*>(const_cast<char*>(signature.data()))};
    DWORD encoding = 0;
    CryptOwner<StoreTraits> store(crypt_);
    CryptOwner<MessageTraits> message(crypt_);
    if (!crypt_.queryObject(CERT_QUERY_OBJECT_BLOB, &blob, CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED,
                            CERT_QUERY_FORMAT_FLAG_BINARY, 0, &encoding, nullptr, nullptr,
                            store.Put(), message.Put(), nullptr))
        return false;

    // The first signer's issuer and serial number, which name its
    // certificate among those the message carries.
    DWORD size = 0;
    if (!crypt_.messageParameter(message.Get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size) ||
        size < sizeof(CERT_INFO))
        return true;  // a message, but its signer is not known
    std::vector<BYTE> info(size);
    if (!crypt_.messageParameter(message.Get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, info.data(),
                                 &size))
        return true;
    const CryptOwner<CertificateTraits> certificate(
        crypt_, crypt_.findCertificate(store.Get(), encoding, 0, CERT_FIND_SUBJECT_CERT,
                                       info.data(), nullptr));
    if (!certificate)
        return true;
    const DWORD characters =
        crypt_.nameOf(certificate.Get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
    if (characters <= 1)
        return true;
    std::wstring name(characters, L'\0');
    crypt_.nameOf(certificate.Get(), CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, &name[0],
                  characters);
    name.resize(characters - 1);
    signer = std::move(name);
    return true;
}

LONG SignatureChecker::Verify(HANDLE file, const std::string& path) const
{
    const std::wstring name = ToWide(path);
    WINTRUST_FILE_INFO fileInfo = {};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = name.c_str();
    fileInfo.hFile = file;
    WINTRUST_DATA trust = {};
    trust.cbStruct = sizeof trust;
    trust.dwUIChoice = WTD_UI_NONE;
    // Nothing is fetched from the network, and nothing is kept: no
    // revocation lists, no state for a later call.
    trust.fdwRevocationChecks = WTD_REVOKE_NONE;
    trust.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    trust.dwStateAction = WTD_STATEACTION_IGNORE;
    trust.dwUnionChoice = WTD_CHOICE_FILE;
    trust.pFile = &fileInfo;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    return verifyTrust_(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &trust);
}
