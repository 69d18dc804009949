#include "shell/TheViewer.h"

void TheViewer::FileCopy_Click() {}
