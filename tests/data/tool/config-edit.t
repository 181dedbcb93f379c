# quillon config get and set; the edit round trip on a protected file.
$ quillon config get c.xml --app Ledger --version 4.2 component/QUOTE --json
"say \"\u00E9\u20AC\"\t"
$ printf '<ROOT><Application Name="A" Version="1"><K>\177</K></Application></ROOT>' | quillon config get - --app A --version 1 K --json
"\u007F"
$ quillon config get c.xml --app Ledger --version 4.2 Component/Empty --json
null
$ quillon config get c.xml --app Ledger --version 4.2 Product
Ledger & Co
$ quillon config get c.xml --app Ledger --version 4.2 Component/Nope
! quillon config get: no node 'Component/Nope': 'Nope' is not below 'Component'
[exit 4]
$ quillon config get c.xml --app Ledger --version 4.2 Component[9]/Name
! quillon config get: no node 'Component[9]/Name': 'Component[9]' is not below the section's root
[exit 4]
$ quillon config get c.xml --app Ledger --version 4.3 Product
! quillon config get: no Application with Name 'Ledger' and Version '4.3' in 'c.xml'
[exit 3]
# set, then get, then verify: a signed file stays signed.
$ quillon config sign c.xml --app Ledger --version 4.2 -o p.xml
$ quillon config set p.xml --app Ledger --version 4.2 Component/Name=Server Product='A & B' --in-place
$ quillon config get p.xml --app Ledger --version 4.2 Product && quillon config verify p.xml --app Ledger --version 4.2
A & B
valid
# set --create of new paths.
$ quillon config set p.xml --app Ledger --version 4.2 Database/Name=LEDGER Component[2]/Name= --create --in-place
$ quillon config show p.xml --app Ledger --version 4.2 && quillon config verify p.xml --app Ledger --version 4.2
Product "A & B"
Component "\r\n\t\t\t\r\n\t\t\t\r\n\t\t\t\r\n\t\t"
  Name "Server"
  Empty
  Quote "say \"\u00E9\u20AC\"\t"
Database "\r\n\t\t\t\r\n\t\t"
  Name "LEDGER"
Component "\r\n\t\t\t\r\n\t\t"
  Name
valid
$ quillon config set p.xml --app Ledger --version 4.2 Component[4]/Name=x --create
! quillon config set: no node 'Component[4]/Name': 'Component[4]' is not below the section's root
[exit 4]
$ quillon config set p.xml --app Ledger --version 4.2 Component=x
! quillon config set: 'Component' has child elements, and a saved file keeps only theirs
[exit 2]
# --in-place refuses, leaving FILE untouched.
$ cp c.xml d.xml; quillon config set d.xml --app Ledger --version 4.2 Product=X --in-place; echo "exit $?"; cmp c.xml d.xml
exit 2
! d.xml:4:2: a second element below ROOT ('Application'), which the saved section would drop
! quillon config set: refusing to overwrite 'd.xml' (write elsewhere with -o OUT, or add --force)
# An unsigned file stays unsigned unless --protect; a broken signature is not renewed.
$ quillon config set c.xml --app Ledger --version 4.1 Old y=z | quillon config get - --app Ledger --version 4.1 Old
y=z
$ quillon config set c.xml --app Ledger --version 4.1 Old=x --protect >a.xml; quillon config sign c.xml --app Ledger --version 4.1 | cmp - a.xml && echo signed as sign signs
signed as sign signs
$ sed 's/LEDGER/X/' p.xml >t.xml; quillon config set t.xml --app Ledger --version 4.2 Product=x | grep Signature || echo unsigned
unsigned
! quillon config set: note: the signature of 't.xml' does not verify; the result is not signed (add --protect to sign it)
