// Resource ids of the program's cursor and logo (shared by glimmora.rc and
// the code). Plain #defines: the resource compiler reads this. The dialogs
// are built from the portable tables in src/ui/dialog_templates.cpp.
#pragma once

#define IDC_BLANK_CURSOR 129
#define IDB_PRODUCT_LOGO 134
