#pragma once

#include <QtGlobal>
#include <algorithm>
#include <csignal>
#include <sys/resource.h>

// Lowers a soft limit of the process (setrlimit) for as long as it lives; never
// above the hard limit. Under a lowered file size limit a write past it fails
// with EFBIG, as on a device that takes no more, instead of ending the process.
class SoftLimit
{
public:
    SoftLimit(int resource, rlim_t value) : m_resource(resource)
    {
        rlimit limit{};
        ::getrlimit(resource, &limit);
        m_saved = limit.rlim_cur;
        limit.rlim_cur = std::min(value, limit.rlim_max);
        if (resource == RLIMIT_FSIZE)
            m_sizeSignal = std::signal(SIGXFSZ, SIG_IGN);
        if (::setrlimit(resource, &limit) != 0)
            qFatal("cannot lower the limit %d", resource);
    }
    ~SoftLimit()
    {
        rlimit limit{};
        ::getrlimit(m_resource, &limit);
        limit.rlim_cur = m_saved;
        ::setrlimit(m_resource, &limit);
        if (m_resource == RLIMIT_FSIZE)
            std::signal(SIGXFSZ, m_sizeSignal);
    }
    SoftLimit(const SoftLimit &) = delete;
    SoftLimit &operator=(const SoftLimit &) = delete;

private:
    int m_resource;
    rlim_t m_saved;
    void (*m_sizeSignal)(int) = SIG_DFL;
};
