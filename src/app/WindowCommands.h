#pragma once

class TFrm_Main;

// Gives the main window's commands the windows that do their work: the customer
// browser, the category windows and the delete commands. Called once, after the main
// window and the data module exist.
// Ends by hiding every command that still has no work.
void installWindowCommands(TFrm_Main *mainWindow);
// The login and password dialogs behind the system menu's 修改密码 and 重新登录.
void installSessionDialogs(TFrm_Main *mainWindow);
