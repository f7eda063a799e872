#include "gradechart.h"

#include "safetext.h"

#include <QPainter>

#include <algorithm>

GradeChart::GradeChart(QWidget *parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Оценки"));
}

void GradeChart::setCounts(const QMap<QString, int> &counts)
{
    m_counts = counts;
    QStringList parts;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        parts << QStringLiteral("%1: %2").arg(it.key()).arg(it.value());
    setAccessibleDescription(parts.join(QStringLiteral(", ")));
    setToolTip(SafeText::plainTip(accessibleDescription()));
    update();
}

void GradeChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int n = int(m_counts.size());
    if (n == 0)
        return;
    int most = 1;
    for (int count : std::as_const(m_counts))
        most = std::max(most, count);
    const int line = fontMetrics().height();
    const int slot = width() / n;
    const int room = height() - 2 * line - 4;
    int k = 0;
    for (auto it = m_counts.cbegin(); it != m_counts.cend(); ++it, ++k) {
        const int bar = room * it.value() / most;
        const QRect column(k * slot + slot / 4, line + 2 + room - bar, slot / 2, bar);
        painter.fillRect(column, palette().color(QPalette::Highlight));
        painter.drawText(QRect(k * slot, column.top() - line, slot, line), Qt::AlignCenter,
                         QString::number(it.value()));
        painter.drawText(QRect(k * slot, height() - line, slot, line), Qt::AlignCenter, it.key());
    }
}
