// Long work on a source (reading, converting) done as a row of steps, the first half of them on
// the calling thread and the second half on a thread of its own, and given up between two steps
// when a stop is requested.
#pragma once

#include <cstddef>
#include <functional>

#include "text/stop_query.h"

namespace gw {

// Runs step(i) for every i in [0, count), each once: [0, firstHalf) in order on the calling
// thread and [firstHalf, count) in order on a thread of its own (after the first half on the
// calling thread when no thread can be had, or when `sideBySide` is false).
//
// `stopRequested` (may be empty) is asked on the calling thread before each of its steps and,
// while it waits for the other thread, every 20 ms; once it says yes no further step begins on
// either thread. Returns false when it did.
//
// An exception from a step ends the work on both threads and is thrown again here once no step
// runs any more.
bool RunStepsInHalves(std::size_t count, std::size_t firstHalf, bool sideBySide,
                      const std::function<void(std::size_t)>& step, const StopQuery& stopRequested);

}  // namespace gw
