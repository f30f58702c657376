#ifndef AXISSELECTION_H
#define AXISSELECTION_H

class QCPAxis;
class QCPAxisRect;

// Selection rules both plots follow: an axis is selected as line and tick labels together, and a
// selected value axis is what vertical drags and wheel turns act on.
class AxisSelection
{
public:
    // keep false: nothing of the axis stays selected. keep true: a selected line or tick labels
    // become both, and the axis announces its range so that the linked grid axis takes it over.
    static void sync(QCPAxis *axis, bool keep);
    static void bindVertical(QCPAxisRect *rect, QCPAxis *axis);
    static void bindHorizontal(QCPAxisRect *rect, QCPAxis *axis);
    // Nothing drags or zooms.
    static void unbind(QCPAxisRect *rect);
};

#endif // AXISSELECTION_H
