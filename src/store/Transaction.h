#pragma once

#include "Connection.h"
#include "DbError.h"

// Runs work inside one transaction on the connection: committed when the work
// returns, rolled back when it throws. tryInTransaction() reports a database failure
// as false (the caller shows its own message, and may ask failedKind which failure it
// was); other exceptions pass on after the rollback.
template <typename Work>
bool tryInTransaction(Connection &connection, Work &&work, DbError::Kind *failedKind = nullptr)
{
    connection.begin();
    try {
        work();
        connection.commit();
        return true;
    } catch (const DbError &error) {
        connection.rollback();
        if (failedKind)
            *failedKind = error.kind();
        return false;
    } catch (...) {
        connection.rollback();
        throw;
    }
}
