#include "usb/sim/sim_link.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/clock.h"
#include "usb/device_table.h"

namespace {

constexpr size_t kDrainBytes = 64 * 1024;

// The printer-class interface path of the platform:
// \\?\usb#vid_vvvv&pid_pppp#<instance>#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}
std::string InterfacePath(const char* vendorId, const char* productId, size_t index,
                          uint32_t port) {
    char path[USB_PATH_CAPACITY];
    std::snprintf(path, sizeof path,
                  "\\\\?\\usb#vid_%.4s&pid_%.4s#6&%x&0&%u#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}",
                  vendorId, productId, 0x3b1f0a7u + 0x10101u * static_cast<uint32_t>(index), port);
    return path;
}

}  // namespace

int SimUsbLink::Attach(devsim::Device& device, const char* productId, uint32_t portNumber) {
    size_t i = m_attached.size();
    uint32_t port = portNumber ? portNumber : static_cast<uint32_t>(i + 1);
    m_attached.push_back({&device, InterfacePath(USB_VENDOR_ID, productId, i, port), port});
    return static_cast<int>(i);
}

int SimUsbLink::AttachForeign(const char* vendorId, const char* productId) {
    size_t i = m_attached.size();
    uint32_t port = static_cast<uint32_t>(i + 1);
    m_attached.push_back({nullptr, InterfacePath(vendorId, productId, i, port), port});
    return static_cast<int>(i);
}

int SimUsbLink::AttachUnreadable() {
    int i = AttachForeign(USB_VENDOR_ID, "ffff");
    m_attached.back().readable = false;
    return i;
}

std::string SimUsbLink::Path(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= m_attached.size()) return {};
    return m_attached[static_cast<size_t>(i)].path;
}

bool SimUsbLink::BeginWalk() {
    // An unplugged device is not among the present interfaces.
    m_walk.clear();
    for (size_t i = 0; i < m_attached.size(); ++i)
        if (!m_attached[i].device || m_attached[i].device->Present()) m_walk.push_back(i);
    return true;
}

void SimUsbLink::EndWalk() { m_walk.clear(); }

UsbIface SimUsbLink::Interface(int index, std::string* path, uint32_t* portNumber) {
    if (index < 0 || static_cast<size_t>(index) >= m_walk.size()) return UsbIface::End;
    const Attached& a = m_attached[m_walk[static_cast<size_t>(index)]];
    if (!a.readable) return UsbIface::Skip;
    *path = a.path;
    *portNumber = a.port;
    return UsbIface::Found;
}

UsbHandle SimUsbLink::Open(const char* path) {
    // The pipe layer appends to the interface path ("\pipe01", "\"); what follows the
    // interface path names the pipe, and every name reaches the one data pipe.
    std::string opened(path);
    for (size_t i = 0; i < m_attached.size(); ++i) {
        const Attached& a = m_attached[i];
        if (opened.compare(0, a.path.size(), a.path) != 0) continue;
        if (opened.size() > a.path.size() && opened[a.path.size()] != '\\') continue;
        if (!a.device || !a.device->Present()) return USB_INVALID_HANDLE;
        // Like the Linux printer driver, one open at a time: a pipe left open (of this
        // attachment; an unplug ended the older ones) keeps the device from opening again.
        for (const auto& [handle, pipe] : m_pipes)
            if (pipe.attached == i && pipe.attachment == a.device->Attachment())
                return USB_INVALID_HANDLE;
        UsbHandle h = m_nextHandle++;
        m_pipes[h] = {i, a.device->Attachment()};
        return h;
    }
    return USB_INVALID_HANDLE;
}

bool SimUsbLink::Close(UsbHandle handle) { return m_pipes.erase(handle) == 1; }

devsim::Device* SimUsbLink::Live(UsbHandle handle) const {
    auto it = m_pipes.find(handle);
    if (it == m_pipes.end()) return nullptr;
    devsim::Device* d = m_attached[it->second.attached].device;
    if (!d || !d->Present() || d->Attachment() != it->second.attachment) return nullptr;
    return d;
}

UsbIo SimUsbLink::Read(UsbHandle handle, void* buffer, uint32_t* length, uint32_t timeoutMs) {
    devsim::Device* d = Live(handle);
    if (!d) return UsbIo::Failed;
    if (std::optional<devsim::Outgoing> reply = d->PeekReply()) {
        // A reply in pieces counts once its last piece is in: a backend hands over whole
        // replies.
        int32_t until = static_cast<int32_t>(reply->CompleteAt() - base::GetTickCount());
        uint32_t wait = until > 0 ? static_cast<uint32_t>(until) : 0;
        if (wait <= timeoutMs) {
            if (wait) base::Sleep(wait);
            // What does not fit (a flood of noise) stays for the next read.
            reply = d->TakeReply(*length);
            uint32_t n = static_cast<uint32_t>(reply->bytes.size());
            std::memcpy(buffer, reply->bytes.data(), n);
            *length = n;
            return UsbIo::Done;
        }
    }
    // Nothing in time; a reply that comes later stays queued for the next read.
    base::Sleep(timeoutMs);
    *length = 0;
    return UsbIo::TimedOut;
}

UsbIo SimUsbLink::Write(UsbHandle handle, const void* buffer, uint32_t* length,
                        uint32_t timeoutMs) {
    devsim::Device* d = Live(handle);
    if (!d) return UsbIo::Failed;
    // As the Linux link does, what came in after its read gave up is dropped before the
    // next request goes out, up to a bound, so a device that never stops talking cannot
    // hold the write.
    d->Discard(kDrainBytes);
    // Bytes the device cannot parse still left the host: the write itself succeeds.
    if (d->Receive(static_cast<const uint8_t*>(buffer), *length) == devsim::Receipt::Stalled) {
        base::Sleep(timeoutMs);
        *length = 0;
        return UsbIo::TimedOut;
    }
    return UsbIo::Done;
}

// A stalled request never reached the device, so there is nothing left to end.
void SimUsbLink::CancelWrite(UsbHandle) {}
