#pragma once

class Session;

// Gives the session's customer tool commands their dialogs: SearchCust (customer
// search), ShowField_Cust (column chooser for "Custom", one at a time), ExportEmail
// (e-mail address export) and the browser's BatchEdit entry (batch category edit).
// Called once, after the main window and the data module exist.
void installCustomerToolCommands(Session *session);
