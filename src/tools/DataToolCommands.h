#pragma once

#include <QString>

class Session;

// Gives the data tools their work: the customer import (sss1), backup and restore
// (M_Backup), data clearing (M_ClearData), compaction (M_CompactDB) and the switch to
// another database file (Sys_Open, Ctrl+O). Called once, after the session and its data
// module exist.
void installDataToolCommands(Session *session);

// Closes the frame's child windows, the last opened first (before the database they show
// is closed or replaced).
void closeChildWindows(Session *session);

// Compaction of DataBase/Custom.mdb beside the program: the child windows close, the
// connection closes, the file is compacted in place and checked, the connection opens
// again on the file it used. Tells the operator "压缩数据库成功!" or "压缩数据库失败!"
// (also while another program uses the file). Returns success.
bool compactDatabase(Session *session);

// The switch to another database file: child windows close; the chosen file is opened
// first and only then remembered in [Config] DBConn, so a file that does not open leaves
// the connection and the setting as they were. Returns true when switched.
bool openDatabase(Session *session);
