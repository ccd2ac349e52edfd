#pragma once

class TFrm_Main;

// Gives the main window's diary and reminder commands their windows: AddDaily and
// EditDaily open the diary editor, Main_Daily the diary list (a child window, at most
// one), and the handler "N_Awoke" (menu entry F5 and the reminder timer) the reminders
// window, modal. Called once, after the main window and the data module exist.
void installActivityLogCommands(TFrm_Main *mainWindow);
