#include "app/FileSignature.h"

std::string FormatSignature(const FileSignature& signature) {
    switch (signature.state) {
    case SignatureState::Unreadable:
        return "Signature cannot be checked";
    case SignatureState::NotSigned:
        return "Not signed";
    case SignatureState::DoesNotVerify:
        return "Signature does not verify";
    case SignatureState::Signed:
        return "Signed by " + (signature.publisher.empty() ? std::string("an unnamed publisher")
                                                           : signature.publisher);
    default:
        return {};
    }
}

bool IsSystemPublisher(const FileSignature& signature) {
    if (signature.state != SignatureState::Signed) {
        return false;
    }
    for (const char* name :
         {"Microsoft Windows", "Microsoft Windows Publisher", "Microsoft Corporation"}) {
        if (signature.publisher == name) {
            return true;
        }
    }
    return false;
}
