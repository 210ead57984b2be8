#include "app/Signature.h"

#include "win/EntryPoint.h"
#include "win/Handle.h"

#include <mscat.h>
#include <softpub.h>

#include <vector>

namespace {

// What the system answers for a file that carries no signature of a kind it knows.
bool MeansNotSigned(LONG result) {
    return result == TRUST_E_NOSIGNATURE || result == TRUST_E_SUBJECT_FORM_UNKNOWN ||
           result == TRUST_E_PROVIDER_UNKNOWN;
}

SignatureFunctions Bind() {
    SignatureFunctions f;
    const HMODULE wintrust = ::LoadLibraryA("wintrust.dll");
    win::BindEntryPoint(wintrust, "WinVerifyTrust", f.WinVerifyTrust);
    win::BindEntryPoint(wintrust, "WTHelperProvDataFromStateData", f.WTHelperProvDataFromStateData);
    win::BindEntryPoint(wintrust, "WTHelperGetProvSignerFromChain",
                        f.WTHelperGetProvSignerFromChain);
    win::BindEntryPoint(wintrust, "CryptCATAdminAcquireContext", f.CryptCATAdminAcquireContext);
    win::BindEntryPoint(wintrust, "CryptCATAdminReleaseContext", f.CryptCATAdminReleaseContext);
    win::BindEntryPoint(wintrust, "CryptCATAdminCalcHashFromFileHandle",
                        f.CryptCATAdminCalcHashFromFileHandle);
    win::BindEntryPoint(wintrust, "CryptCATAdminEnumCatalogFromHash",
                        f.CryptCATAdminEnumCatalogFromHash);
    win::BindEntryPoint(wintrust, "CryptCATCatalogInfoFromContext",
                        f.CryptCATCatalogInfoFromContext);
    win::BindEntryPoint(wintrust, "CryptCATAdminReleaseCatalogContext",
                        f.CryptCATAdminReleaseCatalogContext);
    win::BindEntryPoint(::LoadLibraryA("crypt32.dll"), "CertGetNameStringA", f.CertGetNameStringA);
    return f;
}

std::wstring Widen(const std::string& text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.pop_back();
    return wide;
}

// One verification's state, closed with the trust provider when it goes.
class TrustCheck {
  public:
    TrustCheck(const SignatureFunctions& functions, WINTRUST_DATA& data)
        : m_functions(functions), m_data(data) {
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        m_data.dwStateAction = WTD_STATEACTION_VERIFY;
        m_result =
            m_functions.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &m_data);
    }
    ~TrustCheck() {
        GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
        m_data.dwStateAction = WTD_STATEACTION_CLOSE;
        m_functions.WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &m_data);
    }
    TrustCheck(const TrustCheck&) = delete;
    TrustCheck& operator=(const TrustCheck&) = delete;

    LONG Result() const { return m_result; }

    // The first signer, as the provider saw it; null when it kept none.
    const CRYPT_PROVIDER_SGNR* Signer() const {
        const SignatureFunctions& f = m_functions;
        if (!f.WTHelperProvDataFromStateData || !f.WTHelperGetProvSignerFromChain ||
            !m_data.hWVTStateData) {
            return nullptr;
        }
        CRYPT_PROVIDER_DATA* provider = f.WTHelperProvDataFromStateData(m_data.hWVTStateData);
        return provider ? f.WTHelperGetProvSignerFromChain(provider, 0, FALSE, 0) : nullptr;
    }

    // Wine 8 answers success for a chain that ends in a root the system does
    // not trust; Windows fails it. Read from the signer's chain, both agree.
    bool ChainFails() const {
        const CRYPT_PROVIDER_SGNR* signer = Signer();
        constexpr DWORD kFailures = CERT_TRUST_IS_UNTRUSTED_ROOT | CERT_TRUST_IS_PARTIAL_CHAIN |
                                    CERT_TRUST_IS_NOT_SIGNATURE_VALID | CERT_TRUST_IS_CYCLIC;
        return signer && signer->pChainContext &&
               (signer->pChainContext->TrustStatus.dwErrorStatus & kFailures) != 0;
    }

    // The signer's certificate's simple display name.
    std::string Publisher() const {
        const CRYPT_PROVIDER_SGNR* signer = Signer();
        if (!m_functions.CertGetNameStringA || !signer || signer->csCertChain == 0 ||
            !signer->pasCertChain[0].pCert) {
            return {};
        }
        char name[256] = {};
        m_functions.CertGetNameStringA(signer->pasCertChain[0].pCert, CERT_NAME_SIMPLE_DISPLAY_TYPE,
                                       0, nullptr, name, sizeof name);
        return name;
    }

  private:
    const SignatureFunctions& m_functions;
    WINTRUST_DATA& m_data;
    LONG m_result = 0;
};

