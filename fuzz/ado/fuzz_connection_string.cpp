// Connection strings are parsed and routed, and the input is also read as a data link file.

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/HostError.h"
#include "host/ado/ConnectionRouter.h"
#include "host/ado/ConnectionString.h"
#include "host/ado/DataLinkFile.h"

using namespace paperloom::host::ado;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto parsed = ConnectionString::Parse(text);
    (void)ConnectionString::Parse(parsed.Join());
    (void)parsed.Get("Provider");
    const RouterEnvironment env{"/nonexistent/odbcinst.ini"};
    try {
        (void)RouteConnectionString(text, env);
    } catch (const paperloom::host::HostError&) {
    }
    try {
        (void)ParseDataLinkText(text, "fuzz.udl");
    } catch (const paperloom::host::HostError&) {
    }
    return 0;
}
