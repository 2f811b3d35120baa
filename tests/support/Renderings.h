#pragma once

// What a window looks like, against reference PNGs under tests/data/renderings: how the window
// is built may change, what the eye sees may not. After a deliberate change of the look, run the
// suite once with QS_JUV_WRITE_RENDERINGS=1 to write the references anew, and look at them.
#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QFile>
#include <QImage>
#include <QString>
#include <QTest>

inline QString renderingPath(const QString &name)
{
    return QStringLiteral(QS_JUV_SOURCE_DIR "/tests/data/renderings/") + name + QStringLiteral(".png");
}

// Empty when image shows what the reference called name shows; otherwise how it differs.
inline QString renderingDifference(const QImage &image, const QString &name)
{
    const QString path = renderingPath(name);
    const QImage shown = image.convertToFormat(QImage::Format_ARGB32);
    if (qEnvironmentVariableIsSet("QS_JUV_WRITE_RENDERINGS"))
        return shown.save(path, "PNG") ? QString() : QStringLiteral("cannot write ") + path;
    const QImage reference = QImage(path).convertToFormat(QImage::Format_ARGB32);
    if (reference.isNull())
        return QStringLiteral("no reference ") + path;
    if (reference.size() != shown.size())
        return QStringLiteral("%1: %2×%3, the reference %4×%5")
                .arg(name).arg(shown.width()).arg(shown.height()).arg(reference.width()).arg(reference.height());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            if (shown.pixel(x, y) != reference.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    if (differing == 0)
        return QString();
    return QStringLiteral("%1: %2 pixels differ, the first at %3,%4").arg(name).arg(differing).arg(first.x()).arg(first.y());
}

// The drop-down list of box as it opens, grabbed and closed again.
inline QImage popupRendering(QComboBox *box)
{
    box->showPopup();
    QWidget *popup = box->view()->window();
    if (!QTest::qWaitForWindowExposed(popup))
        return {};
    QCoreApplication::processEvents();
    const QImage image = popup->grab().toImage();
    box->hidePopup();
    QCoreApplication::processEvents();
    return image;
}
