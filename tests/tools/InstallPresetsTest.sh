#!/usr/bin/env bash
# tools/install-presets.sh against a host's preset folder that also holds a user's own presets:
# factory files are installed, updated and retired; a file the script did not write is never
# replaced or removed, and running it twice changes nothing.
#   InstallPresetsTest.sh PATH/TO/install-presets.sh
set -euo pipefail
script="$1"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
built="$tmp/built"
target="$tmp/host/presets"
mkdir -p "$built"
fail() { echo "FAIL: $*" >&2; exit 1; }
expect() { [ "$(cat "$target/$1")" = "$2" ] || fail "$1 holds '$(cat "$target/$1")', expected '$2'"; }
run() { bash "$script" "$built" "$target" 2> "$tmp/err" > "$tmp/out" || fail "the script failed: $(cat "$tmp/err")"; }

echo a1 > "$built/a.vstpreset"
echo b1 > "$built/b.vstpreset"
mkdir -p "$target"
echo "mine" > "$target/c.vstpreset"        # a user's preset, later also a factory name
echo "old" > "$target/d.vstpreset"         # a user's preset listed by an install without checksums
printf 'd.vstpreset\n' > "$target/.vorlix-factory-presets"
run
expect a.vstpreset a1
expect b.vstpreset b1
expect c.vstpreset mine

# A new build: a changes, c becomes a factory name, d is a factory name too; the user has saved
# over b meanwhile.
echo a2 > "$built/a.vstpreset"
echo c2 > "$built/c.vstpreset"
echo d2 > "$built/d.vstpreset"
echo "my b" > "$target/b.vstpreset"
run
expect a.vstpreset a2                      # ours and unchanged: updated
expect b.vstpreset "my b"                  # the user's save is kept...
expect c.vstpreset mine
expect d.vstpreset old                     # an old listing proves nothing about the content
for kept in b c d; do
  grep -q "kept $target/$kept.vstpreset" "$tmp/err" || fail "no message for the kept $kept: $(cat "$tmp/err")"
done

# Twice in a row: nothing changes, not even the manifest.
before="$(cd "$target" && sha256sum .vorlix-factory-presets ./*.vstpreset)"
run
[ "$before" = "$(cd "$target" && sha256sum .vorlix-factory-presets ./*.vstpreset)" ] || fail "a second run changed files"

# Retired factory presets go, unless changed since; the user's files stay.
rm "$built/a.vstpreset" "$built/b.vstpreset"
run
[ ! -e "$target/a.vstpreset" ] || fail "the retired factory a is still installed"
expect b.vstpreset "my b"
expect c.vstpreset mine
expect d.vstpreset old
echo "install presets: ok"
