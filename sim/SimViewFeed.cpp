#include "sim/SimViewFeed.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

SimViewFeed::SimViewFeed(const SimLine& line)
    : m_wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_state(line)
{
    if (m_wakeFd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
}

SimViewFeed::~SimViewFeed()
{
    ::close(m_wakeFd);
}

void SimViewFeed::publish(const SimLine& line, const SimLine::Response& response)
{
    {
        std::lock_guard guard(m_lock);
        m_state.update(line, response);
    }
    wake();
}

void SimViewFeed::finish()
{
    {
        std::lock_guard guard(m_lock);
        m_finished = true;
    }
    wake();
}

SimViewState SimViewFeed::take()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t ignored = ::read(m_wakeFd, &count, sizeof count);
    std::lock_guard guard(m_lock);
    return m_state;
}

bool SimViewFeed::finished()
{
    std::lock_guard guard(m_lock);
    return m_finished;
}

void SimViewFeed::wake()
{
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(m_wakeFd, &one, sizeof one);
}
