# quillon --version, and version compare.
$ quillon --version
quillon @QUILLON_VERSION@
$ quillon version compare -- -1 1
0
$ quillon version compare 1a 1A
0
# Accented letters order and fold case as the installer's lstrcmpA/lstrcmpiA do.
$ quillon version compare "$(printf '1\351')" "$(printf '1\311')"
0
$ quillon version compare "$(printf '1\351')" 1f
2
$ quillon version compare --explain 1.0 '12 beta'
2
first "1.0"
  part 0: number 1, suffix absent
  part 1: number 0, suffix absent
  part 2: number 0, suffix ""
  part 3: number 0, suffix ""
second "12 beta"
  part 0: number 12, suffix "beta"
  part 1: number 0, suffix ""
  part 2: number 0, suffix ""
  part 3: number 0, suffix ""
