#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frame/instance_check.h"
#include "frame/instance_frames.h"
#include "frame/message_channel.h"
#include "support/raw_socket.h"
#include "support/recording_notifier.h"
#include "support/temp_dir.h"
#include "utilities/user_notifier.h"

namespace varnel {
namespace {

using testing::RecordingNotifier;
using testing::SendRaw;
using testing::TempDir;
using namespace std::chrono_literals;

const std::string kOddName = std::string("/tmp/第一行\n第二行 \xff\xfe.txt");

// ---- frames ----------------------------------------------------------------

FrameReader::Status FeedAll(FrameReader& reader, const std::string& bytes, std::size_t step) {
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        reader.Feed(std::string_view(bytes).substr(at, step));
    }
    return reader.CurrentStatus();
}

std::string Header(std::uint8_t type, std::uint32_t length) {
    std::string header(1, static_cast<char>(type));
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>((length >> (8 * i)) & 0xFF));
    return header;
}

TEST(InstanceFrames, DecodeWhatWasEncodedInAnyChunking) {
    const std::vector<InstanceFrame> frames = {
        {FrameType::Probe, ""},
        {FrameType::ToFront, ""},
        {FrameType::Quit, ""},
        {FrameType::Paths, ""},
        {FrameType::Paths, JoinPathList({"/a/请自行结束", kOddName})},
        {FrameType::Paths, std::string(200000, 'x')},
    };
    for (const InstanceFrame& frame : frames) {
        for (std::size_t step : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 20}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(frame.type)) + "/" + std::to_string(step));
            FrameReader reader;
            // Bytes after the frame are not part of it.
            ASSERT_EQ(FeedAll(reader, EncodeFrame(frame.type, frame.body) + "trailing", step),
                      FrameReader::Status::Complete);
            EXPECT_EQ(reader.Frame(), frame);
        }
    }
}

TEST(InstanceFrames, BadHeadersAreInvalidAndShortFramesIncomplete) {
    struct Case {
        const char* what;
        std::string bytes;
        FrameReader::Status status;
    };
    const std::vector<Case> cases = {
        {"unknown type", Header(9, 0), FrameReader::Status::Invalid},
        {"type zero", Header(0, 0), FrameReader::Status::Invalid},
        {"oversized length", Header(4, kMaxFrameBody + 1), FrameReader::Status::Invalid},
        {"largest length", Header(4, 0xFFFFFFFF), FrameReader::Status::Invalid},
        {"command with a body", Header(3, 1) + "x", FrameReader::Status::Invalid},
        {"half a header", Header(4, 10).substr(0, 3), FrameReader::Status::NeedMore},
        {"truncated body", Header(4, 10) + "abc", FrameReader::Status::NeedMore},
        {"nothing", "", FrameReader::Status::NeedMore},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FrameReader reader;
        EXPECT_EQ(FeedAll(reader, c.bytes, 1), c.status);
        // An invalid frame stays invalid whatever follows.
        if (c.status == FrameReader::Status::Invalid) {
            EXPECT_EQ(reader.Feed(EncodeFrame(FrameType::Probe, {})), FrameReader::Status::Invalid);
        }
    }
}

TEST(InstanceFrames, BufferGrowsWithTheBytesNotTheDeclaredLength) {
    // A peer that declares the largest body and then sends five bytes must not make
    // the receiver hold 64 MiB.
    FrameReader reader;
    EXPECT_EQ(reader.Feed(Header(4, kMaxFrameBody) + "abcde"), FrameReader::Status::NeedMore);
    EXPECT_LT(reader.Frame().body.capacity(), std::size_t{1} << 20);
    EXPECT_EQ(reader.Frame().body, "abcde");
}

