// Resource ids of the program's icon, cursor and logo (shared by glimmora.rc
// and the code). Plain #defines: the resource compiler reads this. The
// dialogs are built from the portable tables in src/ui/dialog_templates.cpp.
#pragma once

// The program's icon: the first icon group, which Explorer, the uninstall
// entry and the screen-saver settings show.
#define IDI_GLIMMORA 100
#define IDC_BLANK_CURSOR 129
#define IDB_PRODUCT_LOGO 134
