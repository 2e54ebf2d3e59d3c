// The per-user updater chosen on Windows only when it carries the launcher's
// own intact signature.
#include "updater_choice.h"

#include "jvm_host.h"
#include "os_handles.h"
#include "wide_text_win32.h"

#include <boost/filesystem.hpp>

#include <windows.h>
#include <softpub.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <iostream>
#include <memory>
#include <optional>
#include <vector>

namespace {

// The signature functions, loaded from the system folder only when a
// per-user updater is there to check: every start of the launcher would
// otherwise load the two libraries (and what they import) before the splash.
struct SignatureApi {
    decltype(&CryptQueryObject) queryObject = nullptr;
    decltype(&CryptMsgGetParam) messageParameter = nullptr;
    decltype(&CryptMsgClose) closeMessage = nullptr;
    decltype(&CertFindCertificateInStore) findCertificate = nullptr;
    decltype(&CertFreeCertificateContext) freeCertificate = nullptr;
    decltype(&CertCloseStore) closeStore = nullptr;
    decltype(&WinVerifyTrust) verifyTrust = nullptr;
    bool complete() const
    {
        return queryObject && messageParameter && closeMessage && findCertificate && freeCertificate && closeStore &&
               verifyTrust;
    }
};

template <typename F> void take(HMODULE library, const char* name, F& function)
{
    function = library ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name))) : nullptr;
}

// Loaded once, kept for the process's life like every system library.
const SignatureApi& signatureApi()
{
    static const SignatureApi api = [] {
        SignatureApi loaded;
        const HMODULE crypt = LoadLibraryExW(L"crypt32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        const HMODULE trust = LoadLibraryExW(L"wintrust.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        take(crypt, "CryptQueryObject", loaded.queryObject);
        take(crypt, "CryptMsgGetParam", loaded.messageParameter);
        take(crypt, "CryptMsgClose", loaded.closeMessage);
        take(crypt, "CertFindCertificateInStore", loaded.findCertificate);
        take(crypt, "CertFreeCertificateContext", loaded.freeCertificate);
        take(crypt, "CertCloseStore", loaded.closeStore);
        take(trust, "WinVerifyTrust", loaded.verifyTrust);
        return loaded;
    }();
    return api;
}

// Given back through the loaded functions: nothing here links crypt32.
struct store_traits {
    using handle_type = HCERTSTORE;
    static HCERTSTORE invalid() noexcept { return nullptr; }
    static void close(HCERTSTORE store) noexcept { signatureApi().closeStore(store, 0); }
};
struct message_traits {
    using handle_type = HCRYPTMSG;
    static HCRYPTMSG invalid() noexcept { return nullptr; }
    static void close(HCRYPTMSG message) noexcept { signatureApi().closeMessage(message); }
};
struct certificate_traits {
    using handle_type = PCCERT_CONTEXT;
    static PCCERT_CONTEXT invalid() noexcept { return nullptr; }
    static void close(PCCERT_CONTEXT certificate) noexcept { signatureApi().freeCertificate(certificate); }
};

using Certificate = std::vector<BYTE>;

// The certificate of the file's first Authenticode signer, as encoded; none
// when the file carries no signature.
std::optional<Certificate> signerCertificate(const std::wstring& file)
{
    HCERTSTORE rawStore = nullptr;
    HCRYPTMSG rawMessage = nullptr;
    const SignatureApi& api = signatureApi();
    if (!api.queryObject(CERT_QUERY_OBJECT_FILE, file.c_str(), CERT_QUERY_CONTENT_FLAG_PKCS7_SIGNED_EMBED,
                          CERT_QUERY_FORMAT_FLAG_BINARY, 0, nullptr, nullptr, nullptr, &rawStore, &rawMessage,
                          nullptr))
        return std::nullopt;
    const unique_handle<store_traits> store(rawStore);
    const unique_handle<message_traits> message(rawMessage);
    DWORD size = 0;
    if (!api.messageParameter(message.get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, nullptr, &size) || size == 0)
        return std::nullopt;
    std::vector<BYTE> info(size);
    if (!api.messageParameter(message.get(), CMSG_SIGNER_CERT_INFO_PARAM, 0, info.data(), &size))
        return std::nullopt;
    const unique_handle<certificate_traits> certificate(api.findCertificate(
        store.get(), X509_ASN_ENCODING | PKCS_7_ASN_ENCODING, 0, CERT_FIND_SUBJECT_CERT, info.data(), nullptr));
    if (!certificate)
        return std::nullopt;
    const CERT_CONTEXT& context = *certificate.get();
    return Certificate(context.pbCertEncoded, context.pbCertEncoded + context.cbCertEncoded);
}

// The system's verdict on the open file's signature: 0 when it is intact and
// its chain trusted. Offline: no revocation check, nothing fetched.
LONG verifySignature(const std::wstring& path, HANDLE file)
{
    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof(fileInfo);
    fileInfo.pcwszFilePath = path.c_str();
    fileInfo.hFile = file;
    WINTRUST_DATA data{};
    data.cbStruct = sizeof(data);
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    data.dwProvFlags = WTD_CACHE_ONLY_URL_RETRIEVAL;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG verdict = signatureApi().verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    signatureApi().verifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    return verdict;
}

// As the system's headers write the code: 0x80096010.
std::string hex(LONG code)
{
    const unsigned long value = static_cast<unsigned long>(code);
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4)
        text += "0123456789ABCDEF"[(value >> shift) & 0xF];
    return text;
}

UpdaterChoice besideOne(const std::string& besideUpdater, const std::string& userUpdater, const std::string& reason)
{
    if (verboseMode)
        std::cout << "Per-user updater not used, because " << reason << ": " << userUpdater << std::endl;
    return {besideUpdater, nullptr};
}

} // namespace

UpdaterChoice chooseUpdater(const std::string& launcherPath, const std::string& userUpdater,
                            const std::string& besideUpdater)
{
    if (!boost::filesystem::exists(userUpdater))
        return {besideUpdater, nullptr};
    if (!signatureApi().complete())
        return besideOne(besideUpdater, userUpdater, "the system cannot check signatures");
    const std::optional<Certificate> publisher = signerCertificate(wideFromNarrow(launcherPath));
    // An unsigned launcher cannot tell its publisher's updater from another.
    if (!publisher)
        return {userUpdater, nullptr};

    const std::wstring path = wideFromNarrow(userUpdater);
    // Others may read and run it, but nobody may change, rename or delete
    // it until it has been started.
    auto hold = std::make_shared<FileHandle>(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!*hold)
        return besideOne(besideUpdater, userUpdater, "it cannot be opened to check its signature");

    const LONG verdict = verifySignature(path, hold->get());
    if (verdict == TRUST_E_NOSIGNATURE || verdict == TRUST_E_SUBJECT_FORM_UNKNOWN)
        return besideOne(besideUpdater, userUpdater, "it is not signed, and the launcher is");
    if (verdict != ERROR_SUCCESS)
        return besideOne(besideUpdater, userUpdater, "its signature does not verify (" + hex(verdict) + ")");
    if (signerCertificate(path) != publisher)
        return besideOne(besideUpdater, userUpdater, "it is signed by another certificate than the launcher");
    return {userUpdater, hold};
}
