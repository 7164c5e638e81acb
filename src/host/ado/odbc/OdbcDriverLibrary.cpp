#include "host/ado/odbc/OdbcDriverLibrary.h"

#include "host/ado/odbc/OdbcConnectionString.h"
#include "host/AsciiText.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>

namespace paperloom::host::ado::odbc {

namespace {

std::string Text(const SQLCHAR* buffer, std::size_t capacity) {
    const auto* text = reinterpret_cast<const char*>(buffer);
    return std::string(text, strnlen(text, capacity));
}

// The driver (name or library path) a data source name is defined with.
std::optional<std::string> DriverOfDataSource(const EnvironmentHandle& environment,
                                              std::string_view dataSource) {
    std::array<SQLCHAR, 512> name{};
    std::array<SQLCHAR, 1024> driver{};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT driverLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        const SQLRETURN rc = SQLDataSources(environment.Get(), direction, name.data(),
                                            static_cast<SQLSMALLINT>(name.size()), &nameLength,
                                            driver.data(), static_cast<SQLSMALLINT>(driver.size()),
                                            &driverLength);
        if (!SQL_SUCCEEDED(rc)) return std::nullopt;
        if (text::EqualsNoCase(Text(name.data(), name.size()), dataSource))
            return Text(driver.data(), driver.size());
    }
}

// The "Driver=" attribute (the library path) of an installed driver.
std::optional<std::string> LibraryOfDriver(const EnvironmentHandle& environment,
                                           std::string_view driverName) {
    std::array<SQLCHAR, 512> description{};
    std::array<SQLCHAR, 4096> attributes{};
    SQLSMALLINT descriptionLength = 0;
    SQLSMALLINT attributesLength = 0;
    for (SQLUSMALLINT direction = SQL_FETCH_FIRST;; direction = SQL_FETCH_NEXT) {
        attributes.fill(0);
        const SQLRETURN rc = SQLDrivers(environment.Get(), direction, description.data(),
                                        static_cast<SQLSMALLINT>(description.size()),
                                        &descriptionLength, attributes.data(),
                                        static_cast<SQLSMALLINT>(attributes.size() - 2),
                                        &attributesLength);
        if (!SQL_SUCCEEDED(rc)) return std::nullopt;
        if (!text::EqualsNoCase(Text(description.data(), description.size()), driverName)) continue;
        // Attributes come as "key=value\0key=value\0\0".
        const char* entry = reinterpret_cast<const char*>(attributes.data());
        const char* end = entry + attributes.size() - 2;
        while (entry < end && *entry != '\0') {
            const std::string_view pair(entry, strnlen(entry, static_cast<std::size_t>(end - entry)));
            const auto equals = pair.find('=');
            if (equals != std::string_view::npos && text::EqualsNoCase(pair.substr(0, equals), "Driver"))
                return std::string(pair.substr(equals + 1));
            entry += pair.size() + 1;
        }
        return std::nullopt;
    }
}

}  // namespace

std::optional<std::string> DriverLibraryFor(const EnvironmentHandle& environment,
                                            std::string_view connectionString) {
    std::optional<std::string> driver = FindAttribute(connectionString, "Driver");
    if (!driver) {
        const auto dataSource = FindAttribute(connectionString, "DSN");
        if (!dataSource) return std::nullopt;
        driver = DriverOfDataSource(environment, *dataSource);
        if (!driver) return std::nullopt;
    }
    if (driver->find('/') != std::string::npos) return driver;  // already a library path
    return LibraryOfDriver(environment, *driver);
}

TextMode TextModeOfLibrary(const std::string& libraryPath) {
    static std::mutex mutex;
    static std::map<std::string, TextMode> known;
    const std::lock_guard lock(mutex);
    if (const auto found = known.find(libraryPath); found != known.end()) return found->second;
    // The library stays loaded: the driver manager loads it next anyway, and unloading a
    // driver loses whatever its initialisers allocated.
    void* library = dlopen(libraryPath.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (library == nullptr) return TextMode::Wide;
    const bool wide = dlsym(library, "SQLDriverConnectW") != nullptr ||
                      dlsym(library, "SQLExecDirectW") != nullptr;
    const TextMode mode = wide ? TextMode::Wide : TextMode::Utf8;
    known.emplace(libraryPath, mode);
    return mode;
}

TextMode DetectTextMode(const EnvironmentHandle& environment, std::string_view connectionString) {
    const auto library = DriverLibraryFor(environment, connectionString);
    return library ? TextModeOfLibrary(*library) : TextMode::Wide;
}

}  // namespace paperloom::host::ado::odbc
