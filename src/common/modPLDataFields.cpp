#include "common/modPLDataFields.h"

#include "common/modPLFunction.h"
#include "host/ado/Recordset.h"

namespace paperloom::modPLDataFields {

std::vector<std::string> DataFieldNames(const std::shared_ptr<host::ado::Connection>& conTarget,
                                        std::string_view strRecordSourceType, std::string_view strRecordSource) {
    std::vector<std::string> names;
    if (!conTarget || strRecordSourceType.empty() || strRecordSource.empty()) return names;
    try {
        const auto records = modPLFunction::OpenRecordset(conTarget, strRecordSourceType, strRecordSource, "", "", "", "");
        if (!records) return names;
        const auto fields = records->Fields();
        for (long i = 0; i < fields.Count(); ++i) names.push_back(fields.Item(i).Name());
        records->Close();
    } catch (...) {
        // The user can still type a field name.
        names.clear();
    }
    return names;
}

}  // namespace paperloom::modPLDataFields
