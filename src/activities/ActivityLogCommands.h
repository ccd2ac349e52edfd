#pragma once

class Session;

// Gives the diary and reminder commands their windows: AddDaily and EditDaily open the
// diary editor, Main_Daily the diary list (a child window, at most one), and the entry
// N_Awoke (menu entry F5 and the reminder timer) the reminders window, modal. Called
// once, after the session and its data module exist.
void installActivityLogCommands(Session *session);
