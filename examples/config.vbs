' config.vbs - reads a setup configuration through Quillon's COM server.
'
' Register the DLL of the script host's bitness first (as an administrator):
'   64-bit cscript: C:\Windows\System32\regsvr32 /s x64\Quillon.dll
'   32-bit cscript: C:\Windows\SysWOW64\regsvr32 /s x86\Quillon.dll
' then run
'   cscript //nologo examples\config.vbs [configuration file]
' The file defaults to setup-config.xml beside this script.
Option Explicit

Dim files, fileName, config, optionNumber
Set files = CreateObject("Scripting.FileSystemObject")
If WScript.Arguments.Count > 0 Then
    fileName = WScript.Arguments(0)
Else
    fileName = files.BuildPath(files.GetParentFolderName(WScript.ScriptFullName), "setup-config.xml")
End If

On Error Resume Next
Set config = CreateObject("Quillon.CQuillonConfig")
If Err.Number <> 0 Then
    WScript.Echo "Quillon.CQuillonConfig is not registered for this script host's bitness (regsvr32 Quillon.dll)."
    WScript.Quit 1
End If
On Error GoTo 0

' The section to load: the Application element of that Name and Version.
config.AppName = "Ledger"
config.AppVersion = "4.2"
config.Parse fileName

' Components are looked up by product code and option; no match answers "".
For optionNumber = 1 To 4
    WScript.Echo "Option " & optionNumber & ": " & NameOrNone(config.GetComponentName(4711, optionNumber))
Next

' In protection mode only a file signed by Write2XML or `quillon config sign`
' yields names; the example file carries no signature.
config.Mode = "Protection"
config.Parse fileName
WScript.Echo "Unsigned, in protection mode: " & NameOrNone(config.GetComponentName(4711, 1))

Function NameOrNone(name)
    If name = "" Then NameOrNone = "(none)" Else NameOrNone = name
End Function
