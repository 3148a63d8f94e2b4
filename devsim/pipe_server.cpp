#include "devsim/pipe_server.h"

#include <windows.h>

#include <algorithm>

#include "base/clock.h"

namespace devsim {
namespace {

constexpr DWORD kInBuffer = 1;          // less than any request: a write waits for our read
constexpr DWORD kOutBuffer = 4096;      // more than any reply: a reply never waits for its reader
constexpr DWORD kMessageMax = 1 << 16;  // a longer message is no request; its client is dropped
constexpr DWORD kReplyWriteMs = 1000;

std::atomic<unsigned> g_servers{0};

bool Due(uint32_t at) { return static_cast<int32_t>(base::GetTickCount() - at) >= 0; }

}  // namespace

struct PipeServer::Instance {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    OVERLAPPED ov = {};  // the connect or read in flight; its event lives as long as the instance
    bool connected = false;
    bool busy = false;  // a connect or read is posted
    bool dead = false;
    std::vector<uint8_t> buffer = std::vector<uint8_t>(kMessageMax);
    std::vector<uint8_t> held;  // a request the device stalled, left on the pipe

    void Reset() {
        HANDLE event = ov.hEvent;
        ov = OVERLAPPED{};
        ov.hEvent = event;
    }
    ~Instance() {
        if (busy) {  // the platform must be done with the record before it goes
            DWORD n;
            CancelIoEx(pipe, &ov);
            GetOverlappedResult(pipe, &ov, &n, TRUE);
        }
        if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
        if (ov.hEvent) CloseHandle(ov.hEvent);
    }
};

PipeServer::PipeServer(Device& device)
    : m_device(device),
      m_name("\\\\.\\pipe\\netcfg-devsim-" + std::to_string(GetCurrentProcessId()) + "-" +
             std::to_string(++g_servers)) {}

PipeServer::~PipeServer() { Close(); }

bool PipeServer::Open() {
    Close();
    return AddInstance();
}

bool PipeServer::AddInstance() {
    // The first instance of the name must be ours; a client of an earlier opening may still
    // hold a broken one when the pipe is opened again.
    DWORD first = m_claimed ? 0 : FILE_FLAG_FIRST_PIPE_INSTANCE;
    auto in = std::make_unique<Instance>();
    in->pipe = CreateNamedPipeA(
        m_name.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | first,
        PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS,
        PIPE_UNLIMITED_INSTANCES, kOutBuffer, kInBuffer, 0, nullptr);
    in->ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (in->pipe == INVALID_HANDLE_VALUE || !in->ov.hEvent) return false;
    m_claimed = true;
    Listen(*in);
    m_instances.push_back(std::move(in));
    return true;
}

void PipeServer::Listen(Instance& in) {
    in.Reset();
    if (ConnectNamedPipe(in.pipe, &in.ov)) {
        in.connected = true;
        return;
    }
    DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING)
        in.busy = true;
    else if (error == ERROR_PIPE_CONNECTED)  // the client came before the call
        in.connected = true;
    else
        in.dead = true;
}

void PipeServer::PostRead(Instance& in) {
    while (!in.busy && !in.dead && in.held.empty() && !m_device.WriteStallPending()) {
        in.Reset();
        DWORD n = 0;
        if (ReadFile(in.pipe, in.buffer.data(), kMessageMax, &n, &in.ov)) {
            Deliver(in, n);
        } else if (GetLastError() == ERROR_IO_PENDING) {
            in.busy = true;
        } else {
            in.dead = true;  // the client went away, or sent more than any request
        }
    }
}

void PipeServer::Complete(Instance& in) {
    DWORD n = 0;
    if (!GetOverlappedResult(in.pipe, &in.ov, &n, FALSE)) {
        if (GetLastError() == ERROR_IO_INCOMPLETE) return;
        in.busy = false;
        in.dead = true;
        return;
    }
    in.busy = false;
    if (in.connected) Deliver(in, n);
    in.connected = true;
    // At once, and before a reply goes out: a client writes as soon as it has opened the
    // pipe or read its reply, and its write must find a read posted.
    PostRead(in);
}

void PipeServer::StopReading(Instance& in) {
    if (!in.busy || !in.connected) return;
    DWORD n = 0;
    CancelIoEx(in.pipe, &in.ov);
    BOOL read = GetOverlappedResult(in.pipe, &in.ov, &n, TRUE);
    in.busy = false;
    if (read) Deliver(in, n);  // it had taken a request before the cancel came
}

