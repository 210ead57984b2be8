#pragma once
// Who signed a file and whether its Authenticode signature holds, verified
// once per file identity (path, size, last-write time) and kept while the
// file stays the same.
#include "app/FileSignature.h"

#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// wintrust and crypt32, bound at run time when first verifying: the program
// starts and lists on where either library is missing or misbehaves.
struct SignatureFunctions {
    LONG(WINAPI* WinVerifyTrust)(HWND window, GUID* action, void* data) = nullptr;
    CRYPT_PROVIDER_DATA*(WINAPI* WTHelperProvDataFromStateData)(HANDLE state) = nullptr;
    CRYPT_PROVIDER_SGNR*(WINAPI* WTHelperGetProvSignerFromChain)(CRYPT_PROVIDER_DATA* data,
                                                                 DWORD signer, BOOL counterSigner,
                                                                 DWORD counterSigner2) = nullptr;
    BOOL(WINAPI* CryptCATAdminAcquireContext)
    (HANDLE* admin, const GUID* subsystem, DWORD flags) = nullptr;
    BOOL(WINAPI* CryptCATAdminReleaseContext)(HANDLE admin, DWORD flags) = nullptr;
    BOOL(WINAPI* CryptCATAdminCalcHashFromFileHandle)
    (HANDLE file, DWORD* hashBytes, BYTE* hash, DWORD flags) = nullptr;
    HANDLE(WINAPI* CryptCATAdminEnumCatalogFromHash)
    (HANDLE admin, BYTE* hash, DWORD hashBytes, DWORD flags, HANDLE* previous) = nullptr;
    BOOL(WINAPI* CryptCATCatalogInfoFromContext)(HANDLE catalog, void* info, DWORD flags) = nullptr;
    BOOL(WINAPI* CryptCATAdminReleaseCatalogContext)
    (HANDLE admin, HANDLE catalog, DWORD flags) = nullptr;
    DWORD(WINAPI* CertGetNameStringA)
    (PCCERT_CONTEXT certificate, DWORD type, DWORD flags, void* typeParameter, char* name,
     DWORD size) = nullptr;
};

// The system's own; the libraries stay loaded for the rest of the process.
const SignatureFunctions& GetSignatureFunctions();

// Verifies the file's own signature, then, where it has none, the catalog
// the system files it under. Revocation is not checked and nothing is shown.
FileSignature VerifyFileSignature(const std::string& path,
                                  const SignatureFunctions& functions = GetSignatureFunctions());

class CSignatureCache {
  public:
    explicit CSignatureCache(const SignatureFunctions& functions = GetSignatureFunctions())
        : m_functions(functions) {}

    // What is known of the file as it is now, without verifying: Unverified
    // when it has not been verified since it last changed.
    FileSignature Find(const std::string& path) const;
    // The same, verified first when it is not known yet.
    FileSignature Get(const std::string& path);
    // Verifies at once when unknown and the clock is before the deadline;
    // otherwise as Find.
    FileSignature GetBefore(const std::string& path,
                            std::chrono::steady_clock::time_point deadline);

  private:
    struct Known {
        uint64_t size = 0;
        uint64_t writeTime = 0;
        FileSignature signature;
    };
    const SignatureFunctions& m_functions;
    std::unordered_map<std::string, Known> m_known;
};

// What one turn of FillSignatures did.
struct SignatureTurn {
    bool filled = false; // some item's signature became known
    bool left = false;   // some are still unverified
};

// Gives each item whose signature is unverified what the cache knows of its
// file (fileOf(item)), verifying one file after another until the deadline.
template <typename Item, typename FileOf>
SignatureTurn FillSignatures(std::vector<Item>& items, FileOf fileOf, CSignatureCache& cache,
                             std::chrono::steady_clock::time_point deadline) {
    SignatureTurn turn;
    for (Item& item : items) {
        if (item.signature.state == SignatureState::Unverified) {
            item.signature = cache.GetBefore(fileOf(item), deadline);
            const bool known = item.signature.state != SignatureState::Unverified;
            turn.filled = turn.filled || known;
            turn.left = turn.left || !known;
        }
    }
    return turn;
}

// The program's one cache, shared by the lists, the information texts and the report.
CSignatureCache& GetSignatureCache();
