#include "platform/hash_calculator.h"

#include <algorithm>

#include <zlib.h>

#include "platform/file_io.h"

namespace varnel {

namespace {

std::string HexText(const std::uint8_t* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(size * 2);
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

std::string ToLowerHex(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

std::string OneShot(HashAlgorithm algorithm, std::string_view bytes, bool sixteenChars,
                    bool lowerCase) {
    HashCalculator calculator;
    calculator.Begin({algorithm});
    calculator.Update(bytes);
    calculator.Finish();
    return *calculator.ResultText(algorithm, sixteenChars, lowerCase);
}

}  // namespace

std::string HashCalculator::ComputeCrc32(std::string_view bytes, bool lowerCase) {
    return OneShot(HashAlgorithm::Crc32, bytes, false, lowerCase);
}
std::string HashCalculator::ComputeMd5(std::string_view bytes, bool sixteenChars, bool lowerCase) {
    return OneShot(HashAlgorithm::Md5, bytes, sixteenChars, lowerCase);
}
std::string HashCalculator::ComputeMd4(std::string_view bytes, bool sixteenChars, bool lowerCase) {
    return OneShot(HashAlgorithm::Md4, bytes, sixteenChars, lowerCase);
}
std::string HashCalculator::ComputeMd2(std::string_view bytes, bool sixteenChars, bool lowerCase) {
    return OneShot(HashAlgorithm::Md2, bytes, sixteenChars, lowerCase);
}
std::string HashCalculator::ComputeSha1(std::string_view bytes, bool lowerCase) {
    return OneShot(HashAlgorithm::Sha1, bytes, false, lowerCase);
}

void HashCalculator::Begin(const std::vector<HashAlgorithm>& algorithms) {
    m_active.fill(false);
    for (const HashAlgorithm algorithm : algorithms) m_active[Index(algorithm)] = true;
    m_finished = false;
    m_length = 0;
    m_crc = static_cast<std::uint32_t>(::crc32_z(0, nullptr, 0));
    md5_init(&m_md5);
    md4_init(&m_md4);
    md2_init(&m_md2);
    sha1_init(&m_sha1);
}

void HashCalculator::Update(std::string_view chunk) {
    if (m_finished || chunk.empty()) return;
    const auto* data = reinterpret_cast<const std::uint8_t*>(chunk.data());
    const std::size_t size = chunk.size();
    m_length += size;
    if (m_active[Index(HashAlgorithm::Crc32)]) {
        m_crc = static_cast<std::uint32_t>(::crc32_z(m_crc, data, size));
    }
    if (m_active[Index(HashAlgorithm::Md5)]) md5_update(&m_md5, size, data);
    if (m_active[Index(HashAlgorithm::Md4)]) md4_update(&m_md4, size, data);
    if (m_active[Index(HashAlgorithm::Md2)]) md2_update(&m_md2, size, data);
    if (m_active[Index(HashAlgorithm::Sha1)]) sha1_update(&m_sha1, size, data);
}

void HashCalculator::Finish() {
    if (m_finished) return;
    m_finished = true;
    if (m_active[Index(HashAlgorithm::Md5)]) {
        md5_digest(&m_md5, MD5_DIGEST_SIZE, m_digests[Index(HashAlgorithm::Md5)].data());
    }
    if (m_active[Index(HashAlgorithm::Md4)]) {
        md4_digest(&m_md4, MD4_DIGEST_SIZE, m_digests[Index(HashAlgorithm::Md4)].data());
    }
    if (m_active[Index(HashAlgorithm::Md2)]) {
        md2_digest(&m_md2, MD2_DIGEST_SIZE, m_digests[Index(HashAlgorithm::Md2)].data());
    }
    if (m_active[Index(HashAlgorithm::Sha1)]) {
        sha1_digest(&m_sha1, SHA1_DIGEST_SIZE, m_digests[Index(HashAlgorithm::Sha1)].data());
    }
}

std::optional<std::string> HashCalculator::ResultText(HashAlgorithm algorithm, bool sixteenChars,
                                                      bool lowerCase) const {
    if (!m_finished || !m_active[Index(algorithm)]) return std::nullopt;
    std::string text;
    switch (algorithm) {
        case HashAlgorithm::Crc32: {
            if (m_length == 0) return std::string();
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(m_crc >> 24), static_cast<std::uint8_t>(m_crc >> 16),
                static_cast<std::uint8_t>(m_crc >> 8), static_cast<std::uint8_t>(m_crc)};
            text = HexText(bytes, sizeof bytes);
            text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
            break;
        }
        case HashAlgorithm::Sha1:
            text = HexText(m_digests[Index(algorithm)].data(), SHA1_DIGEST_SIZE);
            break;
        case HashAlgorithm::Md5:
        case HashAlgorithm::Md4:
        case HashAlgorithm::Md2:
            text = HexText(m_digests[Index(algorithm)].data(), MD5_DIGEST_SIZE);
            if (sixteenChars) text = text.substr(8, 16);
            break;
    }
    return lowerCase ? ToLowerHex(std::move(text)) : text;
}

std::expected<void, Error> HashCalculator::DigestFile(const std::string& path,
                                                      const std::vector<HashAlgorithm>& algorithms,
                                                      PosixApi& os) {
    Begin(algorithms);
    auto read = ReadFileInChunks(path, [this](std::string_view chunk) { Update(chunk); }, os);
    if (!read) {
        m_active.fill(false);
        return read;
    }
    Finish();
    return {};
}

}  // namespace varnel
