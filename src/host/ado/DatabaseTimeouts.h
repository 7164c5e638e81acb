#pragma once
// How long a database may keep the program waiting. A server that stops answering, or a file
// another program holds locked, then ends in an error instead of a report that never finishes.

#include <chrono>

namespace paperloom::host::ado {

struct DatabaseTimeouts {
    // Logging in to a database server.
    std::chrono::seconds login{30};
    // One statement on a database server.
    std::chrono::seconds query{300};
    // Waiting for a SQLite file another program has locked.
    std::chrono::milliseconds sqliteLockWait{5000};

    // The defaults, with PAPERLOOM_LOGIN_TIMEOUT and PAPERLOOM_QUERY_TIMEOUT (whole seconds)
    // taken when set to a positive number; the SQLite wait is never longer than the query limit.
    static DatabaseTimeouts FromEnvironment();
};

}  // namespace paperloom::host::ado
