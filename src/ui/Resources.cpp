#include "ui/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be expanded outside any namespace.
static void RegisterOrboResources()
{
    Q_INIT_RESOURCE(orbo);
}

void InitOrboResources()
{
    static const bool registered = (RegisterOrboResources(), true);
    (void)registered;
}
