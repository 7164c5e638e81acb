// Property text: reading never fails, a value set is the value read, deletes always shrink.
#include "FuzzInput.h"
#include "common/clsPLProperty.h"
#include "host/HostError.h"

#include <algorithm>
#include <cctype>

using paperloom::fuzz::Check;

namespace {

// Writers only ever use plain names as keys.
bool IsPlainKey(const std::string& key) {
    return !key.empty() && std::all_of(key.begin(), key.end(), [](unsigned char c) { return std::isalnum(c); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pieces = paperloom::fuzz::Pieces(data, size, 3);
    const std::string& text = pieces[0];
    const std::string& key = pieces[1];
    const std::string& value = pieces[2];
    const paperloom::clsPLProperty property;

    (void)property.GetPropertyFromText(text, key, "default");

    std::string deleted = text;
    property.DeletePropertyFromText(deleted, key);
    Check(deleted.size() <= text.size());
    std::string deletedAll = text;
    property.DeletePropertiesFromText(deletedAll, key);
    Check(deletedAll.size() <= text.size());

    std::string written = text;
    try {
        property.SetPropertyToText(written, key, value);
    } catch (const paperloom::host::HostError&) {
        Check(value.find('"') != std::string::npos);
        return 0;
    }
    if (IsPlainKey(key)) {
        Check(property.GetPropertyFromText(written, key, "\x02") == value);
        std::string again = written;
        property.DeletePropertyFromText(again, key);
        Check(again.size() < written.size());
    }
    return 0;
}
