#include "windowprobe.h"

#include <QRegularExpression>
#include <QTextEdit>

QPoint WindowProbe::pointOnPart(QCustomPlot *plot, QCPAxis *axis, QCPAxis::SelectablePart part)
{
    const QRect rect = plot->axisRect()->rect();
    const bool horizontal = axis->orientation() == Qt::Horizontal;
    for (int along = 0; along < (horizontal ? plot->height() : plot->width()); ++along) {
        const QPoint p = horizontal ? QPoint(rect.center().x(), along) : QPoint(along, rect.center().y());
        if (axis->getPartAt(p) == part)
            return p;
    }
    return QPoint(-1, -1);
}

QStringList WindowProbe::logLines(const QTextEdit *pane)
{
    static const QRegularExpression stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d: (.*)$"));
    QStringList lines;
    for (const QString &l : pane->toPlainText().split(QLatin1Char('\n'))) {
        if (l.isEmpty())
            continue;
        const QRegularExpressionMatch m = stamped.match(l);
        lines << (m.hasMatch() ? m.captured(1) : QStringLiteral("UNSTAMPED ") + l);
    }
    return lines;
}
