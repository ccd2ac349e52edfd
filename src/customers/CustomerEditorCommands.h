#pragma once

class Session;

// Gives the session's commands AddCust, EditCust, AddContact and EditContact their
// work: each opens the customer or contact editor as a modal dialog in its mode.
// Called once, after the main window and the data module exist.
void installCustomerEditorCommands(Session *session);
