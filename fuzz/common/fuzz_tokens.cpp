// Tokenizers and the statement, code and value routines built on them.
#include "FuzzInput.h"
#include "common/ValueText.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"

using paperloom::fuzz::Check;
namespace fn = paperloom::modPLFunction;
namespace code = paperloom::modPLFieldCode;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pieces = paperloom::fuzz::Pieces(data, size, 2);
    const std::string& text = pieces[0];
    const std::string& extra = pieces[1];

    std::vector<std::string> tokens;
    const long count = fn::SplitTokens(text, tokens, extra);
    Check(count >= 0);
    if (count > 0) {
        Check(static_cast<long>(tokens.size()) == count);
        for (const auto& token : tokens) {
            Check(!token.empty());
        }
    }

    std::vector<std::string> kept;
    if (fn::SplitTokensKeepDelimiters(text, kept, extra) > 0) {
        std::string joined;
        for (const auto& token : kept) {
            Check(!token.empty());
            joined += token;
        }
        Check(joined == text);
    }

    (void)fn::AddFilterToStatement(text, "F = 1");
    (void)fn::AddSortToStatement(text, "F");
    (void)fn::GetTableNameFromStatement(text);
    std::string type = extra;
    (void)fn::MakeRecordSourceStatement(type, text, extra, extra, extra, extra);
    (void)fn::ResolveDataSourcePath(text, extra, "/tmp");
    (void)fn::GetConnectionStringValue(extra, text);
    (void)fn::TextToFlag(text);
    (void)paperloom::valuetext::ReadsAsDate(text);

    // Reading any code and writing it again never fails; reading what was written is stable.
    code::HeaderFieldSettings header;
    code::ReadHeaderFieldCode(text, header);
    const std::string written = code::MakeHeaderFieldCode(header);
    code::HeaderFieldSettings reread;
    code::ReadHeaderFieldCode(written, reread);
    code::StatisticsFieldSettings statistics;
    (void)code::ReadStatisticsFieldCode(text, true, statistics);
    (void)code::IsEngineFieldCode(text, false);
    (void)code::SplitFormulaCode(text);
    return 0;
}
