#include "host/ado/odbc/OdbcText.h"

#include "host/HostError.h"
#include "host/ado/AdoErrors.h"

#include <unicode/ustring.h>
#include <unicode/utypes.h>

#include <climits>

namespace paperloom::host::ado::odbc {

WideString ToWide(std::string_view utf8) {
    if (utf8.empty()) return {};
    if (utf8.size() > static_cast<std::size_t>(INT32_MAX / 2))
        throw HostError(errors::kInvalidArgument, kConnectionSource, "Statement text is too long.");
    std::u16string buffer(utf8.size(), u'\0');  // UTF-16 never needs more units than UTF-8 bytes
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(buffer.data(), static_cast<int32_t>(buffer.size()), &length, utf8.data(),
                  static_cast<int32_t>(utf8.size()), &status);
    if (U_FAILURE(status))
        throw HostError(errors::kInvalidArgument, kConnectionSource,
                              "The text sent to the data source is not valid UTF-8.");
    return WideString(buffer.begin(), buffer.begin() + length);
}

std::string FromWide(const SQLWCHAR* text, std::size_t length) {
    if (length == 0) return {};
    const std::u16string units(text, text + length);
    std::string out(units.size() * 3, '\0');  // at most three bytes per UTF-16 unit
    int32_t written = 0;
    int32_t substitutions = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &written, units.data(),
                       static_cast<int32_t>(units.size()), 0xFFFD, &substitutions, &status);
    if (U_FAILURE(status)) return {};
    out.resize(static_cast<std::size_t>(written));
    return out;
}

}  // namespace paperloom::host::ado::odbc
