#include "RunStop.h"

#include <atomic>

namespace vorn {
namespace {
std::atomic<bool> stopRequested{false};
}

void requestRunStop() { stopRequested.store(true, std::memory_order_release); }

bool runStopRequested() { return stopRequested.load(std::memory_order_acquire); }

}  // namespace vorn
