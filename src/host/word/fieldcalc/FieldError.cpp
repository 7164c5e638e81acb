#include "host/word/fieldcalc/FieldError.h"

namespace paperloom::word::fieldcalc {

std::string FieldErrorText(FieldErrorKind kind, const std::string& detail) {
    std::string text;
    switch (kind) {
        case FieldErrorKind::Syntax: text = "!構文エラー"; break;
        case FieldErrorKind::ZeroDivide: text = "!ゼロ除算"; break;
        case FieldErrorKind::UndefinedBookmark: text = "!未定義のブックマーク"; break;
        case FieldErrorKind::NotInTable: text = "!表の外ではセルを参照できません"; break;
        case FieldErrorKind::CellOutOfRange: text = "!表の範囲外のセル"; break;
        case FieldErrorKind::NotANumber: text = "!数値ではありません"; break;
        case FieldErrorKind::Overflow: text = "!数値が範囲外です"; break;
        case FieldErrorKind::UnknownSwitch: text = "!不明なスイッチ引数"; break;
        case FieldErrorKind::NoPicturePath: text = "!ファイル名が指定されていません"; break;
        case FieldErrorKind::Unexpected: text = "!フィールドを計算できません"; break;
    }
    if (!detail.empty()) text += ", " + detail;
    return text;
}

}  // namespace paperloom::word::fieldcalc
