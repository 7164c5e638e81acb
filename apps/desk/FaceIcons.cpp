#include "FaceIcons.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QStyle>

#include <array>

#include "host/word/addins/CommandBars.h"

namespace paperloom::desk {
namespace {

struct BuiltIn {
    long faceId;
    const char* themeName;
    QStyle::StandardPixmap fallback;
};

// The built-in faces the add-ins name.
constexpr std::array kBuiltIns{
    BuiltIn{2, "tools-check-spelling", QStyle::SP_FileDialogContentsView},
    BuiltIn{4, "document-print", QStyle::SP_DialogSaveButton},
    BuiltIn{23, "document-open", QStyle::SP_DialogOpenButton},
    BuiltIn{49, "help-contents", QStyle::SP_DialogHelpButton},
    BuiltIn{154, "go-first", QStyle::SP_MediaSkipBackward},
    BuiltIn{155, "go-previous", QStyle::SP_ArrowBack},
    BuiltIn{156, "go-next", QStyle::SP_ArrowForward},
    BuiltIn{157, "go-last", QStyle::SP_MediaSkipForward},
};

}  // namespace

QIcon BuiltInFace(long faceId) {
    for (const auto& face : kBuiltIns) {
        if (face.faceId != faceId) continue;
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(face.themeName));
        if (icon.isNull()) icon = QApplication::style()->standardIcon(face.fallback);
        return icon;
    }
    return {};
}

QIcon FaceIcon(const word::CommandBarControl& control) {
    if (control.Type() != word::cbr::controlButton) return {};
    const auto& picture = control.Picture();
    if (!picture.empty()) {
        QImage image;
        if (image.loadFromData(reinterpret_cast<const uchar*>(picture.data()), static_cast<int>(picture.size()), "BMP"))
            return QIcon(QPixmap::fromImage(image));
        return {};
    }
    return control.FaceId() != 0 ? BuiltInFace(control.FaceId()) : QIcon();
}

QString WithoutAccessKeys(const QString& caption) {
    QString plain;
    plain.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 < caption.size() && caption[i + 1] == u'&') plain += u'&';
            else continue;
            ++i;
            continue;
        }
        plain += caption[i];
    }
    return plain;
}

}  // namespace paperloom::desk
