// Work the start needs later, done on a thread of its own meanwhile.
#pragma once

#include <functional>
#include <thread>

// Runs the work on a thread of its own from construction on. Wait() returns once it is done; where
// no thread could be had, Wait() does the work itself, so it is done either way. The destructor
// waits for a running thread and drops work that never started.
class WorkAhead
{
public:
    explicit WorkAhead(std::function<void()> work);
    ~WorkAhead();
    WorkAhead(const WorkAhead &) = delete;
    WorkAhead &operator=(const WorkAhead &) = delete;

    void Wait();

private:
    std::function<void()> m_work;
    std::thread m_thread;
};
