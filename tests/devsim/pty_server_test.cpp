// The pty adapter seen from the slave side, as a character-device backend sees it.
#include "devsim/pty_server.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "base/clock.h"
#include "devsim/device.h"
#include "protocol/transact.h"

namespace {

using namespace devsim;

// Once in one piece, once split, each request after line noise and in two writes.
TEST(PtyServerTest, FramesRequestsOutOfTheStreamAndSendsSplitRepliesInPieces) {
    base::ScopedVirtualClock clock;
    Device device;
    device.State().info = std::string(PKT_STATUS_MAX - 1, 'x');  // the longest reply
    PtyServer server(device);
    CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
    ASSERT_TRUE(server.Open());
    const int fd = ::open(server.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_TRUE(server.Start());
    for (uint32_t piece : {0u, 100u}) {
        device.Inject(Split(piece));
        std::vector<uint8_t> request(64), reply;
        request.resize(PacketBuild(request.data(), kCmdQueryInfo, 0, nullptr));
        request.insert(request.begin(), {0x00, 0x1A, 0x1A, '$', 'x', 0x1A});  // line noise
        ASSERT_EQ(::write(fd, request.data(), 15), 15);
        ASSERT_EQ(::write(fd, &request[15], request.size() - 15), ssize_t(request.size() - 15));
        // Until the whole reply came, or nothing more came for two seconds.
        size_t reads = 0;
        pollfd p = {fd, POLLIN, 0};
        for (uint8_t chunk[PKT_REPLY_MAX];
             reply.size() < PKT_REPLY_MAX && ::poll(&p, 1, 2000) == 1;) {
            ssize_t n = ::read(fd, chunk, PKT_REPLY_MAX - reply.size());
            if (n > 0) reply.insert(reply.end(), chunk, chunk + n), ++reads;
        }
        ASSERT_EQ(reply.size(), PKT_REPLY_MAX);
        EXPECT_EQ(PacketCheck(reply.data()), 1);
        EXPECT_GE(reads, piece ? 2u : 1u);
    }
    ::close(fd);
}

}  // namespace
