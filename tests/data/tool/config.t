# quillon config show, sign and verify.
$ quillon config show c.xml --app Ledger --version 4.2
Product "Ledger & Co"
Component
  Name "Client"
  Empty
  Quote "say \"\u00E9\u20AC\"\t"
$ quillon config show - --app Ledger --version 4.2 --json <c.xml
{"name":null,"text":"\n  \n  \n ","children":[
  {"name":"Product","text":"Ledger & Co","children":[]},
  {"name":"Component","text":null,"children":[
    {"name":"Name","text":"Client","children":[]},
    {"name":"Empty","text":null,"children":[]},
    {"name":"Quote","text":"say \"\u00E9\u20AC\"\t","children":[]}
  ]}
]}
# XML errors: FILE:LINE:COLUMN, the cause in words, the byte offset.
$ quillon config show broken.xml --version 1 --app A
X "1"
Y
  Z
! broken.xml:1:55: the text ends too early (byte 54)
[exit 1]
$ printf '<ROOT>\n<Application Name="a<b"/>' | quillon config show - --app A --version 1
! <stdin>:2:21: '<' not allowed in an attribute value (byte 27)
[exit 1]
$ printf '\357\273\277<ROOT/>' | quillon config verify - --app A --version 1
! <stdin>:1:1: a byte-order mark: the file must start with '<' (save it without one) (byte 0)
[exit 1]
$ awk 'BEGIN { for (i = 0; i < 513; i++) printf "<a>" }' >deep.xml
$ quillon config show deep.xml --app A --version 1
! deep.xml:1:1537: nesting deeper than 512 levels (byte 1536)
[exit 1]
# One set of exit codes: 3 when no section matches, for every command.
$ quillon config show c.xml --app Ledger --version 4.20
! quillon config show: no Application with Name 'Ledger' and Version '4.20' in 'c.xml'
[exit 3]
$ quillon config sign c.xml --app Ledger --version 9
! quillon config sign: no Application with Name 'Ledger' and Version '9' in 'c.xml'
[exit 3]
$ quillon config verify - --app Payroll --version 4.2 <c.xml
! quillon config verify: no Application with Name 'Payroll' and Version '4.2' in standard input
[exit 3]
$ quillon config sign broken.xml --app A --version 1 -o out.xml; test -e out.xml || echo none written
none written
! broken.xml:1:55: the text ends too early (byte 54)
$ quillon config show missing.xml --app A --version 1
! quillon config show: cannot read 'missing.xml': No such file or directory
[exit 2]
$ : >empty.xml; quillon config verify empty.xml --app A --version 1
! quillon config verify: cannot read 'empty.xml': it is empty
[exit 2]
# Without -o the signed section goes to standard output; FILE stays as it is.
$ quillon config sign c.xml --app Ledger --version 4.1
<?xml version="1.0" encoding="ISO-8859-1"?>
<ROOT>
	<Application Name="Ledger" Version="4.1" Signature="577b9c26bffca6370c5485ac3cbae740">
		<Old>x</Old>
	</Application>
</ROOT>
$ quillon config sign - --app Ledger --version 4.1 -o - <c.xml | quillon config verify - --app Ledger --version 4.1
valid
$ quillon config verify c.xml --app Ledger --version 4.1
invalid
[exit 1]
$ quillon config sign c.xml --app Ledger --version 4.1 -o s.xml && sed 's/x</y</' s.xml | quillon config verify - --app Ledger --version 4.1
invalid
[exit 1]
$ quillon config sign c.xml --app Ledger --version 4.2 -o no/such/dir.xml
! quillon config sign: cannot write 'no/such/dir.xml': No such file or directory
[exit 2]
# --in-place (or -o FILE) refuses to drop what FILE holds beside the section, and leaves it untouched.
$ cp c.xml d.xml; quillon config sign d.xml --app Ledger --version 4.2 --in-place; echo "exit $?"; cmp c.xml d.xml
exit 2
! d.xml:4:2: a second element below ROOT ('Application'), which the saved section would drop
! quillon config sign: refusing to overwrite 'd.xml' (write elsewhere with -o OUT, or add --force)
$ quillon config sign d.xml --app Ledger --version 4.1 -o d.xml; echo "exit $?"; cmp c.xml d.xml
exit 2
! d.xml:4:2: a second element below ROOT ('Application'), which the saved section would drop
! quillon config sign: refusing to overwrite 'd.xml' (write elsewhere with -o OUT, or add --force)
$ quillon config sign d.xml --app Ledger --version 4.1 --in-place --force && cmp d.xml s.xml && echo replaced
replaced
# A file that holds only its section is re-signed in place.
$ sed 's/Signature="[0-9a-f]*"/Signature="0"/' s.xml >e.xml && quillon config sign e.xml --app Ledger --version 4.1 --in-place && cmp e.xml s.xml && echo same
same
$ quillon config show c.xml --app Ledger --version 4.2 >/dev/full
! quillon: cannot write to standard output: No space left on device
[exit 2]
# What --in-place refuses to drop, each at its first occurrence (losses.txt holds one file per line).
$ while read -r body; do printf '%s' "$body" >f.xml; quillon config sign f.xml --app A --version 1 --in-place 2>&1 | head -n 1; done <losses.txt
f.xml:1:31: the encoding 'UTF-8', which the saved section would drop
f.xml:1:1: a document type declaration, which the saved section would drop
f.xml:1:7: a comment, which the saved section would drop
f.xml:1:41: a processing instruction, which the saved section would drop
f.xml:1:7: attribute 'id', which the saved section would drop
f.xml:1:41: attribute 'Owner', which the saved section would drop
f.xml:1:44: attribute 'b', which the saved section would drop
f.xml:1:44: a CDATA section, which the saved section would drop
f.xml:1:44: a character reference, which the saved section would drop
f.xml:1:44: a reference to 'nbsp', which the saved section would drop
f.xml:1:44: text beside child elements in 'A', which the saved section would drop
f.xml:1:44: text beside child elements in 'A', which the saved section would drop
f.xml:1:41: text directly in 'Application', which the saved section would drop
f.xml:1:7: text directly in 'ROOT', which the saved section would drop
f.xml:1:52: a reference in an attribute value, which the saved section would drop
f.xml:1:42: a second element below ROOT ('Other'), which the saved section would drop
f.xml:1:49: a comment, which the saved section would drop
f.xml:1:49: text after the root element, which the saved section would drop
# Layout is no content: quotes, line ends, blanks, <B/> and &gt; are rewritten without complaint.
$ printf "<?xml version='1.0' encoding='iso-8859-1'?>\n<ROOT>\n  <Application Name='A' Version='1'>\n    <A>&gt;&lt;</A><B/>\n  </Application>\n</ROOT>\n" >ok.xml
$ quillon config sign ok.xml --app A --version 1 --in-place && quillon config get ok.xml --app A --version 1 A
><
