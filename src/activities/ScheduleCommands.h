#pragma once

class Session;

// Gives the commands AddSchedule and EditSchedule the schedule editor in their mode
// (editing only when Qry_Schedule has a row), and Main_Schedule the schedule list as a
// child window that fills the frame. Called once, after the session and its data
// module exist.
void installScheduleCommands(Session *session);
