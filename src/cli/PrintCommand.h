#pragma once

#include <QStringList>

// kehu-cli print envelope|label|custbasic (--customers 3,5,8 | --all) [--contacts main|all]
//           [--default 负责人] [--first N] --pdf OUT.pdf [--db PATH]
// Prints the customer reports to PDF without a display, as the print dialog would.
// Returns the exit status: 0 printed, 1 database or template error, 2 wrong arguments.
int printCommand(QStringList args, const QString &database);
