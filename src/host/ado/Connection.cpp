#include "host/ado/Connection.h"

#include "host/ado/AdoErrors.h"
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
        // Returning the session to the pool failed (out of memory): it is simply closed.
    }
}

void Connection::Open(const std::string& connectionString, const std::string& userName,
                      const std::string& password) {
    if (session_)
        ThrowAdoError(errors::kObjectOpen, kConnectionSource, "オブジェクトが開いている場合は、操作は許可されません。");
    const ProviderRoute route = RouteConnectionString(connectionString);
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
    connectionString_ = connectionString;
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

ResultSet Connection::Fetch(const std::string& source, CommandTypeEnum commandType) {
    ProviderSession& session = Session();
    // Only statements are adapted; table and procedure names go as they are.
    const bool isStatement =
        commandType == CommandTypeEnum::adCmdText || commandType == CommandTypeEnum::adCmdUnknown;
    return session.Execute(isStatement ? AdaptStatement(source, session.Dialect()) : source, commandType);
}

std::shared_ptr<Recordset> Connection::Execute(const std::string& commandText, long* recordsAffected,
                                               CommandTypeEnum commandType) {
    ResultSet rows = Fetch(commandText, commandType);
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
