#include "forms/printsurfaceaccessible.h"

#include "forms/printsurface.h"

PrintSurfaceAccessible::PrintSurfaceAccessible(PrintSurface *surface)
    : QAccessibleWidget(surface, QAccessible::StaticText, QStringLiteral("Вывод программы"))
{}

QAccessibleInterface *PrintSurfaceAccessible::factory(const QString &, QObject *object)
{
    if (auto *surface = qobject_cast<PrintSurface *>(object))
        return new PrintSurfaceAccessible(surface);
    return nullptr;
}

void *PrintSurfaceAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString PrintSurfaceAccessible::printed() const
{
    return static_cast<const PrintSurface *>(widget())->lines().join(QLatin1Char('\n'));
}

QString PrintSurfaceAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name)
        return QStringLiteral("Вывод программы");
    if (kind == QAccessible::Value || kind == QAccessible::Description)
        return printed();
    return QAccessibleWidget::text(kind);
}

void PrintSurfaceAccessible::selection(int, int *startOffset, int *endOffset) const
{
    *startOffset = 0;
    *endOffset = 0;
}

QString PrintSurfaceAccessible::text(int startOffset, int endOffset) const
{
    return printed().mid(startOffset, endOffset - startOffset);
}

int PrintSurfaceAccessible::characterCount() const
{
    return int(printed().size());
}

QString PrintSurfaceAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = offset;
    *endOffset = offset;
    return QString();
}
