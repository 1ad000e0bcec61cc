#!/usr/bin/env bash
# Installs built factory presets into a host's preset folder, where hosts also save their users'
# own presets. A file there is only replaced or removed when this script wrote it and nobody has
# changed it since: a hidden manifest in the folder (hosts list only *.vstpreset files) records
# each installed file's SHA-256. A user's own file with a factory preset's name is kept, with a
# message.
#   tools/install-presets.sh BUILT_FOLDER TARGET_FOLDER
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: install-presets.sh BUILT_FOLDER TARGET_FOLDER" >&2; exit 2; }
built="$1"
target="$2"
mkdir -p "$target"
manifest="$target/.vorlix-factory-presets"

checksum() { sha256sum < "$1" | cut -d' ' -f1; }

# What was installed before: name -> checksum. Installs before checksums were kept listed the
# names alone; such an entry proves nothing about the file's content now, so it counts as ours
# only when the content is the factory preset's anyway.
declare -A installed=()
if [ -f "$manifest" ]; then
  while IFS= read -r line; do
    if [[ "$line" =~ ^([0-9a-f]{64})\ \ (.+)$ ]]; then
      installed["${BASH_REMATCH[2]}"]="${BASH_REMATCH[1]}"
    elif [ -n "$line" ]; then
      installed["$line"]=""
    fi
  done < "$manifest"
fi

# Ours: a plain file whose content is what this script wrote there.
is_ours() {
  [ -f "$2" ] && [ ! -L "$2" ] && [ -n "${installed[$1]:-}" ] && [ "$(checksum "$2")" = "${installed[$1]}" ]
}
keep() { echo "install-presets: kept $1: not the factory preset installed here (remove it to get that one)" >&2; }

records=()
count=0
for file in "$built"/*.vstpreset; do
  [ -f "$file" ] || continue
  name="$(basename "$file")"
  dest="$target/$name"
  sum="$(checksum "$file")"
  if [ -e "$dest" ] || [ -L "$dest" ]; then
    if [ -f "$dest" ] && [ ! -L "$dest" ] && [ "$(checksum "$dest")" = "$sum" ]; then
      records+=("$sum  $name")  # already the factory preset
      count=$((count + 1))
      continue
    fi
    if ! is_ours "$name" "$dest"; then
      keep "$dest"
      continue
    fi
  fi
  # Through a temporary file and a rename: never a half-written preset in a host's menu.
  cp "$file" "$dest.vorlix-tmp"
  mv -f "$dest.vorlix-tmp" "$dest"
  records+=("$sum  $name")
  count=$((count + 1))
done

# Factory presets the build no longer makes go, unless someone changed them since.
for name in "${!installed[@]}"; do
  [ -e "$built/$name" ] && continue
  dest="$target/$name"
  if is_ours "$name" "$dest"; then
    rm -f "$dest"
  elif [ -e "$dest" ]; then
    keep "$dest"
  fi
done

: > "$manifest.vorlix-tmp"
for r in "${records[@]}"; do printf '%s\n' "$r" >> "$manifest.vorlix-tmp"; done
mv -f "$manifest.vorlix-tmp" "$manifest"
echo "installed $count factory presets into $target"
