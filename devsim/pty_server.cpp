#include "devsim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "base/clock.h"
#include "devsim/wire.h"

namespace devsim {
namespace {

constexpr uint8_t kRequestLead = 0x1A;
constexpr size_t kReadChunk = 4096;
// The kernel hands bytes written to the master on to the slave asynchronously, so a slave
// queue that looks empty right after a write may only not have been filled yet. Waiting
// this long before trusting it keeps two pieces apart unless the machine is very busy.
constexpr auto kPieceSpacing = std::chrono::milliseconds(2);

bool Due(uint32_t at) { return static_cast<int32_t>(base::GetTickCount() - at) >= 0; }

}  // namespace

PtyServer::PtyServer(Device& device) : m_device(device) {}

PtyServer::~PtyServer() { Close(); }

bool PtyServer::Open() {
    Close();
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (master < 0) return false;
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name)) {
        ::close(master);
        return false;
    }
    int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio;
    if (slave < 0 || tcgetattr(slave, &tio) != 0) {
        if (slave >= 0) ::close(slave);
        ::close(master);
        return false;
    }
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
    m_slavePath = name;
    return true;
}

void PtyServer::Close() {
    Stop();
    if (m_slave >= 0) ::close(m_slave);
    if (m_master >= 0) ::close(m_master);
    m_slave = m_master = -1;
    m_slavePath.clear();
    m_input.clear();
    m_sending.reset();
}

bool PtyServer::Start() {
    if (m_master < 0 || m_running) return false;
    m_running = true;
    m_thread = std::thread([this] {
        while (m_running) Pump(5);
    });
    return true;
}

void PtyServer::Stop() {
    m_running = false;
    if (m_thread.joinable()) m_thread.join();
}

void PtyServer::Pump(int waitMs) {
    if (m_master < 0) return;
    // While a reply is on its way, look at the clock often.
    bool replying = m_sending || m_device.PeekReply();
    pollfd p = {m_master, POLLIN, 0};
    if (::poll(&p, 1, replying ? std::min(waitMs, 1) : waitMs) > 0 && (p.revents & POLLIN))
        ReadRequests();
    SendReplies();
}

void PtyServer::ReadRequests() {
    uint8_t chunk[kReadChunk];
    ssize_t got = ::read(m_master, chunk, sizeof chunk);
    if (got <= 0) return;
    m_input.insert(m_input.end(), chunk, chunk + got);

    // m_input stays bounded: only a valid header whose length fits the device's buffer
    // makes it wait for more, and then it holds less than one request and one chunk.
    size_t start = 0;
    while (start < m_input.size()) {
        const uint8_t* p = m_input.data() + start;
        size_t n = m_input.size() - start;
        size_t length = 0;
        Frame frame = FrameRequest(p, n, &length);
        if (frame == Frame::Incomplete) break;
        if (frame == Frame::Complete && m_device.Receive(p, length) != Receipt::Refused) {
            start += length;
            continue;
        }
        // No request starts here; the next one can only start at a lead byte.
        const void* next = std::memchr(p + 1, kRequestLead, n - 1);
        start = next ? static_cast<size_t>(static_cast<const uint8_t*>(next) - m_input.data())
                     : m_input.size();
    }
    m_input.erase(m_input.begin(), m_input.begin() + static_cast<std::ptrdiff_t>(start));
}

bool PtyServer::PreviousPieceUnread() const {
    if (std::chrono::steady_clock::now() - m_pieceWritten < kPieceSpacing) return true;
    int unread = 0;
    return ::ioctl(m_slave, FIONREAD, &unread) != 0 || unread > 0;
}

void PtyServer::SendReplies() {
    if (!m_sending) {
        std::optional<Outgoing> next = m_device.PeekReply();
        if (!next || !Due(next->readyAt)) return;
        m_sending = m_device.TakeReply();
        if (!m_sending) return;
        m_sent = m_pieceEnd = 0;
        m_nextPieceAt = m_sending->readyAt;
    }
    const std::vector<uint8_t>& b = m_sending->bytes;
    while (m_sent < b.size()) {
        if (m_sent == m_pieceEnd) {  // a new piece starts
            bool split = m_sending->pieceBytes != 0;
            if (!Due(m_nextPieceAt) || (split && m_sent > 0 && PreviousPieceUnread())) return;
            m_pieceEnd = split ? std::min(b.size(), m_sent + m_sending->pieceBytes) : b.size();
            m_nextPieceAt = base::GetTickCount() + m_sending->pieceGapMs;
        }
        ssize_t put = ::write(m_master, b.data() + m_sent, m_pieceEnd - m_sent);
        if (put <= 0) return;  // the pty is full; the rest goes on a later round
        m_sent += static_cast<size_t>(put);
        m_pieceWritten = std::chrono::steady_clock::now();
    }
    m_sending.reset();
}

}  // namespace devsim
