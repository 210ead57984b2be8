#include "app/FileInfo.h"
#include "app/Signature.h"
#include "app/SystemHelpers.h"
#include "autostart/CurrentEntries.h"
#include "tests/unit/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

namespace {

// The build's test certificate among the prefix's trusted roots for the scope.
class TrustedRoot {
  public:
    explicit TrustedRoot(const std::string& der) {
        m_store = ::CertOpenSystemStoreA(0, "ROOT");
        if (m_store) {
            ::CertAddEncodedCertificateToStore(
                m_store, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
                static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, &m_added);
            // Into the registry now, where the chain engine reads the roots.
            ::CertControlStore(m_store, 0, CERT_STORE_CTRL_COMMIT, nullptr);
        }
    }
    ~TrustedRoot() {
        if (m_added) {
            ::CertDeleteCertificateFromStore(m_added);
        }
        if (m_store) {
            ::CertCloseStore(m_store, 0);
        }
    }
    TrustedRoot(const TrustedRoot&) = delete;
    TrustedRoot& operator=(const TrustedRoot&) = delete;
    bool Added() const { return m_added != nullptr; }

  private:
    HCERTSTORE m_store = nullptr;
    PCCERT_CONTEXT m_added = nullptr;
};

std::string SignatureOf(CSignatureCache& cache, const std::string& path) {
    const auto start = std::chrono::steady_clock::now();
    const std::string text = FormatSignature(cache.Get(path));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("verified %s in %lld ms: %s\n", path.c_str(), static_cast<long long>(ms.count()),
                text.c_str());
    return text;
}

} // namespace

// The user's road: a file signed by a publisher the system trusts names it;
// a signer nothing trusts, or the file changed by one byte, does not verify;
// an unsigned program says so.
TEST(Signature, PublisherOnlyWhereTheSignatureHolds) {
    // Before anything verifies: Wine's chain engine reads the roots once.
    const TrustedRoot root(ReadFileText(GetExeDir() + "\\SignTest.cer"));
    ASSERT_TRUE(root.Added());
    TempDir dir;
    const std::string signedFile = dir.File("Signed.exe");
    const std::string unsignedFile = dir.File("Unsigned.exe");
    ASSERT_TRUE(
        ::CopyFileA((GetExeDir() + "\\SignedHelper.exe").c_str(), signedFile.c_str(), FALSE));
    ASSERT_TRUE(
        ::CopyFileA((GetExeDir() + "\\ProcessHelper.exe").c_str(), unsignedFile.c_str(), FALSE));

    CSignatureCache cache;
    EXPECT_EQ(SignatureOf(cache, GetExeDir() + "\\UntrustedHelper.exe"),
              "Signature does not verify");
    EXPECT_EQ(FormatSignature(cache.Find(signedFile)), "") << "not verified yet";
    EXPECT_EQ(SignatureOf(cache, signedFile), "Signed by Orvane Test Publisher");
    EXPECT_EQ(FormatSignature(cache.Find(signedFile)), "Signed by Orvane Test Publisher");
    EXPECT_EQ(cache.Find(dir.File("gone.exe")).state, SignatureState::NoFile);

    // The Autostart page's entries, in signature order, and the information text.
    ASSERT_TRUE(testsupport::SetUserRunString("orv-test-signed", "\"" + signedFile + "\" /tray"));
    ASSERT_TRUE(testsupport::SetUserRunString("orv-test-unsigned", unsignedFile));
    CCurrentEntries current;
    current.SetSortColumn(kEntryColumnSignature);
    current.Refresh(false);
    EXPECT_FALSE(current.FillSignatures(std::chrono::steady_clock::time_point::max()));
    const auto textOf = [&current](const std::string& name) {
        for (const AutostartEntry& entry : current.GetEntries()) {
            if (entry.name == name) {
                return FormatSignature(entry.signature);
            }
        }
        return std::string("no entry");
    };
    EXPECT_EQ(textOf("orv-test-signed"), "Signed by Orvane Test Publisher");
    EXPECT_EQ(textOf("orv-test-unsigned"), "Not signed");
    for (size_t i = 1; i < current.GetEntries().size(); ++i) {
        EXPECT_LE(FormatSignature(current.GetEntries()[i - 1].signature),
                  FormatSignature(current.GetEntries()[i].signature));
    }
    EXPECT_TRUE(testsupport::Contains(GetFileInfoText(signedFile),
                                      "\r\nSignature: Signed by Orvane Test Publisher"));

    // One byte of code changed: the same size, a new write time. The rescan
    // sees the change and the entry is verified again.
    std::string bytes = ReadFileText(signedFile);
    ASSERT_GT(bytes.size(), 0x500u);
    bytes[0x480] = static_cast<char>(bytes[0x480] ^ 0x5A);
    ASSERT_TRUE(WriteFileText(signedFile, bytes));
    EXPECT_EQ(cache.Find(signedFile).state, SignatureState::Unverified);
    EXPECT_EQ(SignatureOf(cache, signedFile), "Signature does not verify");
    EXPECT_TRUE(current.Refresh(true));
    EXPECT_EQ(textOf("orv-test-signed"), "");
    current.FillSignatures(std::chrono::steady_clock::time_point::max());
    EXPECT_EQ(textOf("orv-test-signed"), "Signature does not verify");
    testsupport::DeleteUserRunValue("orv-test-signed");
    testsupport::DeleteUserRunValue("orv-test-unsigned");
}
