#pragma once

#include <QtGlobal>

// Reads up to len bytes of the open file at offset at, going on after
// interruptions, without moving the file position (so that threads can share
// the descriptor). Returns how many were read: fewer only where the file ends,
// or where a read fails (what was read before stands).
qint64 readAt(int fd, char* into, qint64 len, qint64 at);
