// The header fill of a binding: engine fields in the main text and in text boxes get a code
// that shows the current record's value, the visited fields are updated, and the design-time
// codes are put back, so the document shows the values and stays a template.

#include <algorithm>
#include <array>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Run/FieldFormat.h"
#include "Run/clsPLRDBBind.h"
#include "Run/modPLRStatistics.h"
#include "common/SettingTypes.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "common/modPLRPictureField.h"
#include "host/DebugLog.h"
#include "host/word/Constants.h"

namespace paperloom {

namespace {

using namespace modPLFieldCode;

constexpr std::array<std::string_view, 6> kEngineKeywords{KEY_PICTURE_FIELD,  KEY_DATA_FIELD,      KEY_RECORD_INDEX,
                                                          KEY_SEQUENCE_INDEX, KEY_DETAIL_PAGE_MAX, KEY_STATISTICS};

// One step of the field worker: a failure leaves the field as it is and the fill goes on.
bool Step(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        debuglog::Swallowed("clsPLRDBBindHeader.cpp: Step");
        return false;
    }
}

bool IsEngineField(const word::Field& field, const std::vector<std::string>& tokens) {
    if (tokens.size() < 2) return false;
    if (std::find(kEngineKeywords.begin(), kEngineKeywords.end(), tokens[1]) == kEngineKeywords.end()) return false;
    if (tokens[0] == modPLFieldCode::QUOTE_WORD) return true;
    bool picture = false;
    Step([&] { picture = field.Type() == word::wdFieldIncludePicture; });
    return picture;
}

// A box whose only content is a field showing nothing (a Null value filled last time) reads
// as holding no text, yet its field must be filled again.
bool HoldsTextOrFields(const word::TextFrame& frame) {
    bool holds = false;
    Step([&] { holds = frame.HasText() || word::FieldsOf(frame.ContainingRange()).Count() > 0; });
    return holds;
}

// Tokens from `first` on, each after one blank: the design-time switches and pictures.
std::string TokensFrom(const std::vector<std::string>& tokens, std::size_t first) {
    std::string text;
    for (std::size_t i = first; i < tokens.size(); ++i) text += " " + tokens[i];
    return text;
}

// Everything one pass over a field collection needs to compute the replacement codes.
struct HeadFillPass {
    clsPLRDBBind& binding;
    long lngHeadIndex;
    long lngDetailMaxIndex;
    bool blnPrint;
    std::vector<clsPLRReturnField>& collNativeFields;
};

std::string MakeHeadFieldCode(const std::vector<std::string>& tokens, const HeadFillPass& pass) {
    auto& binding = pass.binding;
    const auto& recordSource = *binding.RecordSource();
    const auto& document = *binding.TargetDocument();
    const std::size_t n = tokens.size();
    const std::string& keyword = tokens[1];
    if (keyword == KEY_DATA_FIELD) {
        if (n < 3) return std::string(QUOTE_WORD) + " ";
        const auto field = recordSource.Fields().Item(tokens[2]);
        const std::string kind = run::GetFormatTypeFromDBType(static_cast<int>(field.Type()));
        return run::GetFormatTypeHeadCode(kind, field.Value(), settingtypes::ColumnFieldType::None) + TokensFrom(tokens, 3);
    }
    if (keyword == KEY_RECORD_INDEX) return "=" + std::to_string(recordSource.AbsolutePosition()) + TokensFrom(tokens, 2);
    if (keyword == KEY_SEQUENCE_INDEX) return "=" + std::to_string(pass.lngHeadIndex) + TokensFrom(tokens, 2);
    if (keyword == KEY_DETAIL_PAGE_MAX) {
        // A single detail page shows no page count.
        if (pass.lngDetailMaxIndex > 1 || pass.lngDetailMaxIndex == -1)
            return "=" + std::to_string(pass.lngDetailMaxIndex) + TokensFrom(tokens, 2);
        return std::string(QUOTE_WORD);
    }
    if (keyword == KEY_PICTURE_FIELD) {
        std::string path;
        if (n >= 3) path = run::ShownText(host::ado::ToDisplayText(recordSource.Fields().Item(tokens[2]).Value()));
        // Relative paths belong to the bound document's folder; a document never saved (a
        // print run's working copy) uses the folder of the template being printed.
        return modPLRPictureField::MakePictureFieldCode(path, document.Path());
    }
    if (keyword == KEY_STATISTICS) {
        if (n < 5) return {};
        const run::StatisticsSources sources{&binding.PrintedCopies(), &binding.BrokenRowsByTable(),
                                             &binding.RowsUsedByTable()};
        return run::MakeStatisticsCode(tokens, *binding.TargetDocument(), pass.blnPrint, sources);
    }
    return {};
}

void ProcessHeadFields(const word::Fields& fields, const HeadFillPass& pass) {
    for (const auto& field : fields) {
        std::string code;
        if (!Step([&] { code = field.Code().Text(); })) continue;
        std::vector<std::string> tokens;
        modPLFunction::SplitTokens(code, tokens, "");
        if (!IsEngineField(field, tokens)) continue;

        // Without its design-time code on record the field must not be changed at all.
        clsPLRReturnField returnField;
        if (!Step([&] { returnField.SetTarget(field, code); })) continue;
        pass.collNativeFields.push_back(std::move(returnField));

        std::string newCode;
        if (!Step([&] { newCode = MakeHeadFieldCode(tokens, pass); })) continue;
        if (newCode.empty()) continue;
        word::Field target = field;
        Step([&] { target.SetCode(newCode); });
        if (tokens[1] == KEY_PICTURE_FIELD) {
            // A picture field the user has selected shows its new picture straight away; every
            // other one gets it from the update that follows.
            Step([&] { word::FieldsOf(pass.binding.TargetDocument()->Selection()).Update(); });
        }
    }
}

}  // namespace

