#include "runs/identity_reader.h"

#include "platform/open_folder.h"

namespace varnel {

IdentityReader::IdentityReader(PosixApi& os) : m_os(os), m_thread([this] { Loop(); }) {}

IdentityReader::~IdentityReader() {
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

std::size_t IdentityReader::Submit(std::vector<IdentityRequest> batch) {
    std::size_t ticket = 0;
    {
        std::lock_guard lock(m_mutex);
        ticket = m_nextTicket++;
        m_waiting.emplace_back(ticket, std::move(batch));
    }
    m_wake.notify_one();
    return ticket;
}

std::vector<PathIdentity> IdentityReader::Take(std::size_t ticket) {
    std::unique_lock lock(m_mutex);
    m_read.wait(lock, [&] { return m_done.contains(ticket); });
    auto found = m_done.extract(ticket);
    return std::move(found.mapped());
}

std::optional<std::vector<PathIdentity>> IdentityReader::TryTake(std::size_t ticket) {
    std::lock_guard lock(m_mutex);
    auto found = m_done.extract(ticket);
    if (found.empty()) return std::nullopt;
    return std::move(found.mapped());
}

void IdentityReader::Loop() {
    // Names of one folder are read through that folder held open.
    OpenFolder folder(m_os);
    for (;;) {
        std::pair<std::size_t, std::vector<IdentityRequest>> batch;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [&] { return m_closing || !m_waiting.empty(); });
            if (m_waiting.empty()) return;  // closing, and everything handed over is read
            batch = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        std::vector<PathIdentity> identities;
        identities.reserve(batch.second.size());
        for (const IdentityRequest& request : batch.second) {
            const int folderFd = folder.Get(request.folder);
            auto identity = folderFd >= 0 ? ReadPathIdentityAt(folderFd, request.name.c_str(), m_os)
                                          : ReadPathIdentity(request.folder + request.name, m_os);
            identities.push_back(identity.value_or(PathIdentity{}));
        }
        {
            std::lock_guard lock(m_mutex);
            m_done.emplace(batch.first, std::move(identities));
        }
        m_read.notify_all();
    }
}

}  // namespace varnel
