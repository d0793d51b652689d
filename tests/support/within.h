#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <thread>

namespace tavrin::test {

// Runs `work` on a thread of its own and waits up to `ms` for it to return. False
// when it has not: the thread is then left blocked (a read of a named pipe, say),
// and goes with the test's process, so `work` must own what it uses.
inline bool returnsWithin(int ms, std::function<void()> work)
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> returned = done->get_future();
    std::thread([done, work = std::move(work)] {
        work();
        done->set_value();
    }).detach();
    return returned.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

} // namespace tavrin::test
