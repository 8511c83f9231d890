// Checksums and digests of byte sets as hexadecimal text: CRC-32 (zlib), MD5, MD4, MD2
// and SHA1 (Nettle). The whole-set calls keep no state; an instance also computes any
// of them at once over a stream of chunks, so one read of a file feeds every digest a
// template asks for. An instance belongs to one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nettle/md2.h>
#include <nettle/md4.h>
#include <nettle/md5.h>
#include <nettle/sha1.h>

#include "platform/posix_api.h"
#include "utilities/error.h"

namespace varnel {

enum class HashAlgorithm { Crc32, Md5, Md4, Md2, Sha1 };

class HashCalculator {
public:
    // Upper-case hex without leading zeros ("ABCD" for 0x0000ABCD); "" for no bytes.
    static std::string ComputeCrc32(std::string_view bytes, bool lowerCase = false);
    // 32 upper-case hex digits, or with sixteenChars the middle 16 (characters 9 to 24);
    // the cut comes before the change to lower case. No bytes hash the empty message.
    static std::string ComputeMd5(std::string_view bytes, bool sixteenChars = false,
                                  bool lowerCase = false);
    static std::string ComputeMd4(std::string_view bytes, bool sixteenChars = false,
                                  bool lowerCase = false);
    static std::string ComputeMd2(std::string_view bytes, bool sixteenChars = false,
                                  bool lowerCase = false);
    // 40 upper-case hex digits.
    static std::string ComputeSha1(std::string_view bytes, bool lowerCase = false);

    // Streaming: Begin with the algorithms wanted, Update with the chunks in order, then
    // Finish. Begin again to start over.
    void Begin(const std::vector<HashAlgorithm>& algorithms);
    void Update(std::string_view chunk);
    void Finish();
    // After Finish, the text of a begun algorithm exactly as its whole-set call gives it
    // for the same bytes (sixteenChars counts for MD5, MD4 and MD2 only); nothing for an
    // algorithm not begun or before Finish.
    std::optional<std::string> ResultText(HashAlgorithm algorithm, bool sixteenChars = false,
                                          bool lowerCase = false) const;

    // Begin, the whole content of the file in one pass, Finish. An error when the file
    // cannot be opened or read (a folder, say): then there are no results, never the
    // digests of the empty message.
    std::expected<void, Error> DigestFile(const std::string& path,
                                          const std::vector<HashAlgorithm>& algorithms,
                                          PosixApi& os = SystemPosix());

private:
    static constexpr std::size_t kAlgorithmCount = 5;
    static std::size_t Index(HashAlgorithm algorithm) { return static_cast<std::size_t>(algorithm); }

    std::array<bool, kAlgorithmCount> m_active{};
    bool m_finished = false;
    std::uint64_t m_length = 0;
    std::uint32_t m_crc = 0;
    md5_ctx m_md5{};
    md4_ctx m_md4{};
    md2_ctx m_md2{};
    sha1_ctx m_sha1{};
    // The finished digests, each in the first bytes of its slot.
    std::array<std::array<std::uint8_t, SHA1_DIGEST_SIZE>, kAlgorithmCount> m_digests{};
};

}  // namespace varnel
