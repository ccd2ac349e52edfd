#pragma once

#include <QStringList>

// Commands for a database on a PostgreSQL server:
//   kehu-cli server-init URI             the program's tables, views and initial rows in an
//                                        empty server database
//   kehu-cli copy FROM TO [--replace]    every table's rows from one database to another (a
//                                        file or a server URI each): an office's file onto its
//                                        server, or the server's data into a new file
// Exit status: 0 done, 1 refused or failed (the reason on stderr, nothing changed),
// 2 wrong arguments.
bool isServerCommand(const QStringList &args);
int serverCommand(const QStringList &args);
