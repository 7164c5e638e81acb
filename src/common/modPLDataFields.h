#pragma once
// The field list of a record source, for the field boxes of the filter, sort and find
// dialogs: the record source is opened read-only once and the names of its columns taken.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/ado/Connection.h"

namespace paperloom::modPLDataFields {

// Empty without a connection, with an empty type or source, or when it does not open.
std::vector<std::string> DataFieldNames(const std::shared_ptr<host::ado::Connection>& conTarget,
                                        std::string_view strRecordSourceType, std::string_view strRecordSource);

}  // namespace paperloom::modPLDataFields
