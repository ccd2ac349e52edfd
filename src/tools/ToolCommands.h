#pragma once

class TFrm_Main;

// Gives the main window's data tool commands their windows: M_Other (lookup lists) and
// M_Company (company information; the menu entry Sys_Company runs the same handler).
// Each window is created modally when the command runs and destroyed when it closes.
// Called once, after the main window and the data module exist.
void installToolCommands(TFrm_Main *mainWindow);
