#include "shell/TheViewer.h"

void TheViewer::Form_Load() {}

void TheViewer::FileExit_Click() {}

void TheViewer::Form_Terminate() {}
