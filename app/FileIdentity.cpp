#include "app/FileIdentity.h"

#include "app/SystemFunctions.h"
#include "win/Handle.h"

#include <windows.h>

#include <vector>

namespace {

constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr ULONG kSha256Bytes = 32;

void CloseAlgorithm(void* algorithm) {
    GetSystemFunctions().BCryptCloseAlgorithmProvider(algorithm, 0);
}
void DestroyHash(void* hash) {
    GetSystemFunctions().BCryptDestroyHash(hash);
}
using UniqueAlgorithm = win::Unique<win::NullInvalidTraits<void*, CloseAlgorithm>>;
using UniqueHash = win::Unique<win::NullInvalidTraits<void*, DestroyHash>>;

bool HaveCng(const SystemFunctions& f) {
    return f.BCryptOpenAlgorithmProvider && f.BCryptCloseAlgorithmProvider && f.BCryptGetProperty &&
           f.BCryptCreateHash && f.BCryptHashData && f.BCryptFinishHash && f.BCryptDestroyHash;
}

// Opened once: opening a provider costs far more than a hash.
void* Sha256Provider() {
    static const UniqueAlgorithm provider = [] {
        UniqueAlgorithm opened;
        const SystemFunctions& f = GetSystemFunctions();
        if (HaveCng(f) && f.BCryptOpenAlgorithmProvider(opened.Put(), L"SHA256", nullptr, 0) != 0) {
            opened.Release();
        }
        return opened;
    }();
    return provider.Get();
}

std::string ToHex(const unsigned char* bytes, size_t count) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 15];
    }
    return hex;
}

// One hash under way, with the object memory Vista wants the caller to give.
class Sha256 {
  public:
    Sha256() {
        const SystemFunctions& f = GetSystemFunctions();
        void* provider = Sha256Provider();
        ULONG objectBytes = 0;
        ULONG written = 0;
        if (provider == nullptr ||
            f.BCryptGetProperty(provider, L"ObjectLength", reinterpret_cast<UCHAR*>(&objectBytes),
                                sizeof objectBytes, &written, 0) != 0) {
            return;
        }
        m_object.resize(objectBytes);
        if (f.BCryptCreateHash(provider, m_hash.Put(), m_object.data(), objectBytes, nullptr, 0,
                               0) != 0) {
            m_hash.Release();
        }
    }
    bool Add(const void* bytes, size_t count) {
        return m_hash && GetSystemFunctions().BCryptHashData(
                             m_hash.Get(), static_cast<UCHAR*>(const_cast<void*>(bytes)),
                             static_cast<ULONG>(count), 0) == 0;
    }
    std::string Finish() {
        unsigned char digest[kSha256Bytes] = {};
        if (!m_hash ||
            GetSystemFunctions().BCryptFinishHash(m_hash.Get(), digest, kSha256Bytes, 0) != 0) {
            return {};
        }
        return ToHex(digest, kSha256Bytes);
    }

  private:
    // Declared first: the hash goes before the memory it lives in.
    std::vector<UCHAR> m_object;
    UniqueHash m_hash;
};

} // namespace

bool ReadFileStamp(const std::string& file, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    stamp.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    stamp.writeTime = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    return true;
}

std::string HashFileSha256(const std::string& file) {
    // Shared every way: a running program's file stays readable, and nothing
    // its owner does is blocked by the read.
    win::UniqueFile opened(::CreateFileA(
        file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!opened) {
        return {};
    }
    Sha256 hash;
    std::vector<char> chunk(kReadChunkBytes);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(opened.Get(), chunk.data(), kReadChunkBytes, &read, nullptr)) {
            return {};
        }
        if (read == 0) {
            return hash.Finish();
        }
        if (!hash.Add(chunk.data(), read)) {
            return {};
        }
    }
}

std::string HashBytesSha256(const std::string& bytes) {
    Sha256 hash;
    return hash.Add(bytes.data(), bytes.size()) ? hash.Finish() : std::string();
}