WINTRUST_DATA TrustDataQuietly() {
    WINTRUST_DATA data{};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    // No fetching of certificates or lists from the network either.
    data.dwProvFlags = WTD_REVOCATION_CHECK_NONE | WTD_CACHE_ONLY_URL_RETRIEVAL;
    return data;
}

FileSignature Outcome(const TrustCheck& check) {
    if (check.Result() == ERROR_SUCCESS && check.ChainFails()) {
        return {SignatureState::DoesNotVerify, {}};
    }
    if (check.Result() != ERROR_SUCCESS) {
        return {MeansNotSigned(check.Result()) ? SignatureState::NotSigned
                                               : SignatureState::DoesNotVerify,
                {}};
    }
    return {SignatureState::Signed, check.Publisher()};
}

// The system's catalog database, released with the functions that opened it.
class CatalogAdmin {
  public:
    explicit CatalogAdmin(const SignatureFunctions& functions) : m_functions(functions) {
        if (!m_functions.CryptCATAdminAcquireContext ||
            !m_functions.CryptCATAdminAcquireContext(&m_admin, nullptr, 0)) {
            m_admin = nullptr;
        }
    }
    ~CatalogAdmin() {
        if (m_catalog) {
            m_functions.CryptCATAdminReleaseCatalogContext(m_admin, m_catalog, 0);
        }
        if (m_admin) {
            m_functions.CryptCATAdminReleaseContext(m_admin, 0);
        }
    }
    CatalogAdmin(const CatalogAdmin&) = delete;
    CatalogAdmin& operator=(const CatalogAdmin&) = delete;

    // The path of the first catalog that lists the hash; empty when none does.
    std::wstring FindCatalog(std::vector<BYTE>& hash) {
        const SignatureFunctions& f = m_functions;
        if (!m_admin || !f.CryptCATAdminEnumCatalogFromHash || !f.CryptCATCatalogInfoFromContext ||
            !f.CryptCATAdminReleaseCatalogContext) {
            return {};
        }
        m_catalog = f.CryptCATAdminEnumCatalogFromHash(m_admin, hash.data(),
                                                       static_cast<DWORD>(hash.size()), 0, nullptr);
        CATALOG_INFO info{};
        info.cbStruct = sizeof info;
        if (!m_catalog || !f.CryptCATCatalogInfoFromContext(m_catalog, &info, 0)) {
            return {};
        }
        return info.wszCatalogFile;
    }

  private:
    const SignatureFunctions& m_functions;
    HANDLE m_admin = nullptr;
    HANDLE m_catalog = nullptr;
};

