#!/usr/bin/env bash
# tests/install_check.sh BUILD_DIR SOURCE_DIR
# Installs into a scratch DESTDIR and checks that exactly the expected files
# land there, that the desktop entry and the metainfo validate, that the shell
# completions are made for ringflash-cli, and that the udev rule has one line
# of the expected form per configured adapter.
set -euo pipefail
build=$1
src=$2
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr > /dev/null
udevdir=$(sed -n 's/^RINGFLASH_UDEVDIR:PATH=//p' "$build/CMakeCache.txt")
case "$udevdir" in /*) ;; *) udevdir=/usr/$udevdir ;; esac
id=io.github.ringflash.Ringflash
expected=$(printf '%s\n' /usr/bin/ringflash /usr/bin/ringflash-cli /usr/bin/ringflash-publish "/usr/share/applications/$id.desktop" "/usr/share/metainfo/$id.metainfo.xml" \
  "/usr/share/icons/hicolor/scalable/apps/$id.svg" /usr/share/man/man1/ringflash.1.gz /usr/share/man/man1/ringflash-cli.1.gz \
  /usr/share/man/man1/ringflash-publish.1.gz \
  /usr/share/doc/ringflash/changelog.gz /usr/share/doc/ringflash/copyright "$udevdir/rules.d/70-ringflash.rules" \
  /usr/share/bash-completion/completions/ringflash-cli /usr/share/zsh/vendor-completions/_ringflash-cli \
  /usr/share/fish/vendor_completions.d/ringflash-cli.fish | sort)
got=$(cd "$dest" && find . -type f | sed 's|^\.||' | sort)
if [ "$got" != "$expected" ]; then
  echo "installed files differ:"; diff <(echo "$expected") <(echo "$got") || true; exit 1
fi
# No error, no warning and no hint: a hint about the categories means menus
# may list the tool twice.
entry="$dest/usr/share/applications/$id.desktop"
said=$(desktop-file-validate "$entry" 2>&1) || { echo "$said"; exit 1; }
[ -z "$said" ] || { echo "desktop-file-validate: $said"; exit 1; }
appstreamcli validate --no-net --pedantic "$dest/usr/share/metainfo/$id.metainfo.xml" > /dev/null ||
  appstreamcli validate --no-net "$dest/usr/share/metainfo/$id.metainfo.xml"

# Each completion is the shell's own kind of file for ringflash-cli, not an
# empty or an error text.
share=$dest/usr/share
bash -c 'source "$1" && complete -p ringflash-cli' sh "$share/bash-completion/completions/ringflash-cli" > /dev/null ||
  { echo "the bash completion does not complete ringflash-cli"; exit 1; }
[ "$(head -1 "$share/zsh/vendor-completions/_ringflash-cli")" = "#compdef ringflash-cli" ] ||
  { echo "the zsh completion is not a #compdef for ringflash-cli"; exit 1; }
grep -q '^complete -c ringflash-cli ' "$share/fish/vendor_completions.d/ringflash-cli.fish" ||
  { echo "the fish completion completes nothing for ringflash-cli"; exit 1; }

rule="$dest$udevdir/rules.d/70-ringflash.rules"
ids=$(sed -n 's/^RINGFLASH_ADAPTER_IDS:STRING=//p' "$build/CMakeCache.txt")
lines=$(grep -c '^SUBSYSTEM' "$rule")
pairs=$(tr ';' '\n' <<< "$ids" | grep -c .)
[ "$lines" = "$pairs" ] || { echo "rule has $lines lines for $pairs adapters"; exit 1; }
for pair in $(tr ';' ' ' <<< "$ids"); do
  v=$(tr 'A-F' 'a-f' <<< "${pair%%:*}"); p=$(tr 'A-F' 'a-f' <<< "${pair##*:}")
  grep -qxF "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"$v\", ATTRS{idProduct}==\"$p\", TAG+=\"uaccess\"" "$rule" ||
    { echo "no rule line for $pair"; exit 1; }
  V=$(tr 'a-f' 'A-F' <<< "$v"); P=$(tr 'a-f' 'A-F' <<< "$p")
  grep -qF "<modalias>usb:v${V}p${P}d*</modalias>" "$dest/usr/share/metainfo/$id.metainfo.xml" ||
    { echo "no modalias for $pair"; exit 1; }
done
if grep -qE 'MODE=|^[^#]*SUBSYSTEM=="hidraw", TAG' "$rule"; then echo "the rule opens more than the adapters"; exit 1; fi
echo "install: $(wc -l <<< "$got") files, desktop entry and metainfo valid, three completions, $lines rule lines"
