#include "OdbcTestConfig.h"

#include "PgTestServer.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

// The ODBC drivers and the driver manager keep memory of their own that they never free once
// the driver manager unloads a driver; the leak checker of sanitizer builds is told so here,
// in every test program that sets up ODBC.
extern "C" __attribute__((used, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libsqlite3odbc\n"
           "leak:psqlodbcw.so\n"
           "leak:psqlodbca.so\n"
           "leak:libodbcinst.so\n"
           "leak:libpq.so\n";
}

namespace paperloom::test {

namespace {

const char* MultiarchTriplet() {
#if defined(__x86_64__)
    return "x86_64-linux-gnu";
#elif defined(__aarch64__)
    return "aarch64-linux-gnu";
#elif defined(__i386__)
    return "i386-linux-gnu";
#elif defined(__arm__)
    return "arm-linux-gnueabihf";
#elif defined(__powerpc64__)
    return "powerpc64le-linux-gnu";
#elif defined(__s390x__)
    return "s390x-linux-gnu";
#else
    return "";
#endif
}

std::optional<std::string> GetEnv(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void RestoreEnv(const char* name, const std::optional<std::string>& value) {
    if (value)
        setenv(name, value->c_str(), 1);
    else
        unsetenv(name);
}

}  // namespace

std::optional<fs::path> OdbcTestConfig::FindDriverLibrary(std::string_view fileName) {
    std::vector<fs::path> folders;
    const std::string triplet = MultiarchTriplet();
    if (!triplet.empty()) folders.push_back(fs::path("/usr/lib") / triplet / "odbc");
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/usr/lib", ec))
        if (entry.is_directory(ec) && fs::exists(entry.path() / "odbc", ec))
            folders.push_back(entry.path() / "odbc");
    folders.insert(folders.end(), {"/usr/lib/odbc", "/usr/lib64", "/usr/local/lib",
                                   "/usr/local/lib/odbc"});
    for (const auto& folder : folders)
        if (fs::exists(folder / fileName, ec)) return folder / fileName;
    return std::nullopt;
}

OdbcTestConfig::OdbcTestConfig() {
    // The SQLite driver loads and unloads the installer library around every connection; held
    // loaded here, what it keeps stays attributable for the leak checker. The library then
    // caches what it read, which is why a data source is never redefined (AddDataSource).
    static void* const installer = dlopen("libodbcinst.so.2", RTLD_LAZY | RTLD_GLOBAL);
    (void)installer;
    std::string pattern = (fs::temp_directory_path() / "paperloom-odbc-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    directory_ = pattern;

    if (auto library = FindDriverLibrary("libsqlite3odbc.so")) sqliteDriver_ = *library;
    if (auto library = FindDriverLibrary("psqlodbcw.so")) pgDriver_ = *library;
    {
        std::ofstream drivers(directory_ / "odbcinst.ini", std::ios::trunc);
        if (HasSqliteDriver())
            drivers << "[" << kSqliteDriver << "]\nDescription=SQLite3 ODBC Driver\nDriver="
                    << sqliteDriver_.string() << "\nThreading=2\n\n";
        if (HasPgDriver())
            drivers << "[" << kPgDriver << "]\nDescription=PostgreSQL ODBC driver (Unicode)\n"
                    << "Driver=" << pgDriver_.string() << "\n\n";
    }
    WriteDataSources();
    previousSysIni_ = GetEnv("ODBCSYSINI");
    previousIni_ = GetEnv("ODBCINI");
    setenv("ODBCSYSINI", directory_.c_str(), 1);
    setenv("ODBCINI", (directory_ / "odbc.ini").c_str(), 1);
}

OdbcTestConfig::~OdbcTestConfig() {
    RestoreEnv("ODBCSYSINI", previousSysIni_);
    RestoreEnv("ODBCINI", previousIni_);
    std::error_code ec;
    fs::remove_all(directory_, ec);
}

void OdbcTestConfig::AddDataSource(const std::string& name, const std::string& driver,
                                   const std::map<std::string, std::string>& attributes) {
    auto definition = attributes;
    definition["Driver"] = driver;
    if (const auto known = dataSources_.find(name); known != dataSources_.end()) {
        if (known->second == definition) return;
        throw std::logic_error("ODBC data source " + name +
                               " is already defined differently; use a new name");
    }
    dataSources_.emplace(name, std::move(definition));
    WriteDataSources();
}

void OdbcTestConfig::AddSqliteDataSource(const std::string& name, const fs::path& database) {
    AddDataSource(name, kSqliteDriver, {{"Database", database.string()}, {"Timeout", "2000"}});
}

void OdbcTestConfig::AddPgDataSource(const std::string& name, const PgTestServer& server) {
    AddDataSource(name, kPgDriver,
                  {{"Servername", PgTestServer::kHost},
                   {"Port", std::to_string(server.Port())},
                   {"Database", PgTestServer::kDatabase},
                   {"Username", PgTestServer::kUser},
                   {"BoolsAsChar", "0"}});
}

void OdbcTestConfig::WriteDataSources() const {
    // Written whole and renamed so that a reader never sees half a file.
    const fs::path temporary = directory_ / "odbc.ini.new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const auto& [name, attributes] : dataSources_) {
            out << "[" << name << "]\n";
            for (const auto& [key, value] : attributes) out << key << "=" << value << "\n";
            out << "\n";
        }
        if (!out) throw std::runtime_error("cannot write the test odbc.ini");
    }
    fs::rename(temporary, directory_ / "odbc.ini");
}

OdbcTestConfig& SharedOdbcTestConfig() {
    static const auto config = std::make_unique<OdbcTestConfig>();
    return *config;
}

}  // namespace paperloom::test
