#include "usb/linux/linux_link.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/clock.h"
#include "base/fixed_text.h"
#include "usb/device_table.h"

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kReplyMax = 1298;  // the longest reply the protocol accepts
constexpr uint32_t kReplyHeader = 3;  // the lead byte and the big-endian total length
constexpr uint8_t kReplyLead = 0x1B;
constexpr size_t kSerialMax = 126;    // the most characters a USB string descriptor holds
constexpr int kDiscardReadsMax = 64;  // a device that never stops talking cannot hold us
constexpr int kIdleMs = 1;            // the pause after a ready node moved no byte

// A small sysfs attribute without its line feed; false when it cannot be read. A value
// longer than any we use (a serial of kSerialMax characters) comes back cut, and still
// too long to pass the checks that follow.
bool ReadAttribute(const fs::path& file, std::string* value) {
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    char buf[kSerialMax + 2];
    ssize_t n;
    do n = ::read(fd, buf, sizeof buf);
    while (n < 0 && errno == EINTR);
    ::close(fd);
    if (n < 0) return false;
    size_t len = static_cast<size_t>(n);
    if (len && buf[len - 1] == '\n') --len;
    value->assign(buf, len);
    return true;
}

// Four hexadecimal digits, lower-cased: the platform path spells its ids in lower case,
// and so does the vendor id the neutral walk compares with.
bool HexId(std::string* id) {
    if (id->size() != 4) return false;
    for (char& c : *id) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return true;
}

// A serial names the device only if it cannot be mistaken for the path's own separators:
// '#' between the fields, '\' before the appended pipe names.
bool UsableInstance(const std::string& s) {
    return !s.empty() && s.size() <= kSerialMax && std::all_of(s.begin(), s.end(), [](char c) {
        return c > 0x20 && c < 0x7F && c != '#' && c != '\\';
    });
}

// N of a node named lpN, as the driver names them (no leading zeros).
bool NodeNumber(const std::string& name, uint32_t* number) {
    if (name.size() < 3 || name.size() > 9 || name.compare(0, 2, "lp") != 0) return false;
    if (name[2] == '0' && name.size() > 3) return false;
    uint32_t n = 0;
    for (size_t i = 2; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9') return false;
        n = n * 10 + static_cast<uint32_t>(name[i] - '0');
    }
    *number = n;
    return true;
}

std::string InterfaceClassText() {
    const UsbGuid& g = GUID_DEVINTERFACE_USBPRINT;
    char text[40];
    base::TextFormat(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
                     g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3],
                     g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

int Fd(UsbHandle handle) { return handle >= 0 && handle <= INT_MAX ? int(handle) : -1; }

// Milliseconds left of timeoutMs since start; the tick count wraps, the difference does not.
int Remaining(uint32_t start, uint32_t timeoutMs) {
    uint32_t elapsed = base::GetTickCount() - start;
    uint32_t left = elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
    return static_cast<int>(std::min<uint32_t>(left, INT_MAX));
}

// Called when the node polled ready and the read or write that followed still moved no
// byte (zero-length packets, or a node that is no device: a stale file, /dev/null). Poll
// would report it ready again at once, so pause briefly rather than spin; false once the
// time-out has passed.
bool Idle(uint32_t start, uint32_t timeoutMs) {
    int left = Remaining(start, timeoutMs);
    if (left == 0) return false;
    base::Sleep(static_cast<uint32_t>(std::min(left, kIdleMs)));
    return true;
}

}  // namespace

LinuxUsbLink::LinuxUsbLink(std::string sysfsRoot, std::string devRoot, PollFn pollFn,
                           WriteFn writeFn, ReadFn readFn)
    : m_sysfs(std::move(sysfsRoot)),
      m_dev(std::move(devRoot)),
      m_poll(std::move(pollFn)),
      m_write(std::move(writeFn)),
      m_read(std::move(readFn)) {
    if (!m_poll) m_poll = [](pollfd* fds, nfds_t n, int ms) { return ::poll(fds, n, ms); };
    if (!m_write) m_write = [](int fd, const void* b, size_t n) { return ::write(fd, b, n); };
    if (!m_read) m_read = [](int fd, void* b, size_t n) { return ::read(fd, b, n); };
}

