#pragma once

#include "res/DialogTemplate.h"

#include <vector>

// A dialog template in the binary layout Windows takes in memory (DLGTEMPLATEEX and its
// DLGITEMTEMPLATEEX items, for DialogBoxIndirectParamW): the Win32 dialogs are built from the
// same table as the Qt ones, so the two cannot drift apart. Texts become UTF-16; an icon
// static's "#N" becomes the resource ordinal N.
std::vector<unsigned char> BuildDialogResource(const DialogTemplate& dialog);
