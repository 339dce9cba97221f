#pragma once

#include <QIcon>

// The 32 x 32 icon that both windows of the program carry.
QIcon fensterbild();
