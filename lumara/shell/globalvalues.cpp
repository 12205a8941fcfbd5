#include "shell/globalvalues.h"

double uiScaleFactor = 1.0;
int imageActionMode = 0;
QString currentFileBaseName;
