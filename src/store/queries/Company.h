#pragma once

class Dataset;

// Statements on the own company's data: the single row of table info.
namespace Company {
// The info row, editable (an empty table gives an empty list that a new row is appended to).
void openInfo(Dataset &query);
} // namespace Company
