#pragma once
// Finds out, before connecting, which text calls the named driver takes: the driver library
// behind a "DSN=" or "Driver=" string is looked up in the driver manager's lists and checked
// for wide entry points.

#include "host/ado/odbc/OdbcHandles.h"

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::host::ado::odbc {

// The driver library file the connection string leads to, if the driver manager knows it.
std::optional<std::string> DriverLibraryFor(const EnvironmentHandle& environment,
                                            std::string_view connectionString);

// Utf8 for a library without wide entry points; Wide otherwise, also when in doubt.
TextMode TextModeOfLibrary(const std::string& libraryPath);

TextMode DetectTextMode(const EnvironmentHandle& environment, std::string_view connectionString);

}  // namespace paperloom::host::ado::odbc
