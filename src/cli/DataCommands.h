#pragma once

#include <QStringList>

// The data tools for schedules and scripts, each on the default database beside the
// executable or the one given with --db:
//   kehu-cli backup FOLDER                       a consistent copy, Custom_bakyyyy-MM-dd.mdb
//   kehu-cli restore FILE                        checks FILE, keeps the replaced database as
//                                                a dated safety copy, then replaces it
//   kehu-cli import FILE [--mapping default|saved]
//                                                customers from a spreadsheet (.xlsx .ods .xls .csv);
//                                                default maps the i-th column to the i-th mapping
//                                                row, saved uses the mapping stored last
//   kehu-cli export "STATEMENT" OUT.xlsx         the rows of a select as a workbook
//   kehu-cli compact                             compacts the database file
// Each returns the exit status: 0 done, 1 refused or failed (the reason on stderr, the
// database as it was), 2 wrong arguments.

// True when args[0] names one of the commands above.
bool isDataCommand(const QStringList &args);
int dataCommand(const QStringList &args, const QString &database);
