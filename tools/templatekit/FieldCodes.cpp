#include "FieldCodes.h"

#include "common/modPLFieldCode.h"

namespace paperloom::templatekit {

namespace fc = modPLFieldCode;

namespace {

std::string SupportCode(std::string_view keyword, const FieldFormat& format) {
    fc::HeaderFieldSettings settings;
    settings.option = fc::HeaderFieldOption::SupportField;
    settings.strSupportCaption = std::string(fc::SupportKeywordToCaption(keyword));
    settings.strFormatType = format.formatType;
    settings.strFormat = format.format;
    return fc::MakeHeaderFieldCode(settings);
}

}  // namespace

std::string DataFieldCode(std::string_view field, const FieldFormat& format) {
    fc::HeaderFieldSettings settings;
    settings.strDataField = std::string(field);
    settings.strFormatType = format.formatType;
    settings.strFormat = format.format;
    return fc::MakeHeaderFieldCode(settings);
}

std::string PictureFieldCode(std::string_view field) {
    fc::HeaderFieldSettings settings;
    settings.strDataField = std::string(field);
    settings.blnPictureData = true;
    return fc::MakeHeaderFieldCode(settings);
}

std::string RecordIndexCode(const FieldFormat& format) {
    return SupportCode(fc::KEY_RECORD_INDEX, format);
}

std::string SequenceIndexCode(const FieldFormat& format) {
    return SupportCode(fc::KEY_SEQUENCE_INDEX, format);
}

std::string DetailPageCode(const FieldFormat& format) {
    return SupportCode(fc::KEY_DETAIL_PAGE, format);
}

std::string DetailPageMaxCode(const FieldFormat& format) {
    return SupportCode(fc::KEY_DETAIL_PAGE_MAX, format);
}

std::string StatisticsCode(std::string_view function, std::string_view bookmark, std::string_view column,
                           const FieldFormat& format) {
    fc::StatisticsFieldSettings settings;
    settings.strFunction = std::string(function);
    settings.strBookmark = std::string(bookmark);
    settings.strColumn = std::string(column);
    settings.strFormatType = format.formatType;
    settings.strFormat = format.format;
    return fc::MakeStatisticsFieldCode(settings);
}

}  // namespace paperloom::templatekit
