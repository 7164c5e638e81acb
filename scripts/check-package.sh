#!/usr/bin/env bash
# Checks the installation of a built build folder, as CI runs it (the CTest test
# package_install, label `package`):
#
#   1. `cmake --install` into a temporary prefix; the installed paperloom makes the print
#      document of the installed samples from another working folder, with a bare environment,
#      without opening anything in the source or build tree (traced with strace) and without
#      writing into the installed tree.
#   2. The Debian package (scripts/package.sh): its control fields, and `dpkg-deb --contents`
#      lists every file the install rules installed.
#   3. The package unpacked into an empty root: paperloom and paperloom-register run from
#      there, the manual page in it formats, and the HTML manual lies beside the add-ins.
#
#   bash scripts/check-package.sh BUILD_DIR      (KEEP=1 keeps its work folder for a look)
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?usage: check-package.sh BUILD_DIR}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/paperloom-package-XXXXXX")
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }
step() { echo "check-package: $*"; }

# Runs a program with nothing of the caller's environment but PATH, from `$work/run`.
run_bare() {
  local home=$1; shift
  mkdir -p "$home" "$work/run"
  (cd "$work/run" && env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 "$@")
}

# Files (and links) of a tree, relative to it, sorted.
tree_files() { (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort); }
tree_state() { (cd "$1" && find . -printf '%P %s %T@ %m\n' | LC_ALL=C sort); }

# 1. An installed tree under a temporary prefix.
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log" >&2; fail "cmake --install failed"; }
examples="$prefix/share/paperloom/examples"
for f in bin/paperloom bin/paperloom-register lib/paperloom/libOsPLRun.so lib/paperloom/libOsPLEdit.so \
         lib/paperloom/help/index.html \
         share/man/man1/paperloom.1.gz \
         share/paperloom/examples/sample.db share/paperloom/examples/invoice.docx \
         share/paperloom/examples/invoice-pages.docx; do
  [ -e "$prefix/$f" ] || fail "the install rules do not install $f"
done
# The desktop entry and its icon come with the desktop host, and only with it.
desktop_files=(share/applications/paperloom-desk.desktop share/icons/hicolor/scalable/apps/paperloom.svg)
for f in "${desktop_files[@]}"; do
  if [ -e "$prefix/bin/paperloom-desk" ]; then
    [ -e "$prefix/$f" ] || fail "the desktop host is installed without $f"
  else
    [ ! -e "$prefix/$f" ] || fail "$f is installed without the desktop host it starts"
  fi
done
before=$(tree_state "$prefix")

trace=()
if command -v strace >/dev/null; then trace=(strace -f -qq -e trace=%file -o "$work/trace"); fi
step "installed tree: paperloom document on the installed samples"
run_bare "$work/home1" "${trace[@]}" "$prefix/bin/paperloom" document "$examples/invoice.docx" -o out.docx \
  >"$work/document.log" 2>&1 || { cat "$work/document.log" >&2; fail "the installed paperloom failed"; }
grep -q '^records: 25' "$work/document.log" || { cat "$work/document.log" >&2; fail "not all 25 sample invoices were filled"; }
unzip -p "$work/run/out.docx" word/document.xml | grep -q 'INV-2024-025' || fail "the print document lacks the last invoice"
if [ ${#trace[@]} -gt 0 ]; then
  if grep -F -e "\"$repo/" -e "\"$build/" "$work/trace" >"$work/tree-access"; then
    head -n 20 "$work/tree-access" >&2
    fail "the installed paperloom opened files in the source or build tree"
  fi
else
  step "(strace is not installed: the source tree's use is not traced)"
fi
grep -q "$prefix/lib/paperloom/libOsPLRun.so" "$work/home1/.config/paperloom/addins.xml" ||
  fail "the installed add-in was not registered on first use"
[ "$(tree_state "$prefix")" = "$before" ] || fail "running the installed paperloom changed the installed tree"

# 2. The package.
step "package: scripts/package.sh"
package=$(bash "$repo/scripts/package.sh" --build "$build" --out "$work/package")
case "$(basename "$package")" in
  paperloom_*_"$(dpkg --print-architecture)".deb) ;;
  *) fail "unexpected package name $package" ;;
esac
dpkg-deb --field "$package" Package Version Depends Recommends Suggests >"$work/control"
grep -q '^Depends: .*libc6' "$work/control" || fail "the package depends on no runtime libraries"
grep -q '^Depends: .*libodbc' "$work/control" || fail "the package does not depend on the ODBC driver manager"
grep -q '^Recommends: .*libreoffice-writer-nogui' "$work/control" || fail "the office suite is not recommended"
grep -q '^Recommends: .*fonts-noto-cjk' "$work/control" || fail "the CJK font is not recommended"
grep -q '^Suggests: .*odbc-postgresql' "$work/control" || fail "the ODBC drivers are not suggested"

dpkg-deb --contents "$package" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort >"$work/deb-files"
tree_files "$prefix" | sed 's|^|usr/|' >"$work/installed-files"
missing=$(LC_ALL=C comm -23 "$work/installed-files" "$work/deb-files")
[ -z "$missing" ] || fail "the package lacks files the install rules name: $missing"
extra=$(LC_ALL=C comm -13 "$work/installed-files" "$work/deb-files")
[ -z "$extra" ] || fail "the package holds files the install rules do not name: $extra"

# 3. The package unpacked into an empty root.
root="$work/root"
dpkg-deb --extract "$package" "$root"
step "unpacked package: paperloom document and paperloom-register"
run_bare "$work/home2" "$root/usr/bin/paperloom" document "$root/usr/share/paperloom/examples/invoice-pages.docx" \
  --current --record 7 -o pages.docx >"$work/document2.log" 2>&1 ||
  { cat "$work/document2.log" >&2; fail "paperloom from the package failed"; }
unzip -p "$work/run/pages.docx" word/document.xml | grep -q 'INV-2024-007' || fail "record 7 is not invoice INV-2024-007"
run_bare "$work/home3" "$root/usr/bin/paperloom-register" >"$work/register.log" 2>&1 ||
  { cat "$work/register.log" >&2; fail "paperloom-register from the package failed"; }
grep -q "library: $root/usr/lib/paperloom/libOsPLRun.so" "$work/register.log" ||
  { cat "$work/register.log" >&2; fail "paperloom-register did not register the packaged add-in"; }
grep -q "library: $root/usr/lib/paperloom/libOsPLEdit.so" "$work/register.log" ||
  { cat "$work/register.log" >&2; fail "paperloom-register did not register the packaged design-time add-in"; }
# The add-ins' help commands open the manual from their own folder.
[ -f "$root/usr/lib/paperloom/help/index.html" ] || fail "the package has no manual beside the add-ins"
MANWIDTH=100 man -l "$root/usr/share/man/man1/paperloom.1.gz" 2>"$work/man.log" | grep -q 'EXIT STATUS' ||
  { cat "$work/man.log" >&2; fail "the packaged manual page does not format"; }

step "passed ($(basename "$package"), $(wc -l <"$work/deb-files") files)"
