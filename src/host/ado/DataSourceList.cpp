#include "host/ado/DataSourceList.h"

#include <algorithm>
#include <cstring>

#ifdef PAPERLOOM_HAVE_ODBC
#include "host/ado/odbc/OdbcHandles.h"
#endif

namespace paperloom::host::ado {

#ifdef PAPERLOOM_HAVE_ODBC
namespace {

// Narrow calls: data-source and driver names are read from the driver manager's ini files,
// which hold UTF-8 here, and the narrow entry points pass those bytes through unchanged.
void AppendDataSources(const odbc::EnvironmentHandle& environment, SQLUSMALLINT first, bool system,
                       std::vector<OdbcDataSourceEntry>& out) {
    SQLCHAR name[SQL_MAX_DSN_LENGTH * 4 + 1];
    SQLCHAR description[1024];
    SQLUSMALLINT direction = first;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT descriptionLength = 0;
        const SQLRETURN rc = SQLDataSources(environment.Get(), direction, name, sizeof name, &nameLength,
                                            description, sizeof description, &descriptionLength);
        if (!SQL_SUCCEEDED(rc)) break;  // SQL_NO_DATA ends the list; an error ends it too
        direction = SQL_FETCH_NEXT;
        OdbcDataSourceEntry entry;
        entry.name = reinterpret_cast<const char*>(name);
        entry.driver = reinterpret_cast<const char*>(description);
        entry.system = system;
        const bool known = std::any_of(out.begin(), out.end(), [&](const auto& e) { return e.name == entry.name; });
        if (!known && !entry.name.empty()) out.push_back(std::move(entry));
    }
}

}  // namespace

std::vector<OdbcDataSourceEntry> ListOdbcDataSources() {
    std::vector<OdbcDataSourceEntry> out;
    const odbc::EnvironmentHandle environment;
    AppendDataSources(environment, SQL_FETCH_FIRST_USER, false, out);
    AppendDataSources(environment, SQL_FETCH_FIRST_SYSTEM, true, out);
    return out;
}

std::vector<OdbcDriverEntry> ListOdbcDrivers() {
    std::vector<OdbcDriverEntry> out;
    const odbc::EnvironmentHandle environment;
    SQLCHAR name[512];
    SQLCHAR attributes[4096];
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc = SQLDrivers(environment.Get(), direction, name, sizeof name, &nameLength, attributes,
                                        sizeof attributes, &attributesLength);
        if (!SQL_SUCCEEDED(rc)) break;
        direction = SQL_FETCH_NEXT;
        OdbcDriverEntry entry;
        entry.name = reinterpret_cast<const char*>(name);
        // "key=value\0key=value\0\0"
        const char* at = reinterpret_cast<const char*>(attributes);
        const char* const end = at + std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(attributesLength, 0)),
                                                           sizeof attributes - 1);
        while (at < end && *at) {
            const std::string pair(at, strnlen(at, static_cast<std::size_t>(end - at)));
            const std::size_t equals = pair.find('=');
            if (equals != std::string::npos) entry.attributes.emplace_back(pair.substr(0, equals), pair.substr(equals + 1));
            at += pair.size() + 1;
        }
        if (!entry.name.empty()) out.push_back(std::move(entry));
    }
    return out;
}

#else

std::vector<OdbcDataSourceEntry> ListOdbcDataSources() { return {}; }
std::vector<OdbcDriverEntry> ListOdbcDrivers() { return {}; }

#endif

}  // namespace paperloom::host::ado
