#include "shell/TheViewer.h"

void TheViewer::pattern() {}
void TheViewer::TextON_Click() {}
void TheViewer::TextOFF_Click() {}
void TheViewer::SoundON_Click() {}
void TheViewer::SoundOFF_Click() {}
void TheViewer::VideoON_Click() {}
void TheViewer::VideoOFF_Click() {}