// The signature of the catalog that lists the file, for system files that
// carry none of their own.
FileSignature VerifyByCatalog(HANDLE file, const std::wstring& path, const SignatureFunctions& f) {
    const FileSignature notSigned{SignatureState::NotSigned, {}};
    if (!f.CryptCATAdminCalcHashFromFileHandle) {
        return notSigned;
    }
    DWORD hashBytes = 0;
    f.CryptCATAdminCalcHashFromFileHandle(file, &hashBytes, nullptr, 0);
    std::vector<BYTE> hash(hashBytes);
    if (hashBytes == 0 ||
        !f.CryptCATAdminCalcHashFromFileHandle(file, &hashBytes, hash.data(), 0)) {
        return notSigned;
    }
    CatalogAdmin admin(f);
    const std::wstring catalog = admin.FindCatalog(hash);
    if (catalog.empty()) {
        return notSigned;
    }
    // The member is named by its hash in capital hexadecimal.
    std::wstring tag;
    for (BYTE byte : hash) {
        const wchar_t* digits = L"0123456789ABCDEF";
        tag += digits[byte >> 4];
        tag += digits[byte & 15];
    }
    WINTRUST_CATALOG_INFO member{};
    member.cbStruct = sizeof member;
    member.pcwszCatalogFilePath = catalog.c_str();
    member.pcwszMemberTag = tag.c_str();
    member.pcwszMemberFilePath = path.c_str();
    member.hMemberFile = file;
    member.pbCalculatedFileHash = hash.data();
    member.cbCalculatedFileHash = hashBytes;
    WINTRUST_DATA data = TrustDataQuietly();
    data.dwUnionChoice = WTD_CHOICE_CATALOG;
    data.pCatalog = &member;
    ::SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    const TrustCheck check(f, data);
    return Outcome(check);
}

// The identity a verification holds for; false when there is no such file.
bool ReadIdentity(const std::string& path, uint64_t& size, uint64_t& writeTime) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime;
    return true;
}

std::string CacheKey(std::string path) {
    if (!path.empty()) {
        ::CharLowerBuffA(path.data(), static_cast<DWORD>(path.size()));
    }
    return path;
}

} // namespace

const SignatureFunctions& GetSignatureFunctions() {
    static const SignatureFunctions functions = Bind();
    return functions;
}

FileSignature VerifyFileSignature(const std::string& path, const SignatureFunctions& functions) {
    win::UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                    ? SignatureState::NoFile
                    : SignatureState::Unreadable,
                {}};
    }
    if (!functions.WinVerifyTrust) {
        return {SignatureState::Unreadable, {}};
    }
    const std::wstring widePath = Widen(path);
    WINTRUST_FILE_INFO fileInfo{};
    fileInfo.cbStruct = sizeof fileInfo;
    fileInfo.pcwszFilePath = widePath.c_str();
    fileInfo.hFile = file.Get();
    WINTRUST_DATA data = TrustDataQuietly();
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &fileInfo;
    FileSignature own;
    {
        const TrustCheck check(functions, data);
        own = Outcome(check);
    }
    if (own.state != SignatureState::NotSigned) {
        return own;
    }
    ::SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    return VerifyByCatalog(file.Get(), widePath, functions);
}

FileSignature CSignatureCache::Find(const std::string& path) const {
    uint64_t size = 0;
    uint64_t writeTime = 0;
    if (!ReadIdentity(path, size, writeTime)) {
        return {SignatureState::NoFile, {}};
    }
    const auto found = m_known.find(CacheKey(path));
    if (found == m_known.end() || found->second.size != size ||
        found->second.writeTime != writeTime) {
        return {};
    }
    return found->second.signature;
}

FileSignature CSignatureCache::Get(const std::string& path) {
    return GetBefore(path, std::chrono::steady_clock::time_point::max());
}

FileSignature CSignatureCache::GetBefore(const std::string& path,
                                         std::chrono::steady_clock::time_point deadline) {
    FileSignature known = Find(path);
    if (known.state != SignatureState::Unverified || std::chrono::steady_clock::now() >= deadline) {
        return known;
    }
    Known entry;
    if (!ReadIdentity(path, entry.size, entry.writeTime)) {
        return {SignatureState::NoFile, {}};
    }
    entry.signature = VerifyFileSignature(path, m_functions);
    // A file that changed while it was read is verified again next time.
    Known after;
    if (ReadIdentity(path, after.size, after.writeTime) && after.size == entry.size &&
        after.writeTime == entry.writeTime) {
        m_known[CacheKey(path)] = entry;
    }
    return entry.signature;
}

CSignatureCache& GetSignatureCache() {
    static CSignatureCache cache;
    return cache;
}
