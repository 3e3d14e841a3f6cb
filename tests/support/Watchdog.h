#pragma once

#include <juce_core/juce_core.h>

#include <sys/stat.h>

#include <chrono>
#include <future>
#include <memory>
#include <thread>

// For a check of something that used to hang: runs it on a thread of its own
// and tells whether it finished in time. A call that never returns keeps its
// thread until the test program ends, so the function must own (capture by
// value) everything it uses.
namespace Watchdog
{
template <typename Function>
bool finishesWithin (std::chrono::milliseconds limit, Function function)
{
    auto done = std::make_shared<std::promise<void>>();
    auto finished = done->get_future();

    std::thread (
        [done, function]() mutable
        {
            function();
            done->set_value();
        })
        .detach();

    return finished.wait_for (limit) == std::future_status::ready;
}

// A named pipe: opening it to read waits for a writer that never comes.
inline bool makePipe (const juce::File& file)
{
    return ::mkfifo (file.getFullPathName().toRawUTF8(), 0600) == 0;
}
} // namespace Watchdog
