// The frames that instances of the program send each other over the instance
// channel: a one-byte type, the body length as four bytes little-endian, then the
// body. Commands carry no body; a paths frame carries absolute paths separated by
// NUL, so names with line breaks or bytes that are not UTF-8 pass unchanged.
// Plain functions and a value type: safe on any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varnel {

enum class FrameType : std::uint8_t {
    Probe = 1,    // is an instance running? (nothing to do)
    ToFront = 2,  // bring your main window to the front
    Quit = 3,     // end yourself without saving
    Paths = 4,    // load these paths into the list
};

struct InstanceFrame {
    FrameType type = FrameType::Probe;
    std::string body;
    bool operator==(const InstanceFrame&) const = default;
};

inline constexpr std::size_t kFrameHeaderSize = 5;
// A larger body is refused by both ends: no sender needs more, and a receiver
// never buffers an unbounded amount for a peer.
inline constexpr std::size_t kMaxFrameBody = 64u << 20;
// The byte the receiver answers a whole, valid frame with.
inline constexpr char kFrameAccepted = 0x06;

// The frame as sent; the body must not exceed kMaxFrameBody.
std::string EncodeFrame(FrameType type, std::string_view body);

// Collects the bytes of one frame as they arrive.
class FrameReader {
public:
    enum class Status { NeedMore, Complete, Invalid };

    // Takes the next bytes; bytes after a complete frame are ignored. A frame of
    // unknown type, a body over the cap or a command with a body is invalid.
    Status Feed(std::string_view bytes);
    Status CurrentStatus() const { return m_status; }
    // The frame, once complete.
    const InstanceFrame& Frame() const { return m_frame; }

private:
    Status m_status = Status::NeedMore;
    std::string m_header;
    std::size_t m_bodyLength = 0;
    InstanceFrame m_frame;
};

// The body of a paths frame; empty paths are left out.
std::string JoinPathList(const std::vector<std::string>& paths);
// The paths of a body; empty elements are dropped.
std::vector<std::string> SplitPathList(std::string_view body);

// Relative paths become paths under `currentFolder`; empty ones are dropped. With
// no current folder the relative paths stay as they are.
std::vector<std::string> MakePathsAbsolute(const std::vector<std::string>& paths,
                                           const std::string& currentFolder);

}  // namespace varnel