TEST(InstanceFrames, PathListsKeepEveryByteAndDropEmptyPaths) {
    const std::vector<std::string> paths = {"/a b/c", kOddName, "/x\r\ny"};
    EXPECT_EQ(SplitPathList(JoinPathList(paths)), paths);
    EXPECT_EQ(JoinPathList({"", "/a", "", "/b"}), std::string("/a\0/b", 5));
    EXPECT_EQ(SplitPathList(std::string("\0/a\0\0/b\0", 8)), (std::vector<std::string>{"/a", "/b"}));
    EXPECT_TRUE(SplitPathList("").empty());

    EXPECT_EQ(MakePathsAbsolute({"a.txt", "/abs", "", "sub/b", "请自行结束"}, "/home/u/"),
              (std::vector<std::string>{"/home/u/a.txt", "/abs", "/home/u/sub/b", "/home/u/请自行结束"}));
    EXPECT_EQ(MakePathsAbsolute({"a"}, "/"), std::vector<std::string>{"/a"});
    EXPECT_EQ(MakePathsAbsolute({"a", "/b"}, ""), (std::vector<std::string>{"a", "/b"}));
}

// ---- the start-up decision -------------------------------------------------

struct FakeEndpoint : InstanceEndpoint {
    bool SendFrame(FrameType type, std::string_view body) override {
        sent.push_back({type, std::string(body)});
        return present && !(goneBeforeToFront && type == FrameType::ToFront);
    }
    bool WaitForOwnerToEnd() override {
        waited = true;
        present = false;
        return true;
    }
    std::expected<void, Error> OpenChannel() override {
        opened = true;
        if (present) return std::unexpected(Error{EWOULDBLOCK, "held", {}});
        return {};
    }
    bool present = false;
    bool goneBeforeToFront = false;
    std::vector<InstanceFrame> sent;
    bool waited = false;
    bool opened = false;
};

