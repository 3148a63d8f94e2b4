#include "protocol/transact.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>

#include "scripted_pipe.h"

// Counts every heap allocation of the process, so a test can show an exchange makes none.
static std::atomic<long> g_allocations{0};
void* operator new(std::size_t n) {
    ++g_allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class TransactTest : public testing::Test {
protected:
    void SetUp() override {
        g_pipe.Reset();
        CmdChannelInit(CMD_APP_HEADER, CMD_LETTER, 3);
        // Answer each request as the device would, unless a test scripts otherwise.
        g_pipe.onWrite = [this] { g_pipe.replies.push_back(MakeReply(status)); };
    }
    Bytes status{'o', 'k', 0};
    uint8_t dst[PKT_STATUS_MAX] = {};
};

TEST_F(TransactTest, StatusOfEachSizeComesFromTheAddressedDevice) {
    status = {};
    bool sent = false;
    EXPECT_EQ(CmdTransact(21, dst, 0, nullptr, 5000, &sent), 0u);  // empty looks like failure
    EXPECT_TRUE(sent);  // but the device may have the request

    status = Bytes(PKT_STATUS_MAX, 0xA5);  // a full 1298-byte reply
    EXPECT_EQ(CmdTransact(21, dst, 0, nullptr, 500), PKT_STATUS_MAX);
    EXPECT_EQ(Bytes(dst, dst + PKT_STATUS_MAX), status);
    EXPECT_EQ(g_pipe.readTimeoutMs, 500u);
    EXPECT_EQ(g_pipe.writeDevices, (std::vector<int32_t>{3, 3}));

    EXPECT_EQ(CmdTransact(23, nullptr, 2, "x", 5000), PKT_STATUS_MAX);  // no destination
}

// An oversized payload is refused before anything is built or written; a write that fails
// uses its sequence number, and nothing is read after it.
TEST_F(TransactTest, ARequestNotWrittenReadsNothing) {
    static const uint8_t big[CMD_PAYLOAD_MAX + 1] = {};
    const uint32_t before = g_cmdSeq;
    EXPECT_EQ(CmdTransact(28, nullptr, sizeof big, big, 5000), 0u);
    EXPECT_EQ(g_cmdSeq, before);
    EXPECT_TRUE(g_pipe.writeDevices.empty());
    g_pipe.writeOk = false;
    bool sent = true;
    EXPECT_EQ(CmdTransact(21, dst, 0, nullptr, 5000, &sent), 0u);
    EXPECT_FALSE(sent);
    EXPECT_EQ(g_pipe.reads, 0);
    g_pipe.writeOk = true;
    EXPECT_EQ(CmdTransact(28, nullptr, CMD_PAYLOAD_MAX, big, 5000), 3u);  // the largest fits
    EXPECT_EQ(GetBE(&g_pipe.writes.back()[8], 4), before + 2);
}

TEST_F(TransactTest, ReentryOnTheSameThreadIsRefusedAtOnce) {
    uint32_t inner = 99;
    g_pipe.onWrite = [&] {
        EXPECT_TRUE(CmdInExchange());
        inner = CmdTransact(32, dst, 0, nullptr, 5000);
        g_pipe.replies.push_back(MakeReply(status));
    };
    EXPECT_EQ(CmdTransact(21, dst, 0, nullptr, 5000), 3u);
    EXPECT_EQ(inner, 0u);
    EXPECT_EQ(g_pipe.writes.size(), 1u);
    EXPECT_FALSE(CmdInExchange());
}

TEST_F(TransactTest, ExchangesFromTwoThreadsNeverInterleave) {
    // Each write records who wrote; the read that follows must come from the same thread
    // before any other write starts.
    std::atomic<int> inside{0};
    std::atomic<bool> overlapped{false};
    g_pipe.onWrite = [&] {
        if (inside.fetch_add(1) != 0) overlapped = true;
        for (int i = 0; i < 50; ++i) std::this_thread::yield();
        g_pipe.replies.push_back(MakeReply(status));
    };
    g_pipe.onRead = [&] { inside.fetch_sub(1); };
    auto worker = [&](int32_t id) {
        uint8_t mine[PKT_STATUS_MAX];
        for (int i = 0; i < 200; ++i) EXPECT_EQ(CmdTransact(id, mine, 0, nullptr, 5000), 3u);
    };
    std::thread a(worker, 21), b(worker, 22);
    a.join();
    b.join();
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(g_pipe.writes.size(), 400u);
}

TEST_F(TransactTest, AnExchangeAllocatesNothing) {
    g_pipe.onWrite = nullptr;
    g_pipe.recordWrites = false;
    g_cmdSeq += 1;  // preload the reply that the next request will be answered with
    g_cmdLastId = 11;
    g_pipe.replies.push_back(MakeReply(status));
    g_cmdSeq -= 1;
    long before = g_allocations;
    EXPECT_EQ(CmdTransact(11, dst, 0, nullptr, 500), 3u);
    EXPECT_EQ(g_allocations - before, 0);
}

}  // namespace

// Exchanges before any CmdChannelInit go ahead unlocked and address device 0. The first
// CmdChannelInit creates the lock for good, so this runs in a fresh process.
TEST(TransactNoChannel, GoesToDeviceZeroWithoutALock) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            g_pipe.Reset();
            bool ok = !g_cmdLock.created && CmdTransact(42, nullptr, 0, nullptr, 5000) == 0;
            std::exit(ok && g_pipe.writeDevices == std::vector<int32_t>{0} ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}
