#pragma once

#include <QString>

class Connection;
class Dataset;

// Statements on operators (admin), roles (T_Part) and the rights they carry
// (T_PartAuthority, T_UserAuthority).
namespace Operators {

// ---- operators (admin)

// Every operator, in key order.
void openAll(Dataset &rows);
// The operators who may log in (IsUser on), in key order.
void openActive(Dataset &rows);
// The operator with that key (none when there is no such operator).
void openById(Dataset &rows, qint64 userId);
// The operator of that user name (matched without regard to case, as the table does).
void openByName(Dataset &rows, const QString &userName);
// Whether an operator of that user name exists (matched as openByName does).
bool nameTaken(Connection *connection, const QString &userName);
// Stores a password (in its stored form, see PasswordHash) in the operator's row.
void setPassword(Connection *connection, qint64 userId, const QString &storedPassword);

// ---- roles (T_Part) and their rights

// Every role, in key order.
void openRoles(Dataset &rows);
// The role with that key.
void openRole(Dataset &rows, qint64 partId);
// Whether a role of that name exists (matched without regard to case, as the table does).
bool roleExists(Connection *connection, const QString &partName);
// The role's rights rows in key order: row k is rights slot k.
void openRoleRights(Dataset &rows, const QString &partName);

// ---- an operator's rights

// The operator's rights rows in key order: row k is rights slot k.
void openRights(Dataset &rows, const QString &userName);

// ---- creating and deleting, each all or nothing

struct NewOperator
{
    QString userName;       // stored as given: the caller trims it
    QString storedPassword; // already in its stored form
    QString partName;       // the role whose rights rows are copied
    QString remark;
    bool isUser = true;     // may log in
    int permit = 0;
};

// Adds the operator's row and copies the role's rights rows to him, in the role's key
// order, so that they become his slots 1, 2, ... One transaction on the connection: a
// failure rolls everything back and throws the database error. Returns the new UserID.
qint64 create(Connection &connection, const NewOperator &newOperator);

// Deletes the operator's row and all his rights rows in one transaction; a failure
// rolls back and throws. Returns false when there was no such operator (nothing is
// deleted then, not even rights rows without an operator).
bool remove(Connection &connection, qint64 userId);

} // namespace Operators
