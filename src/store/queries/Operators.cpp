#include "Operators.h"
#include "Run.h"
#include "store/Connection.h"
#include "store/Dataset.h"

namespace Operators {

namespace {

const QString UserIdParameter = QStringLiteral("UserID");
const QString UserNameParameter = QStringLiteral("UserName");
const QString PartNameParameter = QStringLiteral("PartName");

void openStatement(Dataset &rows, const QString &statement)
{
    rows.setSql(statement);
    rows.open();
}

// Runs work inside one transaction: committed when it returns, rolled back (and the
// error passed on) when it throws.
template <typename Work>
auto inTransaction(Connection &connection, Work &&work)
{
    connection.begin();
    try {
        auto result = work();
        connection.commit();
        return result;
    } catch (...) {
        connection.rollback();
        throw;
    }
}

} // namespace

void openAll(Dataset &rows)
{
    openStatement(rows, QStringLiteral("select * from Admin"));
}

void openActive(Dataset &rows)
{
    openStatement(rows, QStringLiteral("select * from admin where IsUser=True"));
}

void openById(Dataset &rows, qint64 userId)
{
    rows.setSql(QStringLiteral("Select * from Admin where Userid=:UserID"));
    rows.setParameter(UserIdParameter, userId);
    rows.open();
}

void openByName(Dataset &rows, const QString &userName)
{
    rows.setSql(QStringLiteral("select * from admin where username=:UserName"));
    rows.setParameter(UserNameParameter, userName);
    rows.open();
}

bool nameTaken(Connection *connection, const QString &userName)
{
    Dataset rows(connection);
    openByName(rows, userName);
    return !rows.isEmpty();
}

void setPassword(Connection *connection, qint64 userId, const QString &storedPassword)
{
    Run::exec(*connection, QStringLiteral("update admin set [Password]=:Password where UserID=:UserID"),
              {{"Password", storedPassword}, {"UserID", userId}});
}

void openRoles(Dataset &rows)
{
    openStatement(rows, QStringLiteral("select * from T_Part"));
}

void openRole(Dataset &rows, qint64 partId)
{
    rows.setSql(QStringLiteral("select * from T_Part where Partid=:PartID"));
    rows.setParameter(QStringLiteral("PartID"), partId);
    rows.open();
}

bool roleExists(Connection *connection, const QString &partName)
{
    return Run::scalar(*connection, QStringLiteral("select count(*) from T_Part where PartName=:PartName"),
                       {{"PartName", partName}})
               .toLongLong() > 0;
}

void openRoleRights(Dataset &rows, const QString &partName)
{
    // Key order is the order the role's rights were written in: the slot order.
    rows.setSql(QStringLiteral("select * from T_PartAuthority where PartName=:PartName order by PartAuthorityID"));
    rows.setParameter(PartNameParameter, partName);
    rows.open();
}

void openRights(Dataset &rows, const QString &userName)
{
    rows.setSql(QStringLiteral("select * from T_UserAuthority where UserName=:UserName order by UserAuthorityID"));
    rows.setParameter(UserNameParameter, userName);
    rows.open();
}

qint64 create(Connection &connection, const NewOperator &newOperator)
{
    return inTransaction(connection, [&] {
        Dataset user(&connection);
        openByName(user, newOperator.userName);
        user.append();
        user.setValue(QStringLiteral("UserName"), newOperator.userName);
        user.setValue(QStringLiteral("Password"), newOperator.storedPassword);
        user.setValue(QStringLiteral("Permit"), newOperator.permit);
        user.setValue(QStringLiteral("PartName"), newOperator.partName);
        user.setValue(QStringLiteral("Remark"), newOperator.remark);
        user.setValue(QStringLiteral("IsUser"), newOperator.isUser);
        user.post();
        const qint64 userId = user.integer(QStringLiteral("UserID"));

        // The role's rows in key order are its slots; copied one after the other they get
        // increasing keys and become the operator's slots 1, 2, ...
        Dataset role(&connection);
        openRoleRights(role, newOperator.partName);
        Dataset rights(&connection);
        openRights(rights, newOperator.userName);
        const int function = role.checkedFieldIndex(QStringLiteral("FunctionName"));
        const int authority = role.checkedFieldIndex(QStringLiteral("Authority"));
        for (int row = 0; row < role.recordCount(); ++row) {
            rights.append();
            rights.setValue(QStringLiteral("UserName"), newOperator.userName);
            rights.setValue(QStringLiteral("FunctionName"), role.value(row, function));
            rights.setValue(QStringLiteral("Authority"), role.value(row, authority));
            rights.post();
        }
        return userId;
    });
}

bool remove(Connection &connection, qint64 userId)
{
    return inTransaction(connection, [&] {
        Dataset user(&connection);
        openById(user, userId);
        // An operator removed meanwhile leaves nothing to delete; rights rows without a
        // name (they belong to no operator) are not taken for his.
        if (user.isEmpty())
            return false;
        const QString userName = user.text(QStringLiteral("UserName"));
        Dataset statement(&connection);
        statement.setSql(QStringLiteral("Delete from Admin where Userid=:UserID"));
        statement.setParameter(UserIdParameter, userId);
        statement.execute();
        statement.setSql(QStringLiteral("delete from T_UserAuthority where UserName=:UserName"));
        statement.setParameter(UserNameParameter, userName);
        statement.execute();
        return true;
    });
}

} // namespace Operators
