// Work the start needs later, done on a thread of its own meanwhile.
#include "base/WorkAhead.h"

#include <system_error>

WorkAhead::WorkAhead(std::function<void()> work) : m_work(std::move(work))
{
    try {
        m_thread = std::thread(m_work);
        m_work = nullptr;
    } catch (const std::system_error &) {
        // No thread to spare: the work waits for Wait().
    }
}

WorkAhead::~WorkAhead()
{
    if (m_thread.joinable())
        m_thread.join();
}

void WorkAhead::Wait()
{
    if (m_thread.joinable())
        m_thread.join();
    if (m_work) {
        const std::function<void()> work = std::move(m_work);
        m_work = nullptr;
        work();
    }
}
