# quillon xml-events: one line per event of the library's XML reader.
# Fields are JSON strings of Windows-1252 text (0x80 is the euro sign), or null.
$ quillon xml-events bytes.xml
1 0
7 19 "1.0"
8 32 "x"
3 37 "a"
10 38
6 44 "\u0001\"\\\t\u00E9\u20AC"
9 47 "e" null
4 51
2 51
result 0
$ printf '<a x="a&amp;b"/>' | quillon xml-events -
1 0
3 2 "a"
11 4 "x"
13 7 "a"
9 12 "amp" "&"
13 14 "b"
5 14 "x" "a&amp;b"
12 14
10 16
4 16
2 16
result 0
$ printf '<a>\n<b>' | quillon xml-events -
1 0
3 2 "a"
10 3
6 4 "\n"
3 6 "b"
10 7
result 1
! <stdin>:2:4: the text ends too early (byte 7)
[exit 1]
$ quillon xml-events --ascii-only bytes.xml
! quillon xml-events: 'bytes.xml': not ASCII (byte 0xE9 at offset 42); refused
[exit 2]
$ printf '<a>\200</a>' | quillon xml-events --ascii-only -
! quillon xml-events: standard input: not ASCII (byte 0x80 at offset 3); refused
[exit 2]
$ printf '<a>t</a>' | quillon xml-events --ascii-only -
1 0
3 2 "a"
10 3
6 4 "t"
4 8
2 8
result 0
# Unreadable input: "cannot read" and exit 2, never a crash.
$ quillon xml-events .
! quillon xml-events: cannot read '.': Is a directory
[exit 2]
$ quillon xml-events --ascii-only .
! quillon xml-events: cannot read '.': Is a directory
[exit 2]
$ quillon xml-events missing.xml
! quillon xml-events: cannot read 'missing.xml': No such file or directory
[exit 2]
# A failed write to standard output is exit 2, never 0.
$ quillon xml-events bytes.xml >/dev/full
! quillon: cannot write to standard output: No space left on device
[exit 2]
$ awk 'BEGIN { printf "<a>"; for (i = 0; i < 20000; i++) printf "<b/>"; print "</a>" }' >big.xml
$ (quillon xml-events big.xml; echo "exit $?" >status) | head -c 0; cat status
exit 2
! quillon: cannot write to standard output: Broken pipe