void clsPLRDBBind::SetHeadDatas() {
    std::vector<word::Fields> collFields;
    std::vector<clsPLRReturnField> collNativeFields;
    SetHeadData(-1, -1, &collFields, &collNativeFields, false);
    UpdateHeadFields(collFields);
    SetHeadDataTerminate(collFields, collNativeFields);
}

void clsPLRDBBind::SetHeadData(long lngHeadIndex, long lngDetailMaxIndex, std::vector<word::Fields>* collFields,
                               std::vector<clsPLRReturnField>* collNativeFields, bool blnPrint) {
    if (!IsConnect() || !IsOpen() || !mdocTarget) return;
    std::vector<word::Fields> ownFields;
    std::vector<clsPLRReturnField> ownNativeFields;
    const bool finishHere = collNativeFields == nullptr || collFields == nullptr;
    auto& fields = finishHere ? ownFields : *collFields;
    auto& nativeFields = finishHere ? ownNativeFields : *collNativeFields;

    // The main text is processed first but updated last, after the text boxes.
    std::optional<word::Fields> mainFields;
    Step([&] { mainFields = word::FieldsOf(*mdocTarget); });
    if (mainFields)
        ProcessHeadFields(*mainFields, HeadFillPass{*this, lngHeadIndex, lngDetailMaxIndex, blnPrint, nativeFields});

    // Text boxes, grouped ones item by item; boxes without text are skipped.
    std::vector<word::TextFrame> frames;
    Step([&] {
        for (const auto& shape : mdocTarget->Shapes()) {
            if (shape.Type() == word::msoGroup) {
                for (const auto& item : shape.GroupItems())
                    if (HoldsTextOrFields(item.TextFrame())) frames.push_back(item.TextFrame());
            } else if (HoldsTextOrFields(shape.TextFrame())) {
                frames.push_back(shape.TextFrame());
            }
        }
    });
    for (const auto& frame : frames) {
        Step([&] {
            auto boxFields = word::FieldsOf(frame.ContainingRange());
            // Statistics over the printed copies belong to the main text only.
            ProcessHeadFields(boxFields, HeadFillPass{*this, lngHeadIndex, lngDetailMaxIndex, false, nativeFields});
            fields.push_back(std::move(boxFields));
        });
    }
    if (mainFields) fields.push_back(std::move(*mainFields));

    if (finishHere) {
        UpdateHeadFields(fields);
        SetHeadDataTerminate(fields, nativeFields);
    }
}

void clsPLRDBBind::UpdateHeadFields(std::vector<word::Fields>& collFields) {
    for (auto& fields : collFields) Step([&] { fields.Update(); });
}

void clsPLRDBBind::SetHeadDataTerminate(std::vector<word::Fields>& collFields,
                                        std::vector<clsPLRReturnField>& collNativeFields) {
    for (auto& returnField : collNativeFields) Step([&] { returnField.ReturnOriginalCode(); });
    collNativeFields.clear();
    collFields.clear();
}

}  // namespace paperloom
