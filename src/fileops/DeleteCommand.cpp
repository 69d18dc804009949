#include "shell/TheViewer.h"

void TheViewer::FileDel_Click() {}
