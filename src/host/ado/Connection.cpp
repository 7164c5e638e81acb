#include "host/ado/Connection.h"

#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/PasswordMask.h"
#include "host/ado/Recordset.h"
#include "host/ado/SessionPool.h"
#include "host/ado/SqliteSession.h"
#include "host/ado/StatementAdapter.h"

#ifdef PAPERLOOM_HAVE_ODBC
#include "host/ado/odbc/OdbcSession.h"
#endif

namespace paperloom::host::ado {

std::unique_ptr<ProviderSession> OpenProviderSession(const ProviderRoute& route, const std::string& userName,
                                                     const std::string& password) {
    switch (route.kind) {
        case ProviderKind::Sqlite: return std::make_unique<SqliteSession>(route.target);
        case ProviderKind::Odbc:
#ifdef PAPERLOOM_HAVE_ODBC
            return OpenOdbcSession(route.target, userName, password);
#else
            (void)userName;
            (void)password;
            ThrowAdoError(errors::kProviderNotFound, kConnectionSource,
                          "ODBC プロバイダが組み込まれていません: " + route.target);
#endif
    }
    ThrowAdoError(errors::kProviderNotFound, kConnectionSource, "プロバイダが見つかりません。");
}

Connection::~Connection() {
    try {
        Close();
    } catch (...) {
        debuglog::Swallowed("Connection.cpp: Connection::~Connection");
        // Returning the session to the pool failed (out of memory): it is simply closed.
    }
}

void Connection::Open(const std::string& connectionString, const std::string& userName,
                      const std::string& password) {
    if (session_)
        ThrowAdoError(errors::kObjectOpen, kConnectionSource, "オブジェクトが開いている場合は、操作は許可されません。");
    try {
        OpenRoute(RouteConnectionString(connectionString), userName, password);
    } catch (const HostError& error) {
        // Drivers and routing may quote the string they were given; no message shows a password.
        throw HostError(error.Number(), error.Source(), MaskPasswords(error.Description(), {password}),
                        error.HelpFile(), error.HelpContext());
    }
    connectionString_ = connectionString;
}

void Connection::OpenRoute(const ProviderRoute& route, const std::string& userName, const std::string& password) {
    // An in-memory database lives only as long as its session; sharing one through the pool
    // would let a later Open see another connection's data.
    const bool poolable = !(route.kind == ProviderKind::Sqlite && route.target == ":memory:");
    std::string key;
    if (poolable) {
        key = route.Key();
        key.push_back('\0');
        key += userName;
        key.push_back('\0');
        key += password;
        session_ = SessionPool::Instance().Acquire(key, [&] { return OpenProviderSession(route, userName, password); });
    } else {
        session_ = OpenProviderSession(route, userName, password);
    }
    poolKey_ = std::move(key);
}

void Connection::Close() {
    if (!session_) return;
    if (!poolKey_.empty()) {
        SessionPool::Instance().Release(poolKey_, std::move(session_));
    }
    session_.reset();
    poolKey_.clear();
}

ProviderSession& Connection::Session() {
    if (!session_)
        ThrowAdoError(errors::kObjectClosed, kConnectionSource, "オブジェクトが閉じている場合は、操作は許可されません。");
    return *session_;
}

namespace {

// Only statements are adapted; table and procedure names go as they are.
std::string Adapted(const std::string& source, CommandTypeEnum commandType, const ProviderSession& session) {
    const bool isStatement =
        commandType == CommandTypeEnum::adCmdText || commandType == CommandTypeEnum::adCmdUnknown;
    return isStatement ? AdaptStatement(source, session.Dialect()) : source;
}

}  // namespace

ResultSet Connection::Fetch(const std::string& source, CommandTypeEnum commandType) {
    ProviderSession& session = Session();
    return session.Query(Adapted(source, commandType, session), commandType);
}

std::shared_ptr<Recordset> Connection::Execute(const std::string& commandText, long* recordsAffected,
                                               CommandTypeEnum commandType) {
    ProviderSession& session = Session();
    ResultSet rows = session.Execute(Adapted(commandText, commandType, session), commandType);
    if (recordsAffected) *recordsAffected = rows.recordsAffected;
    auto recordset = std::make_shared<Recordset>();
    recordset->OpenResult(std::move(rows));
    return recordset;
}

std::shared_ptr<Recordset> Connection::OpenSchema(SchemaEnum schema) {
    auto recordset = std::make_shared<Recordset>();
    recordset->OpenResult(Session().OpenSchema(schema));
    return recordset;
}

}  // namespace paperloom::host::ado
