#!/usr/bin/env bash
# End to end: the installer actions of the x64 Quillon.dll run by a real
# Windows Installer (Wine's msiexec) from a package built with wixl.
#
# The package (tests/e2e/installer_actions.wxs) takes its inputs from the
# msiexec command line and records what the actions left in the installer
# properties as registry values, which this script reads back with `reg query`.
#
# "ShellExecuteVar" needs a placeholder that resolves to a program this test
# controls. "[CommonFilesFolder]" is the one placeholder that names whatever
# the registry says, so for the duration of the run the prefix's
# CommonFilesDir points at a copy of record_args.exe in C:\windows\temp (and is
# restored afterwards). The program records the command line it was started
# with, which shows that the placeholder was expanded and " /RegServer"
# arrived.
set -uo pipefail
ROOT=${1:?usage: e2e_msi.sh REPO_ROOT}
source "$ROOT/tests/support/wine_check.sh"
WORK=$ROOT/build/e2e-msi

require_files "$BUILD/Quillon.dll" "$BUILD/record_args.exe"
command -v wixl >/dev/null || { echo "wixl is not installed"; exit 1; }
ensure_wine_prefix

rm -rf "$WORK" && mkdir -p "$WORK"
cp "$BUILD/Quillon.dll" "$ROOT/tests/e2e/installer_actions.wxs" "$WORK/"
(cd "$WORK" && wixl -a x64 installer_actions.wxs -o installer_actions.msi) || { echo "wixl failed"; exit 1; }
# The example package of the user documentation is built and installed too.
sed -n '/^```xml$/,/^```$/p' "$ROOT/docs/installer-actions.md" | sed '1d;$d' >"$WORK/example.wxs"
(cd "$WORK" && wixl -a x64 example.wxs -o example.msi) || { echo "wixl rejects the example of docs/installer-actions.md"; exit 1; }
# And the first listing of docs/system-tasks.md (the rights actions).
awk '/^```xml$/ { inside = 1; next } inside && /^```$/ { exit } inside' "$ROOT/docs/system-tasks.md" >"$WORK/rights.wxs"
(cd "$WORK" && wixl -a x64 rights.wxs -o rights.msi) || { echo "wixl rejects the example of docs/system-tasks.md"; exit 1; }

server_dir=$WINEPREFIX/drive_c/windows/temp
server_windows='C:\windows\temp\quillon_record_args.exe'
server_record=$server_dir/quillon_record_args.args.txt
mkdir -p "$server_dir"
cp "$BUILD/record_args.exe" "$server_dir/quillon_record_args.exe"

version_key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
common_files=$(wine reg query "$version_key" /v CommonFilesDir 2>/dev/null | tr -d '\r' |
               sed -n 's/^[[:space:]]*CommonFilesDir[[:space:]]*REG_SZ[[:space:]]*//p')
# A run that was cut short may have left the redirection in place.
if [ -z "$common_files" ] || [ "$common_files" = "$server_windows" ]; then
  common_files='C:\Program Files\Common Files'
fi
restore() {
  local attempt now
  for attempt in 1 2 3; do
    wine reg add "$version_key" /v CommonFilesDir /t REG_SZ /d "$common_files" /f >/dev/null 2>&1
    now=$(wine reg query "$version_key" /v CommonFilesDir 2>/dev/null | tr -d '\r' |
          sed -n 's/^[[:space:]]*CommonFilesDir[[:space:]]*REG_SZ[[:space:]]*//p')
    [ "$now" = "$common_files" ] && break
    echo "CommonFilesDir not restored yet ('$now'), retrying"
  done
  (cd "$WORK" && wine msiexec /x installer_actions.msi /qn /norestart >/dev/null 2>&1)
  (cd "$WORK" && wine msiexec /x example.msi /qn /norestart >/dev/null 2>&1)
  (cd "$WORK" && wine msiexec /x rights.msi /qn /norestart >/dev/null 2>&1)
  rm -f "$server_dir/quillon_record_args.exe" "$server_record"
}
trap restore EXIT
wine reg add "$version_key" /v CommonFilesDir /t REG_SZ /d "$server_windows" /f >/dev/null

