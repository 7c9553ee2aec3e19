#include "ui/TrayMenu.h"

LONG MenuBuilding;

int InitDrives()
{
    // Not built yet: no drives are found and the menu keeps its blank texts.
    return 1;
}
