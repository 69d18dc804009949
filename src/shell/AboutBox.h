#pragma once

#include <QString>

// The About box's text: name and version, maker, and whom to contact.
QString aboutPrompt();
