// Work over many items on both cores of a small machine: the first half here, the second on a
// thread of its own, when there are enough items to pay for the thread; all of them here when
// there are not, or when no thread can be started.
#pragma once

#include <cstddef>
#include <optional>
#include <system_error>
#include <thread>

namespace Halves {

// Runs `work(from, to)` over [0, count): in two halves at once from `least` items on.
template <typename Work>
void run(size_t count, size_t least, const Work &work)
{
    if (count < least || count < 2) {
        work(size_t(0), count);
        return;
    }
    std::optional<std::thread> other;
    try {
        other.emplace(work, count / 2, count);
    } catch (const std::system_error &) {
        work(count / 2, count);
    }
    work(size_t(0), count / 2);
    if (other)
        other->join();
}

} // namespace Halves
