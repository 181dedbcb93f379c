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
# Event sequences: every event with its position and payload.
# Element, attribute and text.
$ printf '<a x="1">t</a>' | quillon xml-events -
1 0
3 2 "a"
11 4 "x"
13 8 "1"
5 8 "x" "1"
12 8
10 9
6 10 "t"
4 14
2 14
result 0
# Empty element.
$ printf '<a/>' | quillon xml-events -
1 0
3 2 "a"
10 4
4 4
2 4
result 0
# No empty part beside a reference.
$ printf "<a v='&lt;&#65;&gt;' w=''/>" | quillon xml-events -
1 0
3 2 "a"
11 4 "v"
9 10 "lt" "<"
9 19 "gt" ">"
5 20 "v" "&lt;&#65;&gt;"
12 20
11 22 "w"
5 25 "w" ""
12 25
10 27
4 27
2 27
result 0
# References split text.
$ printf '<a>x&lt;y&#65;z&foo;</a>' | quillon xml-events -
1 0
3 2 "a"
10 3
6 4 "x"
9 8 "lt" "<"
6 9 "y"
6 15 "z"
9 20 "foo" null
4 24
2 24
result 0
# Predefined entities, with case.
$ printf '<a>&lt;&gt;&amp;&apos;&quot;&Amp;</a>' | quillon xml-events -
1 0
3 2 "a"
10 3
9 7 "lt" "<"
9 11 "gt" ">"
9 16 "amp" "&"
9 22 "apos" "'"
9 28 "quot" "\""
9 33 "Amp" null
4 37
2 37
result 0
# Declaration.
$ printf '<?xml version='\''1.0'\'' encoding="latin1" standalone="yes"?><r/>' | quillon xml-events -
1 0
7 19 "1.0"
8 37 "latin1"
3 58 "r"
10 60
4 60
2 60
result 0
# Markup outside text is silent.
$ printf '<!DOCTYPE r><!--c--><?p d?><r><!--c--><?p?><![CDATA[<x>]]></r><!--c-->' | quillon xml-events -
1 0
3 29 "r"
10 30
4 62
2 70
result 0
# End after trailing misc, the rest unread.
$ printf '<a/> <!--c--> <b>unread' | quillon xml-events -
1 0
3 2 "a"
10 4
4 4
2 14
result 0
# Nested elements close in order.
$ printf "<a><b c='d'/><e >f</e ></a>" | quillon xml-events -
1 0
3 2 "a"
10 3
3 5 "b"
11 7 "c"
13 11 "d"
5 11 "c" "d"
12 11
10 13
4 13
3 15 "e"
10 17
6 18 "f"
4 23
4 27
2 27
result 0
# Nothing after an error.
$ printf '<a><b></a' | quillon xml-events -
1 0
3 2 "a"
10 3
3 5 "b"
10 6
result 1
! <stdin>:1:10: the text ends too early (byte 9)
[exit 1]
# Whitespace runs kept.
$ printf '<a> <b/>\r\n\t<c> x y </c>\n</a>' | quillon xml-events -
1 0
3 2 "a"
10 3
6 4 " "
3 6 "b"
10 8
4 8
6 11 "\r\n\t"
3 13 "c"
10 14
6 19 " x y "
4 23
6 24 "\n"
4 28
2 28
result 0
# Declarations add no events.
$ printf "<!DOCTYPE a [<!ELEMENT a (#PCDATA)><!ATTLIST a b CDATA #IMPLIED><!NOTATION n SYSTEM 's'><!ENTITY %% p 'x'>%%p;<?pi?><!--c-->]><a>x</a>" | quillon xml-events -
1 0
3 126 "a"
10 127
6 128 "x"
4 132
2 132
result 0
# A fixed default is reported like a value, without name and end.
$ printf "<!DOCTYPE a [<!ATTLIST a b CDATA #FIXED 'v&amp;w'>]><a/>" | quillon xml-events -
1 0
13 42 "v"
9 47 "amp" "&"
13 49 "w"
3 54 "a"
10 56
4 56
2 56
result 0
# An entity value reports entity references only.
$ printf '<!DOCTYPE a [<!ENTITY e "%%p; &amp;&#65;&e2;">]><a/>' | quillon xml-events -
1 0
9 34 "amp" "&"
9 43 "e2" null
3 49 "a"
10 51
4 51
2 51
result 0
# Declared entities are not expanded.
$ printf "<!DOCTYPE a [<!ENTITY e 'text'>]><a>&e;</a>" | quillon xml-events -
1 0
3 35 "a"
10 36
9 39 "e" null
4 43
2 43
result 0
# Errors (the events before them left out): the byte where reading stopped and the cause, in the same words the configuration commands use.
$ printf '<a x="1"y="2"/>' | quillon xml-events - >/dev/null
! <stdin>:1:9: expected '>', found 'y' (byte 8)
[exit 1]
$ printf '<a>]]></a>' | quillon xml-events - >/dev/null
! <stdin>:1:4: expected '</', found ']' (byte 3)
[exit 1]
$ printf '<a><!-- a -- b --></a>' | quillon xml-events - >/dev/null
! <stdin>:1:11: expected '-->', found '-' (byte 10)
[exit 1]
$ printf "<a x='a<b'/>" | quillon xml-events - >/dev/null
! <stdin>:1:8: '<' not allowed in an attribute value (byte 7)
[exit 1]
$ printf 'x<a/>' | quillon xml-events - >/dev/null
! <stdin>:1:1: expected '<', found 'x' (byte 0)
[exit 1]
$ printf " <?xml version='1.0'?><a/>" | quillon xml-events - >/dev/null
! <stdin>:1:7: a processing instruction may not be named 'xml' (a declaration must open the file) (byte 6)
[exit 1]
$ printf '<a>&#X41;</a>' | quillon xml-events - >/dev/null
! <stdin>:1:6: a character reference needs digits (&#65; or &#x41;) (byte 5)
[exit 1]
$ printf '<a>&#;</a>' | quillon xml-events - >/dev/null
! <stdin>:1:6: a character reference needs digits (&#65; or &#x41;) (byte 5)
[exit 1]
$ printf '<a><![CDATA[\001]]></a>' | quillon xml-events - >/dev/null
! <stdin>:1:13: expected ']]>', found byte 0x01 (byte 12)
[exit 1]
$ printf '<!DOCTYPE a [<![INCLUDE[]]>]><a/>' | quillon xml-events - >/dev/null
! <stdin>:1:14: expected ']', found '<' (byte 13)
[exit 1]
$ printf '<a><!--\001--></a>' | quillon xml-events - >/dev/null
! <stdin>:1:8: byte 0x01 is not allowed here (byte 7)
[exit 1]
$ printf '<a><b></a' | quillon xml-events - >/dev/null
! <stdin>:1:10: the text ends too early (byte 9)
[exit 1]
$ printf "<a x='1' 1='2'/>" | quillon xml-events - >/dev/null
! <stdin>:1:10: expected '>', found '1' (byte 9)
[exit 1]
$ printf '<a>< b/></a>' | quillon xml-events - >/dev/null
! <stdin>:1:4: expected '</', found '<' (byte 3)
[exit 1]
$ printf "<?xml version=''?><a/>" | quillon xml-events - >/dev/null
! <stdin>:1:16: the version number is empty (byte 15)
[exit 1]
$ printf "<?xml version='1' encoding='-'?><a/>" | quillon xml-events - >/dev/null
! <stdin>:1:29: an encoding name must start with a letter (byte 28)
[exit 1]
$ printf "<!DOCTYPE a [<!ENTITY e '<'>]><a/>" | quillon xml-events - >/dev/null
! <stdin>:1:26: '<' not allowed in an entity value (byte 25)
[exit 1]
$ printf '<!DOCTYPEa><a/>' | quillon xml-events - >/dev/null
! <stdin>:1:10: expected whitespace, found 'a' (byte 9)
[exit 1]
$ printf '<a></>' | quillon xml-events - >/dev/null
! <stdin>:1:6: a name cannot start with '>' (byte 5)
[exit 1]
