// Connections and recordsets opened from a template's data-source and record-source settings.

#include "common/modPLFunction.h"

#include "common/SettingTypes.h"
#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "host/ado/AdoErrors.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/word/Document.h"

namespace paperloom::modPLFunction {
namespace {

using host::ado::CommandTypeEnum;
using host::ado::Connection;
using host::ado::Recordset;

// The platform's "unspecified error" (E_FAIL), for failures that are not the host's error object.
constexpr long kUnspecifiedError = host::ado::errors::kProviderFailed;

}  // namespace

ConnectionAttempt TryOpenConnection(std::string_view strDataSourceType, std::string_view strDataSource,
                                    std::string_view strUserName, std::string_view strPassword,
                                    std::string_view strDocumentFolder) {
    const std::string connectionString = MakeConnectionString(strDataSourceType, strDataSource);
    if (connectionString.empty()) {
        return {};
    }
    try {
        auto connection = std::make_shared<Connection>();
        connection->Open(ResolveDataSourcePath(connectionString, strDocumentFolder, GetDefaultFolder()),
                         std::string(strUserName), std::string(strPassword));
        return {std::move(connection), std::nullopt};
    } catch (const host::HostError& error) {
        return {nullptr, error};
    } catch (const std::exception& error) {
        return {nullptr, host::HostError(kUnspecifiedError, "Paperloom", error.what())};
    }
}

std::shared_ptr<Connection> OpenConnection(std::string_view strDataSourceType, std::string_view strDataSource,
                                           std::string_view strUserName, std::string_view strPassword,
                                           std::string_view strDocumentFolder) {
    return TryOpenConnection(strDataSourceType, strDataSource, strUserName, strPassword, strDocumentFolder)
        .connection;
}

std::shared_ptr<Connection> ConnectHeaderDataSource(word::Document& docTarget) {
    const clsPLProperty property;
    const auto read = [&](std::string_view key) { return property.GetDocVariable(key, docTarget, ""); };
    return OpenConnection(read(modPLConst::PROP_DATA_SOURCE_TYPE), read(modPLConst::PROP_DATA_SOURCE),
                          read(modPLConst::PROP_USER_NAME), read(modPLConst::PROP_PASSWORD), docTarget.Path());
}

RecordsetAttempt TryOpenRecordset(const std::shared_ptr<Connection>& connection,
                                  std::string_view strRecordSourceType, std::string_view strRecordSource,
                                  std::string_view strRSWhere, std::string_view strRSOrder,
                                  std::string_view strFilter, std::string_view strSort) {
    using settingtypes::RecordSourceType;
    if (!connection || strRecordSource.empty() || !settingtypes::ParseRecordSourceType(strRecordSourceType)) {
        return {};
    }
    try {
        std::string type(strRecordSourceType);
        // A procedure's rows cannot take a WHERE or ORDER BY: its recordset filters and sorts.
        const bool onRecordset = settingtypes::ParseRecordSourceType(type) == RecordSourceType::StoredProcedure ||
                                 IsExecuteStatement(strRecordSource);
        const std::string statement =
            onRecordset ? MakeRecordSourceStatement(type, strRecordSource, strRSWhere, strRSOrder, "", "")
                        : MakeRecordSourceStatement(type, strRecordSource, strRSWhere, strRSOrder, strFilter, strSort);
        auto recordset = std::make_shared<Recordset>();
        recordset->SetCursorLocation(host::ado::CursorLocationEnum::adUseClient);
        recordset->Open(statement, connection, host::ado::CursorTypeEnum::adOpenStatic,
                        host::ado::LockTypeEnum::adLockReadOnly,
                        static_cast<CommandTypeEnum>(*settingtypes::ParseRecordSourceType(type)));
        if (recordset->State() != host::ado::ObjectStateEnum::adStateOpen) {
            return {};
        }
        if (onRecordset) {
            if (!strFilter.empty()) recordset->SetFilter(std::string(strFilter));
            if (!strSort.empty()) recordset->SetSort(std::string(strSort));
        }
        return {std::move(recordset), std::nullopt};
    } catch (const host::HostError& error) {
        return {nullptr, error};
    } catch (const std::exception& error) {
        return {nullptr, host::HostError(kUnspecifiedError, "Paperloom", error.what())};
    }
}

std::shared_ptr<Recordset> OpenRecordset(const std::shared_ptr<Connection>& connection,
                                         std::string_view strRecordSourceType, std::string_view strRecordSource,
                                         std::string_view strRSWhere, std::string_view strRSOrder,
                                         std::string_view strFilter, std::string_view strSort) {
    return TryOpenRecordset(connection, strRecordSourceType, strRecordSource, strRSWhere, strRSOrder, strFilter,
                            strSort)
        .recordset;
}

std::shared_ptr<Recordset> OpenHeaderRecordset(const std::shared_ptr<Connection>& connection,
                                               word::Document& docTarget) {
    const clsPLProperty property;
    const auto read = [&](std::string_view key) { return property.GetDocVariable(key, docTarget, ""); };
    return OpenRecordset(connection, read(modPLConst::PROP_RECORD_SOURCE_TYPE), read(modPLConst::PROP_RECORD_SOURCE),
                         read(modPLConst::PROP_RS_WHERE), read(modPLConst::PROP_RS_ORDER),
                         read(modPLConst::PROP_HEAD_FILTER), read(modPLConst::PROP_HEAD_SORT));
}

}  // namespace paperloom::modPLFunction
