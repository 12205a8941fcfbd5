#include "shell/appresources.h"

#include <QtGlobal>

#include <mutex>

// Q_INIT_RESOURCE declares the initialiser inside the calling function, which gives it the
// linkage of the enclosing namespace: this wrapper must stay at global scope.
static void registerResources()
{
    Q_INIT_RESOURCE(lumara);
}

void initAppResources()
{
    static std::once_flag once;
    std::call_once(once, registerResources);
}
