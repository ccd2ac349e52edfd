#pragma once

// A switch that makes the store layer fail on purpose, so that every all-or-nothing
// operation can be tested with a failure at each of its statements in turn:
//
//     for (int n = 1;; ++n) {
//         FaultInjection::failAtStatement(n);
//         bool failed = !tryOperation();
//         if (FaultInjection::statementsSeen() < n) break; // ran to the end unharmed
//         check that nothing partial was stored
//     }
//     FaultInjection::disarm();
//
// A statement is counted when it first runs: the first step of a Statement after it
// was prepared or reset (which covers Connection::exec and a Dataset re-running a
// kept statement), and each Connection::execScript call. BEGIN, COMMIT and ROLLBACK
// are not counted, so a failed operation can still roll back. Disarmed, the check
// costs one relaxed atomic load. Process-wide, safe from any thread.
namespace FaultInjection {
void failAtStatement(int n); // the n-th statement (1-based) executed/prepared from now on throws DbError("injected fault")
void disarm();
int statementsSeen();         // statements counted since the last failAtStatement/disarm (for "run once per position" loops)
}
