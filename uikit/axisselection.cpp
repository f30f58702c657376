#include "axisselection.h"

#include <qcustomplot.h>

void AxisSelection::sync(QCPAxis *axis, bool keep)
{
    if (!keep) {
        axis->setSelectedParts(QCPAxis::spNone);
        return;
    }
    const QCPAxis::SelectableParts parts = axis->selectedParts();
    if (parts.testFlag(QCPAxis::spAxis) || parts.testFlag(QCPAxis::spTickLabels)) {
        axis->setSelectedParts(QCPAxis::spAxis | QCPAxis::spTickLabels);
        emit axis->rangeChanged(axis->range());
    }
}

void AxisSelection::bindVertical(QCPAxisRect *rect, QCPAxis *axis)
{
    rect->setRangeDragAxes(nullptr, axis);
    rect->setRangeDrag(Qt::Vertical);
    rect->setRangeZoomAxes(nullptr, axis);
    rect->setRangeZoomFactor(2.0);
    rect->setRangeZoom(Qt::Vertical);
}

void AxisSelection::bindHorizontal(QCPAxisRect *rect, QCPAxis *axis)
{
    rect->setRangeDragAxes(axis, nullptr);
    rect->setRangeDrag(Qt::Horizontal);
    rect->setRangeZoomAxes(axis, nullptr);
    rect->setRangeZoomFactor(2.0);
    rect->setRangeZoom(Qt::Horizontal);
}

void AxisSelection::unbind(QCPAxisRect *rect)
{
    rect->setRangeDragAxes(nullptr, nullptr);
    rect->setRangeZoomAxes(nullptr, nullptr);
}
