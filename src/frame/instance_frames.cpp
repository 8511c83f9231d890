#include "frame/instance_frames.h"

#include <algorithm>

#include "utilities/path_routines.h"

namespace varnel {

namespace {

bool IsKnownType(std::uint8_t type) {
    return type >= static_cast<std::uint8_t>(FrameType::Probe) &&
           type <= static_cast<std::uint8_t>(FrameType::Paths);
}

}  // namespace

std::string EncodeFrame(FrameType type, std::string_view body) {
    std::string frame;
    frame.reserve(kFrameHeaderSize + body.size());
    frame.push_back(static_cast<char>(type));
    const auto length = static_cast<std::uint32_t>(body.size());
    for (int shift = 0; shift < 32; shift += 8) frame.push_back(static_cast<char>((length >> shift) & 0xFF));
    frame.append(body);
    return frame;
}

FrameReader::Status FrameReader::Feed(std::string_view bytes) {
    if (m_status != Status::NeedMore) return m_status;
    if (m_header.size() < kFrameHeaderSize) {
        const std::size_t take = std::min(kFrameHeaderSize - m_header.size(), bytes.size());
        m_header.append(bytes.substr(0, take));
        bytes.remove_prefix(take);
        if (m_header.size() < kFrameHeaderSize) return m_status;
        const auto type = static_cast<std::uint8_t>(m_header[0]);
        std::uint32_t length = 0;
        for (int i = 0; i < 4; ++i) length |= std::uint32_t(static_cast<unsigned char>(m_header[1 + i])) << (8 * i);
        if (!IsKnownType(type) || length > kMaxFrameBody) return m_status = Status::Invalid;
        m_frame.type = static_cast<FrameType>(type);
        if (m_frame.type != FrameType::Paths && length != 0) return m_status = Status::Invalid;
        // The body grows as its bytes arrive: a peer that declares a large body
        // and sends little costs little.
        m_bodyLength = length;
    }
    const std::size_t take = std::min(m_bodyLength - m_frame.body.size(), bytes.size());
    m_frame.body.append(bytes.substr(0, take));
    if (m_frame.body.size() == m_bodyLength) m_status = Status::Complete;
    return m_status;
}

std::string JoinPathList(const std::vector<std::string>& paths) {
    std::string body;
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        if (!body.empty()) body.push_back('\0');
        body.append(path);
    }
    return body;
}

std::vector<std::string> SplitPathList(std::string_view body) {
    std::vector<std::string> paths;
    while (!body.empty()) {
        const std::size_t end = body.find('\0');
        const std::string_view path = body.substr(0, end);
        if (!path.empty()) paths.emplace_back(path);
        if (end == std::string_view::npos) break;
        body.remove_prefix(end + 1);
    }
    return paths;
}

std::vector<std::string> MakePathsAbsolute(const std::vector<std::string>& paths,
                                           const std::string& currentFolder) {
    std::vector<std::string> absolute;
    absolute.reserve(paths.size());
    for (const std::string& path : paths) {
        if (path.empty()) continue;
        if (path.front() == '/' || currentFolder.empty()) {
            absolute.push_back(path);
        } else {
            absolute.push_back(WithTrailingSlash(currentFolder) + path);
        }
    }
    return absolute;
}

}  // namespace varnel
