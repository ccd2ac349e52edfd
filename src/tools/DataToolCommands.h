#pragma once

class Session;

// Gives the data tools their work: the customer import (sss1), backup and restore
// (M_Backup), data clearing (M_ClearData), compaction (M_CompactDB) and the switch to
// another database file (Sys_Open, Ctrl+O). Called once, after the session and its data
// module exist.
void installDataToolCommands(Session *session);
