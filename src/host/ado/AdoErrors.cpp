#include "host/ado/AdoErrors.h"

#include "host/HostError.h"

namespace paperloom::host::ado {

void ThrowAdoError(long number, const std::string& source, const std::string& description) {
    throw HostError(number, source, description);
}

}  // namespace paperloom::host::ado
