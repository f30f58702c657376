// Draws the programs' icons. Run by hand; its PNG and ICO output is kept in the source tree
// (the .ico files in the resources, the app PNGs for desktop menus):
//   icongen <viewer_ext/rcs/icons> <viewer/icons>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

QImage canvas(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A dark rounded square with a green trace across a grid: a measuring device's screen.
QImage appIcon(int size, const QColor &trace)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    QLinearGradient bg(0, 0, 0, s);
    bg.setColorAt(0, QColor(40, 52, 70));
    bg.setColorAt(1, QColor(18, 24, 34));
    p.setBrush(bg);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
    p.setPen(QPen(QColor(255, 255, 255, 40), qMax(1.0, s / 64)));
    for (int i = 1; i < 4; ++i) {
        p.drawLine(QPointF(s * 0.12, s * (0.12 + 0.19 * i)), QPointF(s * 0.88, s * (0.12 + 0.19 * i)));
        p.drawLine(QPointF(s * (0.12 + 0.19 * i), s * 0.12), QPointF(s * (0.12 + 0.19 * i), s * 0.88));
    }
    QPainterPath path;
    path.moveTo(s * 0.12, s * 0.70);
    path.cubicTo(s * 0.30, s * 0.70, s * 0.32, s * 0.25, s * 0.50, s * 0.30);
    path.cubicTo(s * 0.66, s * 0.35, s * 0.70, s * 0.60, s * 0.88, s * 0.42);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(trace, qMax(1.5, s / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    return image;
}

// A circular arrow.
QImage refreshIcon(int size)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF arc(s * 0.18, s * 0.18, s * 0.64, s * 0.64);
    p.setPen(QPen(QColor(30, 110, 200), s * 0.12, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(arc, 60 * 16, 280 * 16);
    // Arrow head at the start of the arc (60 degrees), pointing along it.
    QPolygonF head;
    head << QPointF(s * 0.58, s * 0.02) << QPointF(s * 0.86, s * 0.26) << QPointF(s * 0.52, s * 0.36);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 110, 200));
    p.drawPolygon(head);
    return image;
}

// A plug and a socket: joined when connected, apart when not.
QImage plugIcon(int size, bool joined)
{
    QImage image = canvas(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QColor colour = joined ? QColor(30, 150, 60) : QColor(190, 40, 40);
    const qreal gap = joined ? 0.0 : s * 0.12;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    // cable and plug body on the left
    p.drawRect(QRectF(s * 0.02, s * 0.45, s * 0.18, s * 0.10));
    p.drawRoundedRect(QRectF(s * 0.18, s * 0.30, s * 0.24, s * 0.40), s * 0.05, s * 0.05);
    p.drawRect(QRectF(s * 0.42, s * 0.36, s * 0.10, s * 0.07));
    p.drawRect(QRectF(s * 0.42, s * 0.57, s * 0.10, s * 0.07));
    // socket on the right
    const qreal x = s * 0.52 + gap;
    p.drawRoundedRect(QRectF(x, s * 0.28, s * 0.26, s * 0.44), s * 0.05, s * 0.05);
    p.drawRect(QRectF(x + s * 0.24, s * 0.45, s * 0.22 - gap, s * 0.10));
    if (!joined) {
        p.setPen(QPen(colour, s * 0.05, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(s * 0.47, s * 0.16), QPointF(s * 0.55, s * 0.06));
        p.drawLine(QPointF(s * 0.47, s * 0.84), QPointF(s * 0.55, s * 0.94));
    }
    return image;
}

bool save(const QImage &image, const QString &path)
{
    const bool ok = image.save(path);
    if (!ok)
        qWarning("cannot write %s", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        qWarning("usage: icongen <viewer_ext icon folder> <viewer icon folder>");
        return 2;
    }
    const QDir ext(QString::fromLocal8Bit(argv[1]));
    const QDir basic(QString::fromLocal8Bit(argv[2]));
    bool ok = true;
    ok &= save(appIcon(64, QColor(90, 230, 120)), ext.filePath(QStringLiteral("vandor.ico")));
    ok &= save(appIcon(64, QColor(90, 230, 120)), ext.filePath(QStringLiteral("vandor.png")));
    ok &= save(refreshIcon(64), ext.filePath(QStringLiteral("refresh.png")));
    ok &= save(plugIcon(64, true), ext.filePath(QStringLiteral("connect_to_port.png")));
    ok &= save(plugIcon(64, false), ext.filePath(QStringLiteral("disconnect_from_port.png")));
    ok &= save(appIcon(64, QColor(255, 190, 60)), basic.filePath(QStringLiteral("viewer.ico")));
    ok &= save(appIcon(64, QColor(255, 190, 60)), basic.filePath(QStringLiteral("viewer.png")));
    ok &= save(refreshIcon(24), basic.filePath(QStringLiteral("refresh24.png")));
    return ok ? 0 : 1;
}