LinuxUsbLink::Node LinuxUsbLink::ReadNode(uint32_t number, bool bySerial) const {
    Node node{UsbIface::Skip, {}, number};
    std::error_code ec;
    // class/usbmisc/lpN/device is the printer interface; its parent is the USB device.
    fs::path usbDevice =
        fs::canonical(
            fs::path(m_sysfs) / "class/usbmisc" / ("lp" + std::to_string(number)) / "device", ec)
            .parent_path();
    std::string vid, pid, instance;
    if (ec || !ReadAttribute(usbDevice / "idVendor", &vid) || !HexId(&vid) ||
        !ReadAttribute(usbDevice / "idProduct", &pid) || !HexId(&pid))
        return node;
    if (!bySerial || !ReadAttribute(usbDevice / "serial", &instance) || !UsableInstance(instance))
        instance = usbDevice.filename();
    if (!UsableInstance(instance)) return node;
    node.kind = UsbIface::Found;
    node.path =
        "\\\\?\\usb#vid_" + vid + "&pid_" + pid + "#" + instance + "#" + InterfaceClassText();
    return node;
}

bool LinuxUsbLink::BeginWalk() {
    m_nodes.clear();
    std::error_code ec;
    fs::directory_iterator it(fs::path(m_sysfs) / "class/usbmisc", ec);
    if (ec) return false;
    std::vector<uint32_t> numbers;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        uint32_t n;
        if (NodeNumber(it->path().filename(), &n)) numbers.push_back(n);
    }
    std::sort(numbers.begin(), numbers.end());
    if (numbers.size() > USB_MAX_INTERFACES) numbers.resize(USB_MAX_INTERFACES);

    auto taken = [this](const Node& node) {
        return std::any_of(m_nodes.begin(), m_nodes.end(), [&](const Node& n) {
            return n.kind == node.kind && n.path == node.path;
        });
    };
    for (uint32_t n : numbers) {
        // Cheap devices often share one serial; the later one then goes by its bus-port
        // path, so that every path leads back to one node.
        Node node = ReadNode(n, true);
        if (node.kind == UsbIface::Found && taken(node)) node = ReadNode(n, false);
        if (node.kind == UsbIface::Found && taken(node)) node.kind = UsbIface::Skip;
        m_nodes.push_back(std::move(node));
    }
    return true;
}

UsbIface LinuxUsbLink::Interface(int index, std::string* path, uint32_t* portNumber) {
    if (index < 0 || index >= static_cast<int>(m_nodes.size())) return UsbIface::End;
    const Node& node = m_nodes[index];
    if (node.kind == UsbIface::Found) {
        *path = node.path;
        *portNumber = node.number;
    }
    return node.kind;
}

