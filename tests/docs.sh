# SPDX-License-Identifier: ISC
# usage: sh docs.sh LABLIT SOURCE-DIR
# What README.md and doc/lablit.1 show is what LABLIT does. Every example, a
# "$ " line and the lines under it (indented in the README, between .EX and
# .EE in the man page), is run by sh with LABLIT first on PATH and must write
# exactly the lines shown and nothing on stderr. In the exit status sections,
# each of the three cases is listed once, with the status LABLIT gives, and
# a status a shell shows after a signal is that signal's.
set -u
lablit=$1 src=$2
PATH=$(dirname -- "$lablit"):$PATH
export PATH
tmp=$(mktemp -d) || exit 2
trap 'rm -rf "$tmp"' EXIT

lablit a1.b22 >/dev/null
written=$?
lablit a1.b22 >/dev/full
failed=$?
lablit
usage=$?

# Reads the documents as man and a Markdown viewer show them, writes each
# example to $tmp/N as where it stands, its command and the lines shown, and
# says what is wrong with the exit statuses.
awk -v tmp="$tmp" -v written=$written -v failed=$failed -v usage=$usage '
function unroff(s, t, i, e) {
	t = ""
	while ((i = index(s, "\\")) > 0) {
		t = t substr(s, 1, i - 1)
		e = substr(s, i + 1, 1)
		if (e == "e") t = t "\\"
		else if (e == "-") t = t "-"
		else if (e == "f") i++ # a font change
		else if (substr(s, i + 1, 3) == "(aq") { t = t "\047"; i += 2 }
		else wrong("unknown escape \\" e)
		s = substr(s, i + 2)
	}
	return t s
}
function wrong(what) { print FILENAME ":" FNR ": " what; bad = 1 }
function example(cmd) {
	done()
	examples[FILENAME]++
	n++
	print FILENAME ":" FNR "\n" cmd > (tmp "/" n)
	open = 1
}
function shown(line) { print line > (tmp "/" n) }
function done() { if (open) close(tmp "/" n); open = 0 }
function listed(status, words, want) {
	words = tolower(words)
	if (words ~ /^both lines were written/) want = written
	else if (words ~ /^writing standard output failed/) want = failed
	else if (words ~ /^not exactly one argument/) want = usage
	else return wrong("status " status " for a case lablit does not know")
	cases[FILENAME, want]++
	if (status != want)
		wrong("status " status " where lablit gives " want ": " words)
}
# A status of 128 or more follows, in the same sentence, the signal a shell
# shows it for.
function signals(line, sig, w, k, i, n, cmd, got) {
	k = split(line, w, " ")
	for (i = 1; i <= k; i++) {
		if (w[i] ~ /^SIG[A-Z]/) {
			sig = substr(w[i], 4)
			sub(/[^A-Z].*/, "", sig)
		}
		if (i > 1 && w[i - 1] == "status" && match(w[i], /^[0-9]+/) &&
		    (n = substr(w[i], 1, RLENGTH) + 0) >= 128) {
			cmd = "kill -l " n
			got = ""
			cmd | getline got
			close(cmd)
			if (got != sig)
				wrong("status " n " is SIG" got "\047s, not SIG" sig "\047s")
		}
		if (w[i] ~ /\.$/) sig = ""
	}
	return sig
}
FNR == 1 { done(); examples[FILENAME] = 0; section = ""; sig = "" }
/^## |^\.SH / { section = $0; sig = "" }
FILENAME ~ /\.md$/ {
	if (/^    \$ /) example(substr($0, 7))
	else if (open && /^    /) shown(substr($0, 5))
	else done()
	if (section != "## Exit status") next
	if (/^- [0-9]+: /) listed(substr($2, 1, length($2) - 1), substr($0, length($2) + 4))
	sig = signals($0, sig)
	next
}
/^\.EX$/ { ex = 1; next }
/^\.EE$/ { done(); ex = 0; next }
ex && /^\$ / { example(unroff(substr($0, 3))); next }
ex && open { shown(unroff($0)); next }
ex { wrong("an example that does not start with a $ line"); ex = 0 }
section == ".SH \"EXIT STATUS\"" {
	if (prev ~ /^\.B [0-9]+$/ && pprev == ".TP") listed(substr(prev, 4), $0)
	else if (!/^\.(TP|PP)$/ && !/^\.B [0-9]+$/) sig = signals(unroff($0), sig)
}
{ pprev = prev; prev = $0 }
END {
	done()
	for (f in examples) {
		if (!examples[f]) { print f ": no example"; bad = 1 }
		if (cases[f, written] != 1 || cases[f, failed] != 1 || cases[f, usage] != 1) {
			print f ": each of the three cases is not listed once"; bad = 1
		}
	}
	exit bad
}' "$src/README.md" "$src/doc/lablit.1" || failures=1

i=1
while [ -f "$tmp/$i" ]; do
	at=$(sed -n 1p "$tmp/$i") cmd=$(sed -n 2p "$tmp/$i")
	tail -n +3 "$tmp/$i" >"$tmp/want"
	(cd "$tmp" && exec sh -c "$cmd") </dev/null >"$tmp/out" 2>"$tmp/err"
	if ! cmp -s "$tmp/out" "$tmp/want" || [ -s "$tmp/err" ]; then
		echo "$at: \$ $cmd wrote:"
		cat "$tmp/out" "$tmp/err"
		echo "and not:"
		cat "$tmp/want"
		failures=1
	fi
	i=$((i + 1))
done
echo "$((i - 1)) examples run"
exit "${failures:-0}"
