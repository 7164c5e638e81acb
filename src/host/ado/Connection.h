#pragma once
// An open link to one database, made from a connection string, user name and password.
// Sessions come from and return to the process-wide pool.

#include <memory>
#include <string>

#include "host/ado/ConnectionRouter.h"
#include "host/ado/DataTypes.h"
#include "host/ado/Provider.h"

namespace paperloom::host::ado {

class Recordset;

class Connection {
public:
    Connection() = default;
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Throws HostError: 3705 when already open, the routing error, or the database's error,
    // with every password in its description masked.
    void Open(const std::string& connectionString, const std::string& userName = {},
              const std::string& password = {});
    ObjectStateEnum State() const noexcept {
        return session_ ? ObjectStateEnum::adStateOpen : ObjectStateEnum::adStateClosed;
    }
    // Returns the session to the pool. Recordsets already opened keep their rows.
    void Close();

    // Runs a statement (adapted to the database's dialect), a table or a procedure, writing
    // included: the one way to change a database (record sources are opened read-only). A
    // statement that returns no rows gives a closed recordset; `recordsAffected` receives the
    // count the database reports (-1 when it reports none).
    std::shared_ptr<Recordset> Execute(const std::string& commandText, long* recordsAffected = nullptr,
                                       CommandTypeEnum commandType = CommandTypeEnum::adCmdText);
    std::shared_ptr<Recordset> OpenSchema(SchemaEnum schema);

    const std::string& ConnectionString() const noexcept { return connectionString_; }

    // The read-only fetch behind Recordset::Open: one statement that only reads, a table or a
    // procedure (ProviderSession::Query); anything that would write is refused.
    ResultSet Fetch(const std::string& source, CommandTypeEnum commandType);
    ProviderSession& Session();

private:
    void OpenRoute(const ProviderRoute& route, const std::string& userName, const std::string& password);

    std::string connectionString_;
    std::string poolKey_;
    std::unique_ptr<ProviderSession> session_;
};

// Opens the session a route names (not pooled).
std::unique_ptr<ProviderSession> OpenProviderSession(const ProviderRoute& route, const std::string& userName,
                                                     const std::string& password);

}  // namespace paperloom::host::ado
