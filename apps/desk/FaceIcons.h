#pragma once
// Toolbar faces as icons: a pasted picture as it is, a built-in face number drawn from the
// desktop's icon theme (with the style's own picture where the theme lacks it).

#include <QIcon>
#include <QString>

namespace paperloom::word {
class CommandBarControl;
}

namespace paperloom::desk {

// The icon of a button; a null icon when it has no face.
QIcon FaceIcon(const word::CommandBarControl& control);
// The icon for a built-in face number; null for numbers the host does not draw.
QIcon BuiltInFace(long faceId);
// A caption without its access-key marks ("&Paperloom" -> "Paperloom", "&&" -> "&"), for tooltips.
QString WithoutAccessKeys(const QString& caption);

}  // namespace paperloom::desk
