#pragma once
// What the verification of a file's Authenticode signature found, and how
// the lists and texts say it.
#include <cstdint>
#include <string>

enum class SignatureState : uint8_t {
    // Not verified yet: the cell stays empty until it is.
    Unverified,
    // No such file (or a folder): nothing to say, as for any missing file.
    NoFile,
    // The file is there but cannot be read, or the system cannot verify.
    Unreadable,
    NotSigned,
    // Signed, but the signature or its chain fails: a changed file, an
    // untrusted, expired, revoked or distrusted certificate.
    DoesNotVerify,
    Signed,
};

struct FileSignature {
    SignatureState state = SignatureState::Unverified;
    // The signer's simple display name; for a catalog-signed file, the
    // catalog's signer.
    std::string publisher;
};

// "Not signed", "Signature does not verify", "Signed by <publisher>",
// "Signature cannot be checked"; empty while unverified or without a file.
std::string FormatSignature(const FileSignature& signature);

// True for a file whose signature verifies and names one of the system's own
// publishers exactly: "Microsoft Windows", "Microsoft Windows Publisher" or
// "Microsoft Corporation". A name that only starts so ("Microsoft Windows
// Hardware Compatibility Publisher" signs other vendors' drivers) and a
// signature that does not verify are not the system's.
bool IsSystemPublisher(const FileSignature& signature);
