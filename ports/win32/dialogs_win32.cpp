#include "ports/win32/dialogs_win32.h"

#include "ports/win32/dialog_template_win32.h"
#include "ports/win32/resource.h"
#include "ports/win32/wide_text.h"
#include "ui/about_dlg.h"
#include "ui/config_dlg.h"
#include "ui/more_options_dlg.h"

#include <commctrl.h>

#include <string>

namespace {

constexpr int PARAM_CONTROLS = 4; // group box, left label, right label, slider
// The first parameter group's controls; the others follow PARAM_ID_STRIDE apart.
constexpr int FIRST_PARAM_CONTROL[PARAM_CONTROLS] = {IDC_PARAM_GROUP, IDC_PARAM_LEFT,
                                                     IDC_PARAM_RIGHT, IDC_PARAM_SLIDER};

int ParamControl(int k, int which) {
    return FIRST_PARAM_CONTROL[which] + PARAM_ID_STRIDE * k;
}

void SetSlider(HWND dialog, int id, int32_t low, int32_t high, int32_t position) {
    HWND slider = GetDlgItem(dialog, id);
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, low);
    SendMessageW(slider, TBM_SETRANGEMAX, FALSE, high);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
}

INT_PTR RunModal(const DialogTemplate& table, HWND owner, DLGPROC procedure, void* model) {
    std::vector<WORD> layout = BuildDialogTemplate(table);
    return DialogBoxIndirectParamW(Win32Instance(),
                                   reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()), owner,
                                   procedure, reinterpret_cast<LPARAM>(model));
}

int32_t SliderPosition(HWND dialog, int id) {
    return static_cast<int32_t>(SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

void SetText(HWND dialog, int id, const char* text) {
    SetDlgItemTextW(dialog, id, Wide(text).c_str());
}

// Centred on the work area of the monitor the dialog is on (its owner's
// monitor when it has one, else the primary monitor).
void CentreOnMonitor(HWND dialog) {
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left;
    const int h = r.bottom - r.top;
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HWND owner = GetWindow(dialog, GW_OWNER);
    HMONITOR monitor = MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTOPRIMARY);
    RECT area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - w) / 2,
                 area.top + (area.bottom - area.top - h) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void ShowParameterControls(HWND dialog, CConfigDlg& model) {
    model.ShowParameterControls();
    for (int k = 0; k < MODULE_PARAMS; ++k) {
        const ParamGroupView& group = model.groups[k];
        if (group.visible) {
            SetText(dialog, ParamControl(k, 0), group.caption);
            SetText(dialog, ParamControl(k, 1), group.leftLabel);
            SetText(dialog, ParamControl(k, 2), group.rightLabel);
            SetSlider(dialog, ParamControl(k, 3), group.rangeMin, group.rangeMax, group.position);
        }
        for (int c = 0; c < PARAM_CONTROLS; ++c) {
            ShowWindow(GetDlgItem(dialog, ParamControl(k, c)), group.visible ? SW_SHOW : SW_HIDE);
        }
    }
}

// The program's icon on the dialog's caption and taskbar button, at the
// sizes of the dialog's monitor.
void SetIcons(HWND dialog) {
    for (WPARAM which : {WPARAM(ICON_BIG), WPARAM(ICON_SMALL)}) {
        const bool big = which == ICON_BIG;
        HANDLE icon = LoadImageW(Win32Instance(), MAKEINTRESOURCEW(IDI_GLIMMORA), IMAGE_ICON,
                                 GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON),
                                 GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON), LR_SHARED);
        if (icon) SendMessageW(dialog, WM_SETICON, which, reinterpret_cast<LPARAM>(icon));
    }
}

