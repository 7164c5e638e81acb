#include "host/ado/ConnectionRouter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>

#include "host/ado/AdoErrors.h"
#include "host/ado/ConnectionString.h"
#include "host/ado/DataLinkFile.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void ThrowRouting(long number, const std::string& description) {
    ThrowAdoError(number, kConnectionSource, description);
}

enum class FileFormat { Missing, Unreadable, Sqlite, Access, Unknown };

FileFormat SniffDatabaseFile(const fs::path& path) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return FileFormat::Missing;
    if (!fs::is_regular_file(path, ec)) return FileFormat::Unreadable;
    std::ifstream in(path, std::ios::binary);
    if (!in) return FileFormat::Unreadable;
    std::array<char, 32> head{};
    in.read(head.data(), head.size());
    const std::string_view bytes(head.data(), static_cast<std::size_t>(in.gcount()));
    if (bytes.size() >= 16 && bytes.substr(0, 16) == std::string_view("SQLite format 3\0", 16))
        return FileFormat::Sqlite;
    if (bytes.size() >= 19 && (bytes.substr(4, 15) == "Standard Jet DB" || bytes.substr(4, 15) == "Standard ACE DB"))
        return FileFormat::Access;
    if (bytes.empty()) return FileFormat::Unknown;
    return FileFormat::Unknown;
}

ProviderRoute RouteDatabaseFile(const std::string& path, const RouterEnvironment& env) {
    if (path.empty()) ThrowRouting(errors::kProviderFailed, "データベース ファイルが指定されていません。");
    switch (SniffDatabaseFile(path)) {
        case FileFormat::Missing:
            ThrowRouting(errors::kProviderFailed, "データベース ファイルが見つかりません: " + path);
        case FileFormat::Unreadable:
            ThrowRouting(errors::kProviderFailed, "データベース ファイルを読めません: " + path);
        case FileFormat::Sqlite: return {ProviderKind::Sqlite, path};
        case FileFormat::Access: {
            const std::string driver = FindInstalledOdbcDriver("mdb", env);
            if (driver.empty())
                ThrowRouting(errors::kProviderNotFound,
                             "Access 形式のデータベース ファイルを開くには MDB 用の ODBC ドライバ "
                             "(odbc-mdbtools パッケージ) が必要ですが、インストールされていません: " +
                                 path);
            return {ProviderKind::Odbc, "Driver={" + driver + "};DBQ=" + path};
        }
        case FileFormat::Unknown: break;
    }
    ThrowRouting(errors::kProviderFailed,
                 "データベース ファイルの形式を認識できません (SQLite または Access 形式ではありません): " + path);
}

// The ODBC string inside an OLE DB string for the ODBC provider: its Extended Properties, or the
// data source as a DSN, with the OLE DB names of the login keys turned into ODBC's.
std::string OdbcStringFromOleDb(const ConnectionString& parts) {
    std::string odbc = parts.Get("Extended Properties").value_or("");
    const auto inner = ConnectionString::Parse(odbc);
    auto append = [&](const std::string& key, const std::string& value) {
        if (inner.Has(key)) return;
        if (!odbc.empty() && odbc.back() != ';') odbc.push_back(';');
        odbc += key + "=" + value;
    };
    if (auto dataSource = parts.Get("Data Source"); dataSource && !dataSource->empty() && !inner.Has("Driver") &&
                                                    !inner.Has("FILEDSN"))
        append("DSN", *dataSource);
    if (auto catalog = parts.Get("Initial Catalog"); catalog && !catalog->empty()) append("DATABASE", *catalog);
    if (auto user = parts.Get("User ID"); user && !user->empty()) append("UID", *user);
    if (auto password = parts.Get("Password"); password && !password->empty()) append("PWD", *password);
    // Keys already in ODBC form (DSN=, Driver=, UID= ...) written beside the provider.
    for (const auto& entry : parts.Entries()) {
        static constexpr std::string_view kOleDbKeys[] = {"Provider", "Persist Security Info", "Extended Properties",
                                                          "Data Source", "Initial Catalog", "User ID", "Password"};
        const bool oleDb = std::any_of(std::begin(kOleDbKeys), std::end(kOleDbKeys),
                                       [&](std::string_view k) { return CompareTextNoCase(k, entry.key) == 0; });
        if (!oleDb) append(entry.key, entry.value);
    }
    if (odbc.empty()) ThrowRouting(errors::kInvalidArgument, "ODBC のデータ ソースが指定されていません。");
    return odbc;
}

