#include "ports/win32/dialog_template_win32.h"

#include "ports/win32/wide_text.h"

#include <commctrl.h>

namespace {

constexpr WORD CLASS_BUTTON = 0x0080;
constexpr WORD CLASS_STATIC = 0x0082;
constexpr WORD CLASS_LIST_BOX = 0x0083;
// The logical face of dialogs, a TrueType face on every Windows: the dialog
// manager makes it at the monitor's DPI and again when that changes.
const char FONT_FACE[] = "MS Shell Dlg";

void AddDword(std::vector<WORD>& out, DWORD value) {
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

// Texts are UTF-8; the template holds UTF-16.
void AddText(std::vector<WORD>& out, const char* text) {
    for (wchar_t unit : Wide(text)) out.push_back(static_cast<WORD>(unit));
    out.push_back(0);
}

// Items start on a DWORD boundary.
void AlignToDword(std::vector<WORD>& out) {
    if (out.size() % 2 != 0) out.push_back(0);
}

} // namespace

const char* DialogItemClass(DialogItemKind kind) {
    switch (kind) {
    case ITEM_LIST_BOX: return "ListBox";
    case ITEM_STATIC:
    case ITEM_PICTURE: return "Static";
    case ITEM_SLIDER: return TRACKBAR_CLASSA;
    default: return "Button";
    }
}

DWORD DialogItemStyle(const DialogItem& item, bool firstRadio, bool afterRadios) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (item.kind) {
    case ITEM_GROUP_BOX: style |= BS_GROUPBOX; break;
    case ITEM_LIST_BOX: style |= LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP; break;
    case ITEM_STATIC:
        style |= WS_GROUP | (item.align == ALIGN_CENTER  ? SS_CENTER
                             : item.align == ALIGN_RIGHT ? SS_RIGHT
                                                         : SS_LEFT);
        break;
    case ITEM_PICTURE: style |= SS_BITMAP | SS_REALSIZECONTROL; break;
    case ITEM_SLIDER: style |= TBS_HORZ | TBS_NOTICKS | WS_TABSTOP; break;
    case ITEM_CHECK_BOX: style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
    case ITEM_RADIO: style |= BS_AUTORADIOBUTTON | (firstRadio ? WS_GROUP | WS_TABSTOP : 0); break;
    case ITEM_PUSH_BUTTON: style |= BS_PUSHBUTTON | WS_TABSTOP; break;
    case ITEM_DEFAULT_BUTTON: style |= BS_DEFPUSHBUTTON | WS_TABSTOP; break;
    }
    if (afterRadios) style |= WS_GROUP;
    return style;
}

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog) {
    std::vector<WORD> out;
    DWORD style = DS_SETFONT | WS_POPUP;
    style |= dialog.caption ? DS_MODALFRAME | WS_CAPTION | WS_SYSMENU
                            : DS_CENTER | WS_VISIBLE | WS_BORDER;
    AddDword(out, style);
    AddDword(out, 0); // extended style
    out.push_back(static_cast<WORD>(dialog.itemCount));
    out.push_back(0); // x
    out.push_back(0); // y
    out.push_back(static_cast<WORD>(dialog.width));
    out.push_back(static_cast<WORD>(dialog.height));
    out.push_back(0); // no menu
    out.push_back(0); // the dialog class
    AddText(out, dialog.caption ? dialog.caption : "");
    out.push_back(static_cast<WORD>(dialog.fontPoints));
    AddText(out, FONT_FACE);

    bool inRadios = false;
    for (int i = 0; i < dialog.itemCount; ++i) {
        const DialogItem& item = dialog.items[i];
        const bool radio = item.kind == ITEM_RADIO;
        AlignToDword(out);
        AddDword(out, DialogItemStyle(item, radio && !inRadios, !radio && inRadios));
        AddDword(out, 0);
        out.push_back(static_cast<WORD>(item.x));
        out.push_back(static_cast<WORD>(item.y));
        out.push_back(static_cast<WORD>(item.width));
        out.push_back(static_cast<WORD>(item.height));
        // A picture is addressed by nobody; its id names the bitmap it shows.
        out.push_back(static_cast<WORD>(item.kind == ITEM_PICTURE ? IDC_STATIC : item.id));
        switch (item.kind) {
        case ITEM_LIST_BOX:
            out.push_back(0xFFFF);
            out.push_back(CLASS_LIST_BOX);
            break;
        case ITEM_STATIC:
        case ITEM_PICTURE:
            out.push_back(0xFFFF);
            out.push_back(CLASS_STATIC);
            break;
        case ITEM_SLIDER: AddText(out, TRACKBAR_CLASSA); break;
        default:
            out.push_back(0xFFFF);
            out.push_back(CLASS_BUTTON);
            break;
        }
        if (item.kind == ITEM_PICTURE) {
            out.push_back(0xFFFF);
            out.push_back(static_cast<WORD>(item.id));
        } else {
            AddText(out, item.text);
        }
        out.push_back(0); // no creation data
        inRadios = radio;
    }
    return out;
}
