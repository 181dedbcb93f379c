# quillon script run: what Execute would hand back, and its exit status.
$ quillon script run '"tab	here \ é€"'
text "tab\there \\ \u00E9\u20AC"
$ quillon script run '5 +'
number 5
$ quillon script run 1,5
none
[exit 1]
$ quillon script run -- '--5 + 1'
number 1
# The first item left is the answer; an operation or a multipart value is none.
$ quillon script run '"x" 7'
text "x"
$ quillon script run '""'
text ""
$ quillon script run ''
none
[exit 1]
$ quillon script run '+ 1'
none
[exit 1]
$ quillon script run --set v=multipart:5.1 v
none
[exit 1]
$ quillon script run -- --help
none
[exit 1]
$ quillon script run --set s=string:a=b:c --set n=long:12abc 's + n'
text "a=b:c12"
$ printf '1 + 1' | quillon script run --file -
number 2
# Control characters never reach the terminal raw.
$ quillon script run "MsgBox \"a$(printf '\033')b\" MsgBox -12 MsgBox (2 > 1)"
none
! Info: a\x1Bb
! Info: -12
! Info: 1
[exit 1]
$ quillon script run --trace '1 > "a"'
items: long:1 op:> string:"a"
stopped at >: long:1 op:> string:"a"
number 1
$ quillon script run --trace '1 > 2 return (2 > 1)'
items: long:1 op:> long:2 $return(none) (2 > 1)
after >: bool:false $return(none) (2 > 1)
  items: long:2 op:> long:1
  after >: bool:true
after return: bool:true
number 1
$ awk 'BEGIN { for (i = 0; i < 100000; i++) printf "("; printf "1"; for (i = 0; i < 100000; i++) printf ")" }' >deep.txt
$ quillon script run --file deep.txt
none
! quillon script run: groups nested deeper than 64; the run was abandoned
[exit 1]
$ quillon script run --file .
! quillon script run: cannot read '.': Is a directory
[exit 2]
# Multipart versions compare number by number (==, != and >): at most four numbers, split at "." or ",";
# any other character ends the reading, a missing number is 0, and a number wraps as atol reads it.
$ quillon script run --set 'l=multipart:5.1' --set 'r=multipart:5.1.0.0' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:5,1 2' --set 'r=multipart:5.1' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:1.2.3.4.5' --set 'r=multipart:1.2.3.4' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:' --set 'r=multipart:0.0' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:2.x.9' --set 'r=multipart:2' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:10' --set 'r=multipart:9.99' '(l == r) + (l != r) + (l > r)'
text "FALSETRUETRUE"
$ quillon script run --set 'l=multipart:1.-1' --set 'r=multipart:1.0' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
$ quillon script run --set 'l=multipart:4294967297' --set 'r=multipart:1' '(l == r) + (l != r) + (l > r)'
text "TRUEFALSEFALSE"
