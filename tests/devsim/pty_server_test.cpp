// The pty adapter seen from the slave side, as a character-device backend sees it.
#include "devsim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "sim_fixture.h"

namespace {

using namespace devsim;

class PtyServerTest : public testing::Test {
protected:
    void SetUp() override {
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 0);
        ASSERT_TRUE(server.Open());
        fd = ::open(server.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(server.Start());
    }
    void TearDown() override {
        server.Stop();
        if (fd >= 0) ::close(fd);
    }
    Bytes Request(int32_t id) {
        Bytes out(64);
        out.resize(PacketBuild(out.data(), id, 0, nullptr));
        return out;
    }
    void Write(const Bytes& b) { ASSERT_EQ(::write(fd, b.data(), b.size()), ssize_t(b.size())); }
    // Reads until `want` bytes came, or nothing more came for two seconds.
    Bytes Read(size_t want, std::vector<size_t>* reads = nullptr) {
        Bytes got;
        pollfd p = {fd, POLLIN, 0};
        while (got.size() < want && ::poll(&p, 1, 2000) == 1) {
            uint8_t chunk[PKT_REPLY_MAX];
            ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, want - got.size()));
            if (n <= 0) continue;
            got.insert(got.end(), chunk, chunk + n);
            if (reads) reads->push_back(size_t(n));
        }
        return got;
    }
    // The exchange layer's own verdict on a reply.
    int Check(Bytes reply) {
        reply.resize(PKT_REPLY_MAX);
        return PacketCheck(reply.data());
    }

    base::ScopedVirtualClock clock;
    Device device;
    PtyServer server{device};
    int fd = -1;
};

TEST_F(PtyServerTest, ARequestFramedOutOfTheStreamGetsItsReply) {
    Bytes request = Request(kCmdQueryInfo);
    Write({0x00, 0x1A, 0x1A, '$', 'x'});  // line noise first
    Write(Bytes(request.begin(), request.begin() + 9));
    Write(Bytes(request.begin() + 9, request.end()));
    Bytes reply = Read(18 + 25);
    ASSERT_EQ(reply.size(), 43u);
    EXPECT_EQ(Check(reply), 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(&reply[14]), "Quillo R7 Network Module");
    EXPECT_EQ(device.CommandIds(), std::vector<int32_t>{kCmdQueryInfo});
}

TEST_F(PtyServerTest, AFullSizeReplyArrivesInPieces) {
    device.State().info = std::string(PKT_STATUS_MAX - 1, 'x');
    device.Inject(Split(100));
    Write(Request(kCmdQueryInfo));
    std::vector<size_t> reads;
    Bytes reply = Read(PKT_REPLY_MAX, &reads);
    ASSERT_EQ(reply.size(), PKT_REPLY_MAX);
    EXPECT_EQ(Check(reply), 1);
    EXPECT_GE(reads.size(), 2u);
}

}  // namespace
