#pragma once
// Opens a database through the ODBC driver manager: a data source name ("DSN=name") or a
// driver connection string ("Driver={...};..."), logged in with the given user and password
// unless the string names its own.

#include "host/ado/Provider.h"

#include <memory>
#include <string>

namespace paperloom::host::ado {

// Throws HostError (the driver's message and SQLSTATE in the description) when the data source
// is unknown, unreachable or refuses the login.
std::unique_ptr<ProviderSession> OpenOdbcSession(const std::string& odbcConnectionString,
                                                 const std::string& user,
                                                 const std::string& password);

}  // namespace paperloom::host::ado
