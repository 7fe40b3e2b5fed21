#pragma once

#include <QIcon>

// The program's icon (IDR_MAINFRAME) in every size it ships.
QIcon ApplicationIcon();