void PipeServer::PeekRequest(Instance& in) {
    DWORD got = 0, avail = 0;
    if (!PeekNamedPipe(in.pipe, in.buffer.data(), kMessageMax, &got, &avail, nullptr)) {
        in.dead = true;
        return;
    }
    if (got == 0) {
        in.held.clear();  // a stalled write was cancelled by its writer
        return;
    }
    if (in.held.size() == got && std::equal(in.held.begin(), in.held.end(), in.buffer.begin()))
        return;  // still the stalled one (every request carries a new sequence number)
    if (m_device.Receive(in.buffer.data(), got) == Receipt::Stalled) {
        in.held.assign(in.buffer.begin(), in.buffer.begin() + got);
        return;
    }
    in.held.clear();
    m_replyTo = &in;
    // Off the pipe, which completes the client's write; the device has it already.
    in.Reset();
    DWORD n = 0;
    if (!ReadFile(in.pipe, in.buffer.data(), kMessageMax, &n, &in.ov) &&
        (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(in.pipe, &in.ov, &n, TRUE)))
        in.dead = true;
}

void PipeServer::Deliver(Instance& in, uint32_t length) {
    // A request the device refuses is dropped, as the device cannot frame it; a stall that
    // came too late for the write to be held back loses the request all the same.
    m_device.Receive(in.buffer.data(), length);
    m_replyTo = &in;
}

void PipeServer::SendReply() {
    std::optional<Outgoing> next = m_device.PeekReply();
    if (!next || !Due(next->CompleteAt())) return;
    std::optional<Outgoing> reply = m_device.TakeReply();
    if (!reply || !m_replyTo || !m_replyTo->connected || m_replyTo->dead) return;  // no reader
    HANDLE pipe = m_replyTo->pipe;
    OVERLAPPED ov = {};
    ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ov.hEvent) return;
    DWORD n = 0;
    if (!WriteFile(pipe, reply->bytes.data(), static_cast<DWORD>(reply->bytes.size()), &n, &ov) &&
        GetLastError() == ERROR_IO_PENDING &&
        WaitForSingleObject(ov.hEvent, kReplyWriteMs) != WAIT_OBJECT_0) {
        CancelIoEx(pipe, &ov);
        GetOverlappedResult(pipe, &ov, &n, TRUE);
    }
    CloseHandle(ov.hEvent);
}

void PipeServer::Pump(int waitMs) {
    const DWORD wait = static_cast<DWORD>(std::max(waitMs, 0));
    if (m_instances.empty()) {  // closed
        ::Sleep(wait);
        ++m_rounds;
        return;
    }
    const bool holding = m_device.WriteStallPending();
    for (auto& p : m_instances) {
        Instance& in = *p;
        if (!in.connected) {
            if (!in.busy && !in.dead) Listen(in);
        } else {
            if (holding || !in.held.empty()) {  // until the stalled write is cancelled
                StopReading(in);
                PeekRequest(in);
            }
            PostRead(in);  // unless still holding
        }
    }

    std::vector<HANDLE> events;
    for (auto& p : m_instances)
        if (p->busy) events.push_back(p->ov.hEvent);
    // While a reply is on its way or requests are only peeked at, look again soon.
    DWORD ms = holding || m_device.PeekReply() ? std::min<DWORD>(wait, 1) : wait;
    if (events.empty())
        ::Sleep(ms);
    else
        WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, ms);
    for (auto& p : m_instances)
        if (p->busy) Complete(*p);
    SendReply();

    for (auto& p : m_instances)
        if (p->dead && m_replyTo == p.get()) m_replyTo = nullptr;
    std::erase_if(m_instances, [](const std::unique_ptr<Instance>& p) { return p->dead; });
    if (std::all_of(m_instances.begin(), m_instances.end(),
                    [](const std::unique_ptr<Instance>& p) { return p->connected; }))
        AddInstance();
    ++m_rounds;
}

bool PipeServer::Start() {
    if (m_instances.empty() || m_running) return false;
    m_running = true;
    m_thread = std::thread([this] {
        while (m_running) Pump(5);
    });
    return true;
}

void PipeServer::Stop() {
    m_running = false;
    if (m_thread.joinable()) m_thread.join();
}

void PipeServer::Sync() {
    if (!m_running) return Pump(0);
    const uint64_t start = m_rounds;
    while (m_rounds < start + 2) ::Sleep(1);
}

void PipeServer::Close() {
    Stop();
    m_replyTo = nullptr;
    m_instances.clear();
}

}  // namespace devsim
