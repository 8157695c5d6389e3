#include "app/AppResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must not be used inside a namespace.
static void registerWelmoResources()
{
    Q_INIT_RESOURCE(welmo);
}

void initAppResources()
{
    static const bool registered = (registerWelmoResources(), true);
    (void)registered;
}
