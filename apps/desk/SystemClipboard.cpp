#include "SystemClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>

#include <memory>

namespace paperloom::desk {
namespace {

QClipboard& Desktop() { return *QGuiApplication::clipboard(); }

// The bytes as the add-in gave them, beside the image other programs read: pasted back in this
// host they are the same bytes, and bytes no image reader takes are still refused where the
// in-memory clipboard refuses them, when pasted.
constexpr const char* kBitmapFormat = "application/x-paperloom-bmp";

}  // namespace

void SystemClipboard::Clear() { Desktop().clear(); }

void SystemClipboard::SetBitmap(std::vector<std::byte> bitmap) {
    const QByteArray bytes(reinterpret_cast<const char*>(bitmap.data()), static_cast<qsizetype>(bitmap.size()));
    auto data = std::make_unique<QMimeData>();
    data->setData(kBitmapFormat, bytes);
    if (QImage image; image.loadFromData(bytes, "BMP")) data->setImageData(image);
    Desktop().setMimeData(data.release());  // the clipboard owns it
}

void SystemClipboard::SetText(std::string text) { Desktop().setText(QString::fromStdString(text)); }

std::optional<std::vector<std::byte>> SystemClipboard::Bitmap() const {
    const QMimeData* data = Desktop().mimeData();
    if (data == nullptr) return std::nullopt;
    if (data->hasFormat(kBitmapFormat)) {
        const QByteArray bytes = data->data(kBitmapFormat);
        const auto* first = reinterpret_cast<const std::byte*>(bytes.constData());
        return std::vector<std::byte>(first, first + bytes.size());
    }
    if (!data->hasImage()) return std::nullopt;
    const QImage image = Desktop().image();
    if (image.isNull()) return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // The host's faces have no alpha channel: transparent parts become the button colour's
    // stand-in, white.
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    {
        QPainter painter(&opaque);
        painter.drawImage(0, 0, image);
    }
    if (!opaque.save(&buffer, "BMP")) return std::nullopt;
    const auto* first = reinterpret_cast<const std::byte*>(bytes.constData());
    return std::vector<std::byte>(first, first + bytes.size());
}

std::optional<std::string> SystemClipboard::Text() const {
    const QMimeData* data = Desktop().mimeData();
    if (data == nullptr || !data->hasText()) return std::nullopt;
    return Desktop().text().toStdString();
}

}  // namespace paperloom::desk
