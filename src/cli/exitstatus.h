#pragma once

namespace velmor::cli {

// The exit statuses of velmor-sms, as its manual page lists them.
enum ExitStatus : int {
    ExitDone = 0,
    ExitRefused = 1,        // the service refused (a send, a change), or the balance does not cover a send
    ExitUsage = 2,          // a bad option or input: no valid number, unknown sender name, bad date
    ExitUnreachable = 3,    // the service could not be reached or answered nothing usable
    ExitUnknownOutcome = 4, // the reply to a send was lost: the delivery report tells
    ExitLoginRefused = 5,
};

} // namespace velmor::cli
