#pragma once
// What the ODBC driver manager knows: the data sources defined for the user and for the
// system, and the installed drivers with their settings. Lists are empty where the program
// was built without ODBC.

#include <string>
#include <utility>
#include <vector>

namespace paperloom::host::ado {

struct OdbcDataSourceEntry {
    std::string name;
    std::string driver;  // the driver's description as the data source names it
    bool system = false;
};

// The user's data sources, then the system's, each in the driver manager's order; a name
// defined in both is listed once, as the user's (the user's definition is the one used).
std::vector<OdbcDataSourceEntry> ListOdbcDataSources();

struct OdbcDriverEntry {
    std::string name;
    // The driver's settings from its installation file (Driver, Setup, FileUsage, ...).
    std::vector<std::pair<std::string, std::string>> attributes;
};

std::vector<OdbcDriverEntry> ListOdbcDrivers();

}  // namespace paperloom::host::ado