TEST(CheckSingleInstance, DecidesByArgumentsRunningInstanceAndAnswer) {
    using F = FrameType;
    struct Case {
        const char* what;
        std::vector<std::string> arguments;
        bool present;
        int answer;
        StartUpDecision decision;
        std::vector<F> sent;
        bool asked;
        bool waited;
    };
    const std::vector<Case> cases = {
        {"paths handed over", {"a.txt", "/b"}, true, kAnswerYes, StartUpDecision::Exit, {F::Paths}, false, false},
        {"paths, nobody runs", {"a.txt"}, false, kAnswerYes, StartUpDecision::Continue, {F::Paths}, false, false},
        {"nobody runs", {}, false, kAnswerYes, StartUpDecision::Continue, {F::Probe}, false, false},
        {"only empty arguments", {"", ""}, false, kAnswerYes, StartUpDecision::Continue, {F::Probe}, false, false},
        {"yes: switch", {}, true, kAnswerYes, StartUpDecision::Exit, {F::Probe, F::ToFront}, true, false},
        {"no: end the other", {}, true, kAnswerNo, StartUpDecision::Continue, {F::Probe, F::Quit}, true, true},
        {"cancel: both run", {}, true, kAnswerCancel, StartUpDecision::Continue, {F::Probe}, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingNotifier questioner;
        questioner.answer = c.answer;
        FakeEndpoint endpoint;
        endpoint.present = c.present;
        EXPECT_EQ(CheckSingleInstance(c.arguments, "/home/u", endpoint), c.decision);
        std::vector<F> sentTypes;
        for (const auto& frame : endpoint.sent) sentTypes.push_back(frame.type);
        EXPECT_EQ(sentTypes, c.sent);
        EXPECT_EQ(questioner.messages.size(), c.asked ? 1u : 0u);
        if (c.asked) {
            EXPECT_EQ(questioner.messages[0], kSwitchInstanceQuestion);
            EXPECT_EQ(questioner.styles[0], kBoxYesNoCancel);
        }
        EXPECT_EQ(endpoint.waited, c.waited);
        // Whoever goes on has tried to take the channel.
        EXPECT_EQ(endpoint.opened, c.decision == StartUpDecision::Continue);
    }
}

TEST(CheckSingleInstance, HandsOverAbsolutePathsAndKeepsCommandNamesAsPaths) {
    FakeEndpoint endpoint;
    endpoint.present = true;
    ASSERT_EQ(CheckSingleInstance({"请自行结束", "/x/是否已运行"}, "/home/u", endpoint), StartUpDecision::Exit);
    ASSERT_EQ(endpoint.sent.size(), 1u);
    EXPECT_EQ(endpoint.sent[0].type, FrameType::Paths);
    EXPECT_EQ(SplitPathList(endpoint.sent[0].body),
              (std::vector<std::string>{"/home/u/请自行结束", "/x/是否已运行"}));
}

TEST(CheckSingleInstance, StartsHereWhenTheOtherEndsBeforeSwitchingOrPathsCannotBeMadeAbsolute) {
    RecordingNotifier questioner;
    questioner.answer = kAnswerYes;
    FakeEndpoint gone;
    gone.present = true;
    gone.goneBeforeToFront = true;
    EXPECT_EQ(CheckSingleInstance({}, "/home/u", gone), StartUpDecision::Continue);
    EXPECT_TRUE(gone.opened);

    FakeEndpoint running;
    running.present = true;
    EXPECT_EQ(CheckSingleInstance({"relative.txt"}, "", running), StartUpDecision::Continue);
    EXPECT_TRUE(running.sent.empty());
}

// ---- the channel over real sockets ---------------------------------------------

// Plays the owner's part on another thread: takes one connection and its frame.
struct OwnerThread {
    OwnerThread(MessageChannel& channel, bool answer) {
        thread = std::thread([&channel, answer, this] {
            pollfd entry{channel.ListeningFd(), POLLIN, 0};
            if (::poll(&entry, 1, 10000) != 1) return;
            const int fd = channel.AcceptConnection();
            if (fd < 0) return;
            ChannelConnection connection(fd);
            for (;;) {
                status = connection.ReadAvailable();
                if (status != FrameReader::Status::NeedMore) break;
                pollfd readable{fd, POLLIN, 0};
                if (::poll(&readable, 1, 10000) != 1) return;
            }
            if (status != FrameReader::Status::Complete) return;
            frame = connection.Frame();
            if (answer) connection.Acknowledge();
            if (frame.type == FrameType::Quit) channel.KeepUntilClosed(connection.Release());
        });
    }
    ~OwnerThread() {
        if (thread.joinable()) thread.join();
    }
    std::thread thread;
    FrameReader::Status status = FrameReader::Status::NeedMore;
    InstanceFrame frame;
};

TEST(MessageChannel, PathsReachTheOwnerByteForByte) {
    TempDir dir;
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.OpenChannel());
    struct stat info {};
    ASSERT_EQ(::stat((dir / "Varnel").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    MessageChannel sender(dir / "Varnel");
    const std::string body = JoinPathList({"/a/请自行结束", kOddName});
    OwnerThread thread(owner, true);
    EXPECT_TRUE(sender.SendFrame(FrameType::Paths, body));
    thread.thread.join();
    EXPECT_EQ(thread.frame, (InstanceFrame{FrameType::Paths, body}));
    // Nobody can take over while the owner lives.
    EXPECT_EQ(sender.OpenChannel().error().code, EWOULDBLOCK);
}

TEST(MessageChannel, NoOwnerNoDelivery) {
    TempDir dir;
    MessageChannel sender(dir / "Varnel");
    EXPECT_FALSE(sender.SendFrame(FrameType::Probe, {}));  // no folder, no socket
    {
        MessageChannel owner(dir / "Varnel");
        ASSERT_TRUE(owner.OpenChannel());
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "Varnel/instance.sock"));  // removed on close
    EXPECT_FALSE(sender.SendFrame(FrameType::Probe, {}));
    EXPECT_FALSE(sender.SendFrame(FrameType::Paths, std::string(kMaxFrameBody + 1, 'x')));
}

TEST(MessageChannel, AStaleSocketIsTakenOver) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Varnel");
    std::filesystem::permissions(dir / "Varnel", std::filesystem::perms::owner_all);
    // What a killed owner leaves: a bound socket that nobody listens on, no lock.
    const int stale = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    (dir / "Varnel/instance.sock").copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(stale, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(stale);

    MessageChannel sender(dir / "Varnel");
    EXPECT_FALSE(sender.SendFrame(FrameType::Probe, {}));
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.OpenChannel());
    OwnerThread thread(owner, true);
    EXPECT_TRUE(sender.SendFrame(FrameType::Probe, {}));
}