results_key='HKLM\Software\QuillonE2E'
prefix=r:
# The recorded value of one registry value, without its prefix.
recorded() {
  wine reg query "$results_key" /v "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^[[:space:]]*$1[[:space:]]*REG_SZ[[:space:]]*$prefix//p"
}
expect() {  # name expected what
  local got
  got=$(recorded "$1")
  if [ "$got" = "$2" ]; then pass "$3: $1 = '$got'"; else fail "$3: $1 is '$got', expected '$2'"; fi
}
wait_for_record() {
  for _ in $(seq 1 200); do [ -f "$server_record" ] && { tr -d '\r' <"$server_record"; return 0; }; sleep 0.1; done
  return 1
}

install() {  # label expected-exit-code properties...
  local label=$1 expected=$2 code
  shift 2
  rm -f "$server_record"
  (cd "$WORK" && wine msiexec /i "${PACKAGE:-installer_actions.msi}" /qn /norestart "$@")
  code=$?
  # msiexec's 3010 ("success, reboot required") arrives as 3010 mod 256.
  if [ "$code" -eq "$expected" ]; then pass "$label: msiexec exit code $code"
  else fail "$label: msiexec exit code $code, expected $expected"; fi
}

uninstall() {
  (cd "$WORK" && wine msiexec /x "${PACKAGE:-installer_actions.msi}" /qn /norestart) || fail "$1: uninstall failed"
  if wine reg query "$results_key" >/dev/null 2>&1; then fail "$1: results key left after uninstall"
  else pass "$1: uninstalled"; fi
}

check_launch() {  # label expected-show-state
  local record
  if record=$(wait_for_record); then
    # An x64 package's own [CommonFilesFolder] is the x86 common files folder;
    # only the action's expansion yields exactly the redirected 64-bit value.
    if grep -qE '^command line: "?C:\\windows\\temp\\quillon_record_args\.exe"? +/RegServer$' <<<"$record"; then
      pass "$1: server started through [CommonFilesFolder] with ' /RegServer' ($(head -n1 <<<"$record"))"
    else fail "$1: server recorded '$record'"; fi
    if grep -qx "show state: $2" <<<"$record"; then pass "$1: show state $2"
    else fail "$1: show state: $record"; fi
  else
    fail "$1: the server was not started"
  fi
}

# First install: the launch hidden, five pairs, no reboot scheduled, rights
# on a drive that does not exist (no volume to ask: already right).
install "install 1" 0 \
  FDX_FUNCTION=ShellExecuteVar 'FDX_VAR1=[CommonFilesFolder]' FDX_VAR2=unused \
  'FILE_PATH=Q:\quillon\app.exe' \
  CF_FIRST=2.0 CF_SECOND=10.0 \
  P1A=2.10 P1B=2.9  P2A=1.0 P2B=1.0.0  P3A=1.0.0 P3B=1.0  P4A=1a P4B=1A  P5B=1
check_launch "install 1" 0
expect LaunchVariables '||' "install 1 ShellExecuteVar clears FDX_VAR1 and FDX_VAR2"
expect CompareVariables '||2' "install 1 CustomFunction CompareVersions 2.0 vs 10.0"
expect Compare1 1 "install 1 CompareVersions 2.10 vs 2.9"
expect Compare2 1 "install 1 CompareVersions 1.0 vs 1.0.0"
expect Compare3 2 "install 1 CompareVersions 1.0.0 vs 1.0"
expect Compare4 0 "install 1 CompareVersions 1a vs 1A"
expect Compare5 2 "install 1 CompareVersions unset vs 1"
expect CompareInputs '|1' "install 1 CompareVersions leaves its inputs"
expect RebootRequired 0 "install 1 IsRebootRequired without a scheduled reboot"
expect RightsOk 1 "install 1 CheckRights on a drive that does not exist"
uninstall "install 1"

