// The dialogs' templates in memory, built from the portable tables of
// src/ui/dialog_templates.cpp, so that Windows shows exactly what the tables
// describe and no second copy of the layouts can drift.
#pragma once

#include "ports/win32/win32_platform.h"
#include "ui/dialog_templates.h"

#include <vector>

// The DLGTEMPLATE of `dialog` with its items, in "MS Shell Dlg" at the
// table's size; pictures show the bitmap resource the item's id names.
std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog);

// The window class and style an item of `kind` is made with. `firstRadio`
// and `afterRadios` mark the first radio button of a group and the item that
// follows a group (each starts a new tab group).
const char* DialogItemClass(DialogItemKind kind);
DWORD DialogItemStyle(const DialogItem& item, bool firstRadio, bool afterRadios);
