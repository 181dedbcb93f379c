# Every wrong argument is named, followed by one line pointing to the help;
# nothing runs, nothing goes to standard output, and the exit status is 2.
$ quillon
! quillon: missing COMMAND
! Try 'quillon --help'.
[exit 2]
$ quillon frobnicate
! quillon: unknown command 'frobnicate'
! Try 'quillon --help'.
[exit 2]
$ quillon help frobnicate
! quillon: unknown command 'frobnicate'
! Try 'quillon --help'.
[exit 2]
$ quillon "$(printf 'a\033b')"
! quillon: unknown command 'a\x1Bb'
! Try 'quillon --help'.
[exit 2]
$ quillon config
! quillon config: missing show, get, set, sign or verify
! Try 'quillon config --help'.
[exit 2]
$ quillon config walk c.xml
! quillon config: unknown subcommand 'walk'
! Try 'quillon config --help'.
[exit 2]
$ quillon config show c.xml --app A
! quillon config show: missing --version VERSION
! Try 'quillon config --help'.
[exit 2]
$ quillon config show c.xml --version 1
! quillon config show: missing --app NAME
! Try 'quillon config --help'.
[exit 2]
$ quillon config show c.xml --app A --version
! quillon config show: option '--version' needs a value
! Try 'quillon config --help'.
[exit 2]
$ quillon config show --app A --version 1
! quillon config show: missing FILE
! Try 'quillon config --help'.
[exit 2]
$ quillon config show c.xml c.xml --app A --version 1
! quillon config show: more than one FILE
! Try 'quillon config --help'.
[exit 2]
$ quillon config show c.xml --app A --app B --version 1
! quillon config show: option '--app' given twice
! Try 'quillon config --help'.
[exit 2]
$ quillon config verify c.xml --app A --version 1 --in-place
! quillon config verify: unknown option '--in-place'
! Try 'quillon config --help'.
[exit 2]
$ quillon config sign c.xml --app A --version 1 -o ''
! quillon config sign: option '-o' needs a file name (- for standard output)
! Try 'quillon config --help'.
[exit 2]
$ quillon config sign c.xml --app A --version 1 -o x --in-place
! quillon config sign: give -o OUT or --in-place, not both
! Try 'quillon config --help'.
[exit 2]
$ quillon config sign - --app A --version 1 --in-place
! quillon config sign: --in-place needs a FILE, not standard input
! Try 'quillon config --help'.
[exit 2]
$ quillon config sign c.xml --app A --version 1 --force
! quillon config sign: --force applies only with --in-place
! Try 'quillon config --help'.
[exit 2]
$ quillon config get c.xml --app A --version 1
! quillon config get: missing PATH
! Try 'quillon config --help'.
[exit 2]
$ quillon config get c.xml --app A --version 1 a b
! quillon config get: too many arguments
! Try 'quillon config --help'.
[exit 2]
$ quillon config get c.xml --app A --version 1 'a b'
! quillon config get: 'a b' in path 'a b' is not an element name
! Try 'quillon config --help'.
[exit 2]
$ quillon config get c.xml --app A --version 1 a/b[0]
! quillon config get: bad index in 'b[0]' (want NAME[N], N from 1)
! Try 'quillon config --help'.
[exit 2]
$ quillon config get c.xml --app A --version 1 a[2x]
! quillon config get: bad index in 'a[2x]' (want NAME[N], N from 1)
! Try 'quillon config --help'.
[exit 2]
$ quillon config set c.xml --app A --version 1
! quillon config set: missing PATH VALUE or PATH=VALUE
! Try 'quillon config --help'.
[exit 2]
$ quillon config set c.xml --app A --version 1 a=1 b
! quillon config set: expected PATH=VALUE, got 'b'
! Try 'quillon config --help'.
[exit 2]
$ quillon script
! quillon script: missing 'run'
! Try 'quillon script --help'.
[exit 2]
$ quillon script walk 1
! quillon script: unknown subcommand 'walk'
! Try 'quillon script --help'.
[exit 2]
$ quillon script run
! quillon script run: missing SCRIPT
! Try 'quillon script --help'.
[exit 2]
$ quillon script run -- --5 + 1
! quillon script run: more than one SCRIPT (quote the script)
! Try 'quillon script --help'.
[exit 2]
$ quillon script run --set x=float:1 x
! quillon script run: bad --set 'x=float:1' (want NAME=TYPE:VALUE, TYPE string, long or multipart)
! Try 'quillon script --help'.
[exit 2]
$ quillon script run --set =long:1 x
! quillon script run: bad --set '=long:1' (want NAME=TYPE:VALUE, TYPE string, long or multipart)
! Try 'quillon script --help'.
[exit 2]
$ quillon script run x --set
! quillon script: option '--set' needs a value
! Try 'quillon script --help'.
[exit 2]
$ quillon script run --sett x
! quillon script: unknown option '--sett'
! Try 'quillon script --help'.
[exit 2]
$ quillon script run --trace=1 x
! quillon script: option '--trace' takes no value
! Try 'quillon script --help'.
[exit 2]
$ quillon script run --file x.txt x
! quillon script run: give either SCRIPT or --file PATH
! Try 'quillon script --help'.
[exit 2]
$ quillon version
! quillon version: missing 'compare'
! Try 'quillon version --help'.
[exit 2]
$ quillon version equal 1 2
! quillon version: unknown subcommand 'equal'
! Try 'quillon version --help'.
[exit 2]
$ quillon version compare 1
! quillon version compare: expected FIRST and SECOND
! Try 'quillon version --help'.
[exit 2]
$ quillon version compare -1 1
! quillon version: unknown option '-1'
! Try 'quillon version --help'.
[exit 2]
$ quillon xml-events
! quillon xml-events: missing FILE
! Try 'quillon xml-events --help'.
[exit 2]
$ quillon xml-events a b
! quillon xml-events: more than one FILE
! Try 'quillon xml-events --help'.
[exit 2]
$ quillon xml-events --ascii-only --ascii-only c.xml
! quillon xml-events: option '--ascii-only' given twice
! Try 'quillon xml-events --help'.
[exit 2]