TEST(MessageChannel, AFrameNotAnsweredIsNotDelivered) {
    TempDir dir;
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.OpenChannel());
    MessageChannel sender(dir / "Varnel");
    sender.sendTimeout = 100ms;
    OwnerThread thread(owner, false);
    EXPECT_FALSE(sender.SendFrame(FrameType::ToFront, {}));
}

TEST(MessageChannel, AfterQuitTheSenderLearnsWhenTheOwnerHasEnded) {
    TempDir dir;
    auto owner = std::make_unique<MessageChannel>(dir / "Varnel");
    ASSERT_TRUE(owner->OpenChannel());
    MessageChannel sender(dir / "Varnel");
    {
        OwnerThread thread(*owner, true);
        ASSERT_TRUE(sender.SendFrame(FrameType::Quit, {}));
    }
    std::thread ending([&owner] {
        std::this_thread::sleep_for(50ms);
        owner.reset();  // the process ends
    });
    EXPECT_TRUE(sender.WaitForOwnerToEnd());
    ending.join();
    EXPECT_TRUE(sender.OpenChannel());
}

TEST(MessageChannel, BrokenFramesAreDroppedUnanswered) {
    TempDir dir;
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.OpenChannel());
    struct Case {
        const char* what;
        std::string bytes;
        FrameReader::Status status;
    };
    const std::vector<Case> cases = {
        {"truncated", EncodeFrame(FrameType::Paths, "/a/b").substr(0, 7), FrameReader::Status::Invalid},
        {"oversized length", Header(4, kMaxFrameBody + 1) + "/a", FrameReader::Status::Invalid},
        {"empty paths", EncodeFrame(FrameType::Paths, ""), FrameReader::Status::Complete},
        {"nothing at all", "", FrameReader::Status::Invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        OwnerThread thread(owner, true);
        SendRaw(owner.SocketPath(), c.bytes);
        thread.thread.join();
        EXPECT_EQ(thread.status, c.status);
    }
}

// Every peer looks like a process of another user.
struct ForeignPeers : PosixApi {
    int Getsockopt(int fd, int level, int name, void* value, socklen_t* length) override {
        const int result = PosixApi::Getsockopt(fd, level, name, value, length);
        if (result == 0 && level == SOL_SOCKET && name == SO_PEERCRED) static_cast<ucred*>(value)->uid += 4242;
        return result;
    }
};

// This process looks like one of another user.
struct OtherUser : PosixApi {
    uid_t Getuid() override { return ::getuid() + 4242; }
};

TEST(MessageChannel, OnlyTheSameUserIsHeardOrSpokenTo) {
    TempDir dir;
    ForeignPeers foreign;
    MessageChannel owner(dir / "Varnel", foreign);
    ASSERT_TRUE(owner.OpenChannel());
    SendRaw(owner.SocketPath(), EncodeFrame(FrameType::Probe, {}));
    pollfd entry{owner.ListeningFd(), POLLIN, 0};
    ASSERT_EQ(::poll(&entry, 1, 10000), 1);
    EXPECT_EQ(owner.AcceptConnection(), -1);  // closed unheard

    MessageChannel sender(dir / "Varnel", foreign);
    EXPECT_FALSE(sender.SendFrame(FrameType::Probe, {}));  // never writes to a stranger

    // A folder of someone else is not used at all.
    OtherUser other;
    MessageChannel intruder(dir / "Varnel", other);
    EXPECT_FALSE(intruder.LockStarts());
    EXPECT_FALSE(intruder.OpenChannel());
}

TEST(MessageChannel, TheFolderIsMadePrivate) {
    TempDir dir;
    std::filesystem::create_directory(dir / "Varnel");
    std::filesystem::permissions(dir / "Varnel", std::filesystem::perms::all);
    MessageChannel owner(dir / "Varnel");
    ASSERT_TRUE(owner.LockStarts());
    struct stat info {};
    ASSERT_EQ(::stat((dir / "Varnel").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    MessageChannel disabled("");
    EXPECT_FALSE(disabled.LockStarts());
    EXPECT_FALSE(disabled.OpenChannel());
    EXPECT_FALSE(disabled.SendFrame(FrameType::Probe, {}));
}

}  // namespace
}  // namespace varnel
