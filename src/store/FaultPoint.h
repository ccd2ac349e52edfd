#pragma once

// Internal to the store layer: where Connection and Statement report a statement
// about to run (see FaultInjection.h).
namespace FaultInjection {
// Throws DbError("injected fault") when this is the statement the switch is armed for.
void statementStarting();
}
