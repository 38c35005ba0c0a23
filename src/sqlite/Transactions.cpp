// Transactions, savepoints and read transactions on a connection.
#include "sqlite/Connection.h"
#include "sqlite/DbError.h"

namespace db {

Transaction::Transaction(Connection& connection) : connection_(connection) {
    connection_.execute("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done_) {
        try {
            connection_.execute("ROLLBACK");
        } catch (const DbError&) {
            // The engine already rolled back (for instance after a full disk).
        }
    }
}

void Transaction::commit() {
    connection_.execute("COMMIT");
    done_ = true;
}

// Outermost, it is a transaction that takes the file for writing at once (waiting for
// another program as any write does) and ends whole, committed or rolled back: a savepoint
// there could fail to commit and leave the transaction open.
Savepoint::Savepoint(Connection& connection)
    : connection_(connection), outermost_(!connection.inTransaction()) {
    connection_.execute(outermost_ ? "BEGIN IMMEDIATE" : "SAVEPOINT quorvane_unit");
}

Savepoint::~Savepoint() {
    if (!done_) {
        try {
            if (outermost_) {
                connection_.execute("ROLLBACK");
            } else {
                connection_.execute("ROLLBACK TO quorvane_unit");
                connection_.execute("RELEASE quorvane_unit");
            }
        } catch (const DbError&) {
            // The engine already rolled the transaction back.
        }
    }
}

void Savepoint::release() {
    connection_.execute(outermost_ ? "COMMIT" : "RELEASE quorvane_unit");
    done_ = true;
}

ReadTransaction::ReadTransaction(Connection& connection) : connection_(connection) {
    connection_.execute("BEGIN");
}

ReadTransaction::~ReadTransaction() {
    try {
        connection_.execute("COMMIT");  // a read leaves nothing to keep or undo
    } catch (const DbError&) {
        // The engine ended the transaction already.
    }
}

}  // namespace db
