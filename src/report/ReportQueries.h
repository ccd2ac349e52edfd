#pragma once

#include <QVariantList>

class Dataset;

// The statements that fill the report rows of the customer reports.
namespace ReportQueries {
// The customers with the given codes: "Custom" rows (main contact) or, with every
// contact, "S_ViewCust" rows, one per contact and one for a customer without any.
// Whole-number codes stand in the statement as numbers; any other code is bound as a
// value. An empty list opens nothing and returns false.
bool openCustomers(Dataset &query, const QVariantList &codes, bool everyContact);
} // namespace ReportQueries

// Sample rows for the designer's preview: the first customers, or the lines and the
// customer of the latest bill.
namespace ReportQueries {
void openFirstCustomers(Dataset &query, bool everyContact, int count);
void openLatestBill(Dataset &lines, Dataset &customer);
} // namespace ReportQueries
