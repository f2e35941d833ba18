#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>

namespace {

QAccessibleInterface* OrboAccessible(const QString& className, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr)
        return nullptr;
    if (className == QLatin1String("COrboView") || className == QLatin1String("CMagnifier"))
        return new QAccessibleWidget(widget, QAccessible::Graphic);
    if (className == QLatin1String("CStepper") || className == QLatin1String("CInspectorPanel"))
        return new QAccessibleWidget(widget, QAccessible::Pane);
    return nullptr;
}

} // namespace

void InstallAccessibleRoles()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(OrboAccessible);
}
