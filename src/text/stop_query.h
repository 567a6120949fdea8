// How long work on a source is told to give up.
#pragma once

#include <functional>

namespace gw {

// Asked on the calling thread now and then; true ends the work. May be empty (never).
using StopQuery = std::function<bool()>;

}  // namespace gw