ProviderRoute Route(std::string_view text, const RouterEnvironment& env, const fs::path& baseFolder, int depth) {
    if (text::Trim(text).empty())
        ThrowRouting(errors::kInvalidArgument, "接続文字列が空です。");
    const auto parts = ConnectionString::Parse(text);

    // A bare data-source name: no key=value pairs at all.
    if (text.find('=') == std::string_view::npos) {
        const auto& entries = parts.Entries();
        const std::string name = entries.empty() ? std::string() : entries.front().key;
        if (entries.size() != 1 || name.empty())
            ThrowRouting(errors::kInvalidArgument, "接続文字列が不正です: " + MaskPasswords(text));
        return {ProviderKind::Odbc, "DSN=" + name};
    }

    if (auto file = parts.Get("File Name")) {
        if (depth > 0) ThrowRouting(errors::kInvalidArgument, "データ リンク ファイルが入れ子になっています: " + *file);
        fs::path linkPath(*file);
        if (linkPath.is_relative()) linkPath = baseFolder / linkPath;
        const std::string inner = ReadDataLinkFile(linkPath);
        return Route(inner, env, linkPath.parent_path(), depth + 1);
    }

    auto resolve = [&](const std::string& path) {
        if (path.empty() || path == ":memory:") return path;
        fs::path p(path);
        return p.is_relative() && !baseFolder.empty() ? (baseFolder / p).string() : path;
    };

    if (auto provider = parts.Get("Provider")) {
        const std::string name = text::ToLower(*provider);
        const std::string dataSource = parts.Get("Data Source").value_or("");
        if (name.find("jet") != std::string::npos || name.find("ace.oledb") != std::string::npos)
            return RouteDatabaseFile(resolve(dataSource), env);
        if (name.rfind("sqlite", 0) == 0) {
            if (dataSource.empty())
                ThrowRouting(errors::kInvalidArgument, "Data Source が指定されていません: " + MaskPasswords(text));
            if (dataSource == ":memory:") return {ProviderKind::Sqlite, dataSource};
            const std::string path = resolve(dataSource);
            if (SniffDatabaseFile(path) == FileFormat::Missing)
                ThrowRouting(errors::kProviderFailed, "データベース ファイルが見つかりません: " + path);
            return {ProviderKind::Sqlite, path};
        }
        if (name.rfind("msdasql", 0) == 0) return {ProviderKind::Odbc, OdbcStringFromOleDb(parts)};
        ThrowRouting(errors::kProviderNotFound,
                     "プロバイダが見つかりません。正しくインストールされていない可能性があります: " + *provider);
    }

    if (parts.Has("DSN") || parts.Has("Driver") || parts.Has("FILEDSN"))
        return {ProviderKind::Odbc, std::string(text)};

    ThrowRouting(errors::kInvalidArgument,
                 "接続文字列にデータ ソースがありません (DSN、Driver、Provider、File Name のいずれも指定されていません): " +
                     MaskPasswords(text));
}

}  // namespace

std::string FindInstalledOdbcDriver(std::string_view namePart, const RouterEnvironment& env) {
    fs::path ini = env.odbcinstIni;
    if (ini.empty()) {
        const char* sysIni = std::getenv("ODBCSYSINI");
        ini = sysIni && *sysIni ? fs::path(sysIni) / "odbcinst.ini" : fs::path("/etc/odbcinst.ini");
    }
    std::ifstream in(ini);
    std::string line;
    while (std::getline(in, line)) {
        const auto open = line.find_first_not_of(" \t");
        if (open == std::string::npos || line[open] != '[') continue;
        const auto close = line.find(']', open);
        if (close == std::string::npos) continue;
        const std::string section = line.substr(open + 1, close - open - 1);
        if (CompareTextNoCase(section, "ODBC") == 0) continue;  // driver-manager options
        if (text::ContainsNoCase(section, namePart)) return section;
    }
    return {};
}

ProviderRoute RouteConnectionString(std::string_view connectionString, const RouterEnvironment& environment) {
    return Route(connectionString, environment, fs::path(), 0);
}

}  // namespace paperloom::host::ado
