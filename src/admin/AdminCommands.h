#pragma once

class TFrm_Main;

// Gives the main window's command M_UserList ("用户权限管理", rights slot 1) its window:
// the operator and role list, shown modally and destroyed when it closes. Called once,
// after the main window and the data module exist.
void installAdminCommands(TFrm_Main *mainWindow);
