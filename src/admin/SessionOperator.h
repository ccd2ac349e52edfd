#pragma once

#include "store/Gbk.h"
#include "ui/Session.h"

// Whether a stored user name is the operator logged in to the session. The login holds
// the chosen name without surrounding blanks, cut to its first 20 bytes; so is it here.
inline bool isSessionOperator(const Session &session, const QString &userName)
{
    const QString operatorName = session.operatorName();
    return !operatorName.isEmpty() && Gbk::cut(userName.trimmed(), 20) == operatorName;
}