// Why the settings could not be stored, in a box owned by the dialog.
void ShowSaveFailure(HWND dialog, const CConfigDlg& model) {
    MessageBoxW(dialog, Wide(model.saveFailure).c_str(), Wide(model.caption).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

// Takes every slider's position into the model, as after a slider moved.
void ReadSliders(HWND dialog, CConfigDlg& model) {
    for (int k = 0; k < MODULE_PARAMS; ++k) {
        model.SetParamPosition(k, SliderPosition(dialog, ParamControl(k, 3)));
    }
    model.SetBrightnessPosition(SliderPosition(dialog, IDC_BRIGHTNESS));
}

// The "Starting" group and the dialog lose the space of the hidden idle
// controls, so that no empty band is left below the text.
void DropIdleControlsSpace(HWND dialog) {
    RECT unit = {0, 0, 0, IDLE_CONTROLS_HEIGHT};
    MapDialogRect(dialog, &unit);
    const int dy = unit.bottom;
    RECT group;
    HWND box = GetDlgItem(dialog, IDC_START_GROUP);
    GetWindowRect(box, &group);
    SetWindowPos(box, nullptr, 0, 0, group.right - group.left, group.bottom - group.top - dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame;
    GetWindowRect(dialog, &frame);
    SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top - dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK MoreOptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* model = reinterpret_cast<CMoreOptionsDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        model = reinterpret_cast<CMoreOptionsDlg*>(lParam);
        model->OnInitDialog();
        if (model->checkedMode >= 0) {
            CheckRadioButton(dialog, IDC_PLAY_SELECTED, IDC_PLAY_SEQUENTIAL,
                             IDC_PLAY_SELECTED + model->checkedMode);
        }
        SetSlider(dialog, IDC_VOLUME, VOLUME_MIN, VOLUME_MAX, model->volumePosition);
        CheckRadioButton(dialog, IDC_OTHER_PLAY, IDC_OTHER_BLACK,
                         model->othersBlack ? IDC_OTHER_BLACK : IDC_OTHER_PLAY);
        CheckRadioButton(dialog, IDC_PICTURE_ORIGINAL, IDC_PICTURE_FIT,
                         model->pictureFit ? IDC_PICTURE_FIT : IDC_PICTURE_ORIGINAL);
        // Windows starts the saver itself: the idle service is not offered.
        SetText(dialog, IDC_START_TEXT, model->startText);
        ShowWindow(GetDlgItem(dialog, IDC_IDLE_START), model->idleOffered ? SW_SHOW : SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_IDLE_MINUTES), model->idleOffered ? SW_SHOW : SW_HIDE);
        if (!model->idleOffered) DropIdleControlsSpace(dialog);
        return TRUE;
    case WM_HSCROLL:
        if (model && lParam) {
            model->OnHScroll(static_cast<int32_t>(
                SendMessageW(reinterpret_cast<HWND>(lParam), TBM_GETPOS, 0, 0)));
        }
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK && model) {
            for (int mode = 0; mode < PLAY_MODES; ++mode) {
                if (IsDlgButtonChecked(dialog, IDC_PLAY_SELECTED + mode) == BST_CHECKED) {
                    model->SetCheckedMode(mode);
                }
            }
            model->SetOthersBlack(IsDlgButtonChecked(dialog, IDC_OTHER_BLACK) == BST_CHECKED);
            model->SetPictureFit(IsDlgButtonChecked(dialog, IDC_PICTURE_FIT) == BST_CHECKED);
            model->OnOK();
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* model = reinterpret_cast<CAboutDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        model = reinterpret_cast<CAboutDlg*>(lParam);
        model->OnInitDialog();
        SetText(dialog, IDC_VERSION, model->versionLine);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_README && model) {
            model->OnReadMe();
            return TRUE;
        }
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK SettingsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* model = reinterpret_cast<CConfigDlg*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        model = reinterpret_cast<CConfigDlg*>(lParam);
        model->OnInitDialog();
        SetSlider(dialog, IDC_BRIGHTNESS, BRIGHTNESS_MIN, BRIGHTNESS_MAX,
                  model->brightnessPosition);
        CheckDlgButton(dialog, IDC_SOUND, model->soundChecked ? BST_CHECKED : BST_UNCHECKED);
        SetWindowTextW(dialog, Wide(model->caption).c_str());
        SetIcons(dialog);
        CentreOnMonitor(dialog);
        ShowParameterControls(dialog, *model);
        for (int32_t i = 0; i < model->ListCount(); ++i) {
            const std::wstring entry = Wide(model->ListEntry(i));
            SendDlgItemMessageW(dialog, IDC_MODULE_LIST, LB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(entry.c_str()));
        }
        SendDlgItemMessageW(dialog, IDC_MODULE_LIST, LB_SETCURSEL, model->selection, 0);
        return TRUE; // the focus goes where the dialog manager puts it
    case WM_HSCROLL:
        if (model) {
            ReadSliders(dialog, *model);
            model->OnHScroll();
        }
        return FALSE;
    case WM_COMMAND:
        if (!model) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_MODULE_LIST:
            if (HIWORD(wParam) == LBN_SELCHANGE) {
                model->OnSelChange(static_cast<int32_t>(
                    SendDlgItemMessageW(dialog, IDC_MODULE_LIST, LB_GETCURSEL, 0, 0)));
                ShowParameterControls(dialog, *model);
            }
            return TRUE;
        case IDC_MORE_OPTIONS: {
            CMoreOptionsDlg options(model->settings, &model->shell, model->themeName);
            RunModal(moreOptionsTemplate, dialog, MoreOptionsProc, &options);
            return TRUE;
        }
        case IDC_ABOUT: {
            CAboutDlg about(model->shell, model->mediaDirectory);
            RunModal(aboutTemplate, dialog, AboutProc, &about);
            return TRUE;
        }
        case IDC_TEST:
            model->SetSoundChecked(IsDlgButtonChecked(dialog, IDC_SOUND) == BST_CHECKED);
            model->OnTest();
            if (model->saveFailure[0] != '\0') ShowSaveFailure(dialog, *model);
            return TRUE;
        case IDOK:
            model->SetBrightnessPosition(SliderPosition(dialog, IDC_BRIGHTNESS));
            model->SetSoundChecked(IsDlgButtonChecked(dialog, IDC_SOUND) == BST_CHECKED);
            // Settings that could not be stored keep the dialog open.
            if (model->OnOK() == DLG_OK) {
                EndDialog(dialog, DLG_OK);
            } else {
                ShowSaveFailure(dialog, *model);
            }
            return TRUE;
        case IDCANCEL: EndDialog(dialog, DLG_CANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

} // namespace

Win32Dialogs::Win32Dialogs() {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
}

Win32Dialogs::~Win32Dialogs() {
    HideSplash();
}

// "/c:<window>" gives the window the settings belong to (the screen-saver
// settings of the system): the dialog is owned by it, so it stays above it
// and the system waits for it. A handle that names no window is not used.
int Win32Dialogs::RunSettings(CConfigDlg& dlg) {
    HWND owner = reinterpret_cast<HWND>(dlg.ownerWindow);
    if (owner && !IsWindow(owner)) owner = nullptr;
    INT_PTR result = RunModal(configTemplate, owner, SettingsProc, &dlg);
    return result == DLG_OK ? DLG_OK : DLG_CANCEL;
}

void Win32Dialogs::ShowSplash() {
    if (splash) return;
    std::vector<WORD> layout = BuildDialogTemplate(splashTemplate);
    splash = CreateDialogIndirectParamW(Win32Instance(),
                                        reinterpret_cast<LPCDLGTEMPLATEW>(layout.data()),
                                        GetDesktopWindow(), nullptr, 0);
    if (!splash) return;
    RedrawWindow(splash, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32Dialogs::HideSplash() {
    if (!splash) return;
    DestroyWindow(splash);
    splash = nullptr;
}
