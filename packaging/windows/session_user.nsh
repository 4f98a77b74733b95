; Whether the installer runs as the user signed in to its session: 1 or 0 on
; the stack. One elevated with another account's rights (an administrator's,
; over the shoulder) or run as SYSTEM does not, and its HKEY_CURRENT_USER is
; that account's, not the user's: the users' own settings are then left alone.
!macro SESSION_USER_FUNCTION PREFIX
Function ${PREFIX}SessionUser
    Push $0
    Push $1
    Push $2
    Push $3
    StrCpy $3 0
    System::Call 'advapi32::GetUserNameW(w .r1, *i ${NSIS_MAX_STRLEN}) i .r0'
    ${If} $0 <> 0
        ; WTS_CURRENT_SERVER_HANDLE, WTS_CURRENT_SESSION, WTSUserName
        System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .r2, *i) i .r0'
        ${If} $0 <> 0
            System::Call 'kernel32::lstrcpynW(w .r0, p r2, i ${NSIS_MAX_STRLEN})'
            System::Call 'wtsapi32::WTSFreeMemory(p r2)'
            ; Names compare without regard to case, in NSIS as in Windows.
            ${If} $0 == $1
                StrCpy $3 1
            ${EndIf}
        ${EndIf}
    ${EndIf}
    StrCpy $0 $3
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd
!macroend
