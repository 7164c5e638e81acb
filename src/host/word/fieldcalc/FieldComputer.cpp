#include "host/word/fieldcalc/FieldComputer.h"

#include <algorithm>

#include "host/DebugLog.h"
#include "host/word/fieldcalc/CellNumber.h"
#include "host/word/fieldcalc/DateTimePicture.h"
#include "host/word/fieldcalc/DateTimeValue.h"
#include "host/word/fieldcalc/DecimalNumber.h"
#include "host/word/fieldcalc/FieldError.h"
#include "host/word/fieldcalc/FormulaEvaluator.h"
#include "host/word/fieldcalc/NumberFormatSwitch.h"
#include "host/word/fieldcalc/NumberPicture.h"
#include "host/word/fieldcalc/TextFormatSwitch.h"

namespace paperloom::word::fieldcalc {
namespace {

const FieldSwitch* FirstPictureSwitch(const std::vector<FieldSwitch>& switches) {
    const auto it = std::find_if(switches.begin(), switches.end(),
                                 [](const FieldSwitch& s) {
                                     // A picture switch without a picture is ignored.
                                     return (s.name == "\\#" || s.name == "\\@") && s.argument && !s.argument->empty();
                                 });
    return it == switches.end() ? nullptr : &*it;
}

// The number in the first numbering of the \* switches (Roman, Arabic, ...), if any.
std::optional<std::string> NumberingText(double value, const std::vector<FieldSwitch>& switches) {
    for (const FieldSwitch& fieldSwitch : switches)
        if (fieldSwitch.name == "\\*" && fieldSwitch.argument)
            if (auto text = FormatNumbering(value, *fieldSwitch.argument)) return text;
    return std::nullopt;
}

void ApplyTextSwitches(FormattedResult& result, const std::vector<FieldSwitch>& switches) {
    for (const FieldSwitch& fieldSwitch : switches) {
        if (fieldSwitch.name != "\\*") continue;
        const std::string argument = fieldSwitch.argument.value_or("");
        if (IsNumberingArgument(argument)) continue;  // applied to the number before
        const auto format = TextFormatFromArgument(argument);
        if (!format) throw FieldError(FieldErrorKind::UnknownSwitch, argument);
        if (*format == TextFormat::MergeFormat) result.mergeFormat = true;
        else if (*format == TextFormat::CharFormat) result.charFormat = true;
        else result.text = ApplyTextFormat(result.text, *format);
    }
}

FieldResult Failure(FieldType type, std::string text) {
    FieldResult result;
    result.kind = FieldResult::Kind::Error;
    result.type = type;
    result.text = std::move(text);
    return result;
}

}  // namespace

std::string IncludePictureRequest::PortablePath() const {
    std::string portable = path;
    std::replace(portable.begin(), portable.end(), '\\', '/');
    return portable;
}

FormattedResult FormatNumberResult(double value, const std::vector<FieldSwitch>& switches, const std::string& locale) {
    FormattedResult result;
    const FieldSwitch* picture = FirstPictureSwitch(switches);
    if (picture != nullptr && picture->name == "\\#") {
        result.text = FormatNumberPicture(value, picture->argument.value_or(""));
    } else if (picture != nullptr) {
        const auto date = DateTimeFromSerial(value);
        result.text = date ? FormatDateTimePicture(*date, picture->argument.value_or(""), locale) : FormatGeneralNumber(value);
    } else {
        result.text = NumberingText(value, switches).value_or(FormatGeneralNumber(value));
    }
    ApplyTextSwitches(result, switches);
    return result;
}

FormattedResult FormatTextResult(const std::string& value, const std::vector<FieldSwitch>& switches, const std::string& locale) {
    FormattedResult result{value};
    const FieldSwitch* picture = FirstPictureSwitch(switches);
    // A text that is not a number or not a date is shown as it is under the picture.
    if (picture != nullptr && picture->name == "\\#") {
        if (const auto number = ParseCellNumber(value)) result.text = FormatNumberPicture(*number, picture->argument.value_or(""));
    } else if (picture != nullptr) {
        if (const auto date = ParseDateTimeText(value))
            result.text = FormatDateTimePicture(*date, picture->argument.value_or(""), locale);
    } else if (const auto number = ParseCellNumber(value)) {
        result.text = NumberingText(*number, switches).value_or(value);
    }
    ApplyTextSwitches(result, switches);
    return result;
}

FieldResult FieldComputer::Compute(std::string_view code) const noexcept {
    return Compute(code, EmptyFormulaContext{});
}

FieldResult FieldComputer::Compute(std::string_view code, const FormulaContext& context) const noexcept {
    FieldType type = FieldType::Empty;
    try {
        const FieldCode parsed = FieldCode::Parse(code);
        type = parsed.Type();
        FieldResult result;
        result.type = type;
        FormattedResult formatted;
        switch (type) {
            case FieldType::Quote:
                formatted = FormatTextResult(parsed.QuotedText(), parsed.Switches(), options_.locale);
                break;
            case FieldType::Formula:
                formatted = FormatNumberResult(EvaluateFormula(parsed.ArgumentText(), context), parsed.Switches(),
                                               options_.locale);
                break;
            case FieldType::IncludePicture: {
                if (parsed.Arguments().empty() || parsed.Arguments().front().text.empty())
                    throw FieldError(FieldErrorKind::NoPicturePath);
                IncludePictureRequest request{parsed.Arguments().front().text, parsed.HasSwitch("\\d"), parsed.Switches()};
                for (const FieldSwitch& fieldSwitch : parsed.Switches()) {
                    if (fieldSwitch.name != "\\*") continue;
                    const auto format = TextFormatFromArgument(fieldSwitch.argument.value_or(""));
                    result.mergeFormat = result.mergeFormat || format == TextFormat::MergeFormat;
                    result.charFormat = result.charFormat || format == TextFormat::CharFormat;
                }
                result.kind = FieldResult::Kind::Picture;
                result.picture = std::move(request);
                return result;
            }
            default:
                return result;  // Keep
        }
        result.kind = FieldResult::Kind::Text;
        result.text = std::move(formatted.text);
        result.mergeFormat = formatted.mergeFormat;
        result.charFormat = formatted.charFormat;
        return result;
    } catch (const FieldError& error) {
        return Failure(type, error.what());
    } catch (...) {
        debuglog::Swallowed("FieldComputer.cpp: FieldComputer::Compute");
        return Failure(type, FieldErrorText(FieldErrorKind::Unexpected));
    }
}

}  // namespace paperloom::word::fieldcalc
