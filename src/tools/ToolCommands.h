#pragma once

class Session;

// Gives the data tool commands their windows: M_Other (lookup lists) and M_Company
// (company information; the menu entry Sys_Company runs the same handler). Each window
// is created modally over the session's frame when the command runs and destroyed when
// it closes. Called once, after the session and its data module exist.
void installToolCommands(Session *session);
