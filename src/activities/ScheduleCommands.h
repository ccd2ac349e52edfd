#pragma once

class TFrm_Main;

// Gives the main window's commands AddSchedule and EditSchedule the schedule editor in
// their mode (editing only when Qry_Schedule has a row), and Main_Schedule the schedule
// list as a child window. Called once, after the main window and the data module exist.
void installScheduleCommands(TFrm_Main *mainWindow);