# Second install: the launch shown (FDX_VAR3 1, function name in another
# case), other pairs, a reboot scheduled before IsRebootRequired.
install "install 2" $((3010 % 256)) \
  FDX_FUNCTION=shellexecutevar 'FDX_VAR1=[CommonFilesFolder]' FDX_VAR3=1 \
  SCHEDULE_REBOOT=1 'FILE_PATH=C:\windows\temp\quillon_no_such_file.txt' \
  P1A=2.9 P1B=2.10  P2A=1.0.0.0 P2B=1.0.0.0  P3A=1.2.3.4.5 P3B=1.2.3.4  P4A=12a P4B=12  P5B=0
check_launch "install 2" 1
expect LaunchVariables '||' "install 2 ShellExecuteVar clears FDX_VAR1 and FDX_VAR3"
expect CompareVariables '||0' "install 2 CustomFunction CompareVersions of two empty texts"
expect Compare1 2 "install 2 CompareVersions 2.9 vs 2.10"
expect Compare2 0 "install 2 CompareVersions 1.0.0.0 vs 1.0.0.0"
expect Compare3 0 "install 2 CompareVersions 1.2.3.4.5 vs 1.2.3.4"
expect Compare4 1 "install 2 CompareVersions 12a vs 12"
expect Compare5 1 "install 2 CompareVersions unset vs 0"
expect RebootRequired 1 "install 2 IsRebootRequired after ScheduleReboot"
expect RightsOk 0 "install 2 CheckRights on a file that does not exist"
uninstall "install 2"

# The documentation's example: the launch from the Property table, both
# comparisons against the package's version 2.10.0, no reboot.
PACKAGE=example.msi results_key='HKLM\Software\Example' prefix=v
install "example" 0 INSTALLED_VERSION=2.9
check_launch "example" 0
expect CompareCode 2 "example CompareVersions 2.9 vs 2.10.0"
expect VariablesCode 2 "example CustomFunction CompareVersions 2.9 vs 2.10"
expect RebootPending 0 "example IsRebootRequired"
uninstall "example"

# The rights example of docs/system-tasks.md: after InstallFinalize it checks
# the data folder and grants Users access only when the check said "0". Its
# actions leave no registry trace, so the installer's log tells what ran.
PACKAGE=rights.msi results_key='HKLM\Software\ExampleRights' prefix=
(cd "$WORK" && rm -f rights.log && wine msiexec /i rights.msi /qn /norestart /l*v rights.log)
code=$?
if [ "$code" -eq 0 ]; then pass "rights example: msiexec exit code 0"; else fail "rights example: msiexec exit code $code"; fi
expect DataFolder 'C:\ProgramData\Example Data\' "rights example creates the data folder"
log_text=$(tr -d '\r' <"$WORK/rights.log" 2>/dev/null)
rights_ok=$(sed -n 's/^Property(S): RIGHTS_OK = //p' <<<"$log_text" | tail -n1)
file_path=$(sed -n 's/^Property(S): FILE_PATH = //p' <<<"$log_text" | tail -n1)
if [ "$file_path" = 'C:\ProgramData\Example Data\' ]; then pass "rights example: FILE_PATH names the data folder"
else fail "rights example: FILE_PATH is '$file_path'"; fi
if grep -q 'Action ended .*: CheckUsers\.' <<<"$log_text" && [[ "$rights_ok" == [01] ]]; then
  pass "rights example: CheckRights wrote RIGHTS_OK = $rights_ok"
else fail "rights example: CheckRights did not write RIGHTS_OK ('$rights_ok')"; fi
granted=0; grep -q 'Action ended .*: GrantUsers\.' <<<"$log_text" && granted=1
should_grant=0; [ "$rights_ok" = 0 ] && should_grant=1
if [ "$granted" -eq "$should_grant" ]; then pass "rights example: SetRights ran only after a failed check ($granted)"
else fail "rights example: SetRights ran: $granted, RIGHTS_OK: '$rights_ok'"; fi
uninstall "rights example"

finish_check e2e_msi
