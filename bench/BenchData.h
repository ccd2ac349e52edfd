#pragma once

#include <QString>
#include <functional>

class Connection;

// Scratch data for benchmarks: realistic Chinese customers and contacts.
namespace BenchData {
// The median of `repeat` timed runs of work, in milliseconds.
double medianMs(int repeat, const std::function<void()> &work);
// Inserts `customers` customers (codes 1..n) and `contactsPerCustomer` contacts each.
void fill(Connection &connection, int customers, int contactsPerCustomer);
}
