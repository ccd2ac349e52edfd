#pragma once

class Session;

// Gives the command M_UserList ("用户权限管理", rights slot 1) its window: the operator
// and role list, shown modally over the session's dialog parent and destroyed when it
// closes. Called once, after the main window and the data module exist.
void installAdminCommands(Session *session);
