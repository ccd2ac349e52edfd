#pragma once

class TFrm_Main;

// Gives the main window's commands the windows that do their work: the customer
// browser, the category windows and the delete commands. Called once, after the main
// window and the data module exist.
void installWindowCommands(TFrm_Main *mainWindow);
