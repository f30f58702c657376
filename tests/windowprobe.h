#ifndef WINDOWPROBE_H
#define WINDOWPROBE_H

#include <QPoint>
#include <QStringList>

#include <qcustomplot.h>

class QTextEdit;

// What tests read off a window the way an operator would see it.
class WindowProbe
{
public:
    // A pixel of the plot where a click hits the given part of the axis, or (-1, -1).
    static QPoint pointOnPart(QCustomPlot *plot, QCPAxis *axis, QCPAxis::SelectablePart part);
    // The log pane's lines without their "HH:mm:ss.zzz: " stamps; a line without one is marked.
    static QStringList logLines(const QTextEdit *pane);
};

#endif // WINDOWPROBE_H
