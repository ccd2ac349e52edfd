#include "FaultInjection.h"
#include "DbError.h"
#include "FaultPoint.h"

#include <atomic>

namespace {
std::atomic<int> armedAt{0}; // 0: disarmed
std::atomic<int> seen{0};
}

void FaultInjection::failAtStatement(int n)
{
    armedAt.store(0, std::memory_order_relaxed);
    seen.store(0, std::memory_order_relaxed);
    armedAt.store(n > 0 ? n : 0, std::memory_order_relaxed);
}

void FaultInjection::disarm()
{
    armedAt.store(0, std::memory_order_relaxed);
    seen.store(0, std::memory_order_relaxed);
}

int FaultInjection::statementsSeen()
{
    return seen.load(std::memory_order_relaxed);
}

void FaultInjection::statementStarting()
{
    const int target = armedAt.load(std::memory_order_relaxed);
    if (target == 0)
        return;
    // Counting goes on after the fault fired, so that statementsSeen() tells whether
    // the operation reached the armed position at all.
    if (seen.fetch_add(1, std::memory_order_relaxed) + 1 == target)
        throw DbError(QStringLiteral("injected fault"));
}
