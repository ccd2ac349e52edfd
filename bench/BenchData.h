#pragma once

#include <QString>

class Connection;

// Scratch data for benchmarks: realistic Chinese customers and contacts.
namespace BenchData {
// Inserts `customers` customers (codes 1..n) and `contactsPerCustomer` contacts each.
void fill(Connection &connection, int customers, int contactsPerCustomer);
}
