#pragma once

// A program file's Authenticode signature: whether the file carries one (in
// the certificate table its header names), whose it is (the signer
// certificate's subject, read from the signature itself), and whether it
// holds (Windows' own check: the file's digest against the signed one, the
// signer's certificate chain). The functions of crypt32.dll and
// wintrust.dll are looked up at run time, as version.dll's are.

#include "FileImage.h"
#include "UniqueHandle.h"

#include <windows.h>

#include <wincrypt.h>
#include <wintrust.h>

#include <string>

struct FileSignature {
    enum class State {
        Unsigned,   // no certificate table
        Valid,      // Windows accepts it: the file is as signed, and the chain is trusted
        Untrusted,  // the file is as signed, but Windows does not trust the signer's chain
        Damaged,    // the file was changed after it was signed, or the signature is unreadable
        Unchecked,  // Windows could not tell
    };
    State state = State::Unsigned;
    std::wstring signer;     // the signer certificate's subject; empty when unknown
    LONG result = S_OK;      // Windows' answer (WinVerifyTrust)
};

// The functions of crypt32.dll that reading a signature needs.
struct CryptFunctions {
    decltype(&CryptQueryObject) queryObject = nullptr;
    decltype(&CryptMsgGetParam) messageParameter = nullptr;
    decltype(&CryptMsgClose) closeMessage = nullptr;
    decltype(&CertCloseStore) closeStore = nullptr;
    decltype(&CertFindCertificateInStore) findCertificate = nullptr;
    decltype(&CertFreeCertificateContext) freeCertificate = nullptr;
    decltype(&CertGetNameStringW) nameOf = nullptr;
};

class SignatureChecker {
public:
    // Loads crypt32.dll and wintrust.dll from the system folder: construct it
    // where file names are this program's own, not inside
    // SixtyFourBitFileNames.
    SignatureChecker();

    // `file` is the program opened for reading (OpenToRead), `path` its
    // name, `table` where its header puts its certificates. Windows' check
    // reads the file through the handle.
    FileSignature Check(HANDLE file, const std::string& path, const CertificateTable& table) const;

private:
    // The signer's name from the signature's bytes (a PKCS #7 SignedData);
    // false when they are no such message.
    bool ReadSigner(const std::string& signature, std::wstring& signer) const;
    LONG Verify(HANDLE file, const std::string& path) const;

    LibraryHandle crypt32_;
    LibraryHandle wintrust_;
    CryptFunctions crypt_;
    decltype(&WinVerifyTrust) verifyTrust_ = nullptr;
};