UsbHandle LinuxUsbLink::Open(const char* path) {
    for (const Node& node : m_nodes) {
        size_t len = node.path.size();
        if (node.kind != UsbIface::Found || node.path.compare(0, len, path, 0, len) != 0 ||
            (path[len] != '\0' && path[len] != '\\'))
            continue;
        // O_NOCTTY: the node is no terminal, but whatever stands in for it must never
        // become our controlling terminal either.
        std::string file = m_dev + "/usb/lp" + std::to_string(node.number);
        int fd = ::open(file.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
        return fd < 0 ? USB_INVALID_HANDLE : fd;
    }
    return USB_INVALID_HANDLE;
}

bool LinuxUsbLink::Close(UsbHandle handle) {
    int fd = Fd(handle);
    return fd >= 0 && ::close(fd) == 0;
}

LinuxUsbLink::Wait LinuxUsbLink::WaitFor(int fd, short events, uint32_t start, uint32_t timeoutMs) {
    for (;;) {
        int left = Remaining(start, timeoutMs);
        pollfd p = {fd, events, 0};
        int r = m_poll(&p, 1, left);
        if (r < 0 && errno == EINTR) continue;
        // An unplugged device reports a hang-up or an error; the operation fails.
        if (r < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return Wait::Gone;
        if (p.revents & events) return Wait::Ready;
        if (left == 0) return Wait::TimedOut;
    }
}

UsbIo LinuxUsbLink::Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) {
    const uint32_t start = base::GetTickCount();
    const int fd = Fd(handle);
    uint8_t* out = static_cast<uint8_t*>(buffer);
    const uint32_t cap = std::min(*length, kReplyMax);
    uint32_t want = std::min(kReplyHeader, cap);  // until the reply has told its length
    uint32_t got = 0;
    bool sized = false, ready = false;
    *length = 0;
    if (fd < 0) return UsbIo::Failed;
    uint8_t head[kReplyHeader];
    while (got < want) {
        ssize_t n = m_read(fd, got ? out + got : head, want - got);
        if (n > 0) {
            ready = false;
            if (got == 0) {
                // A reply starts with its lead byte. Bytes before one are the tail of a reply
                // whose read timed out, come after the drain: skipped, within the time-out.
                const auto* lead = static_cast<const uint8_t*>(
                    std::memchr(head, kReplyLead, static_cast<size_t>(n)));
                if (!lead) {
                    if (Remaining(start, timeoutMs) == 0) return UsbIo::TimedOut;
                    continue;
                }
                n = head + n - lead;
                std::memcpy(out, lead, static_cast<size_t>(n));
            }
            got += static_cast<uint32_t>(n);
            *length = got;
            if (!sized && got >= kReplyHeader) {
                // The device's word for its length, bounded by what we accept and can
                // hold; a reply cut short here, or claiming less than we have, fails the
                // protocol's own checks.
                sized = true;
                want = std::min<uint32_t>(uint32_t{out[1]} << 8 | out[2], cap);
            }
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return UsbIo::Failed;
        // Nothing there yet; a read of 0 bytes does not mean end of file here either.
        if (n == 0 && ready && !Idle(start, timeoutMs)) return UsbIo::TimedOut;
        Wait w = WaitFor(fd, POLLIN, start, timeoutMs);
        if (w != Wait::Ready) return w == Wait::Gone ? UsbIo::Failed : UsbIo::TimedOut;
        ready = true;
    }
    return UsbIo::Done;
}

void LinuxUsbLink::DiscardInput(int fd) {
    // A reply that came after its read timed out would otherwise be taken for the answer
    // to the request we are about to write, and every later exchange would be one behind.
    // A read a signal interrupted took nothing and does not count against the bound.
    uint8_t scratch[1024];
    for (int i = 0; i < kDiscardReadsMax;) {
        ssize_t n = m_read(fd, scratch, sizeof scratch);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;  // drained (EAGAIN or 0), or gone, which the write will find
        ++i;
    }
}

UsbIo LinuxUsbLink::Write(UsbHandle handle, const void* buffer, uint32_t* length,
                          uint32_t timeoutMs) {
    const uint32_t start = base::GetTickCount();
    const int fd = Fd(handle);
    const uint8_t* in = static_cast<const uint8_t*>(buffer);
    const uint32_t total = *length;
    uint32_t sent = 0;
    bool ready = false;
    *length = 0;
    if (fd < 0) return UsbIo::Failed;
    DiscardInput(fd);
    for (;;) {
        if (sent < total) {
            ssize_t n = m_write(fd, in + sent, total - sent);
            if (n > 0) {
                ready = false;
                sent += static_cast<uint32_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno != EAGAIN) break;
            if (n == 0 && ready && !Idle(start, timeoutMs)) {
                *length = sent;
                return UsbIo::TimedOut;
            }
        }
        // Writable again once the driver has finished with what it took.
        Wait w = WaitFor(fd, POLLOUT, start, timeoutMs);
        if (w != Wait::Ready || sent == total) {
            *length = sent;
            if (w == Wait::TimedOut) return UsbIo::TimedOut;
            return w == Wait::Ready ? UsbIo::Done : UsbIo::Failed;
        }
        ready = true;
    }
    *length = sent;
    return UsbIo::Failed;
}
