#pragma once

#include <QMap>
#include <QWidget>

// Bars of how many rows have each grade, "—" for time-outs.
class GradeChart : public QWidget
{
    Q_OBJECT

public:
    explicit GradeChart(QWidget *parent = nullptr);
    void setCounts(const QMap<QString, int> &counts);
    QSize sizeHint() const override { return {260, 140}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QMap<QString, int> m_counts;
};
