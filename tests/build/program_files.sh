#!/usr/bin/env bash
# The database and report templates in a program directory are an office's own: the
# build's database and asset steps and `cmake --install` write a delivered file only where
# none of that name exists. A customer is added and a template changed, the steps run
# again, and both are found as they were; a deleted template comes back.
# Usage: program_files.sh CMAKE BUILD_DIR COPY_MISSING_SCRIPT ASSETS_DIR
set -u
# Patterns hold Chinese characters (one "." may stand for one of them): read text as UTF-8
# whatever locale the caller has (a fresh Debian has none set).
export LC_ALL=C.UTF-8
cmake=$1
build=$2
copy_missing=$3
assets=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
pass() { echo "PASS $*"; }
template=Reports/fr_Envelop.frf

# --- the build's steps: the same script the targets kehu_database and kehu_assets run
program=$work/program
build_steps() {
  "$cmake" -DSOURCE="$build/bin/DataBase/Custom_delivered.mdb" -DDESTINATION="$program/DataBase/Custom.mdb" \
    -P "$copy_missing" >/dev/null || fail "the database step failed"
  "$cmake" -DSOURCE="$assets" -DDESTINATION="$program" -P "$copy_missing" >/dev/null || fail "the asset step failed"
}
build_steps
[ -s "$program/DataBase/Custom.mdb" ] && pass "the build makes the database where there is none" \
  || fail "no database after the first build step"
cmp -s "$assets/$template" "$program/$template" && pass "the build delivers the templates" \
  || fail "template not delivered"

"$build/bin/kehu-cli" sql "insert into custom (CustCode, Company) values ('990001', '保留公司')" \
  --db "$program/DataBase/Custom.mdb" >/dev/null || fail "could not add a customer"
echo "<!-- changed in the designer -->" >>"$program/$template"
cp "$program/DataBase/Custom.mdb" "$work/db.before"
cp "$program/$template" "$work/template.before"
rm "$program/Reports/fr_Label.frf"
build_steps
cmp -s "$work/db.before" "$program/DataBase/Custom.mdb" && pass "a rebuild keeps the database" \
  || fail "a rebuild changed the database"
cmp -s "$work/template.before" "$program/$template" && pass "a rebuild keeps a changed template" \
  || fail "a rebuild replaced a changed template"
[ -s "$program/Reports/fr_Label.frf" ] && pass "a rebuild delivers a missing template again" \
  || fail "a missing template was not delivered"

# --- cmake --install, twice, into a scratch prefix
prefix=$work/prefix
installed=$prefix/lib/kehu
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install failed"; }
[ -s "$installed/DataBase/Custom.mdb" ] && [ -s "$installed/DataBase/Custom_delivered.mdb" ] \
  && pass "install delivers the database and its delivered copy" || fail "install delivered no database"
[ -x "$prefix/bin/kehu-cli" ] && pass "install puts kehu-cli in bin/" || fail "no kehu-cli in bin/"
"$prefix/bin/kehu-cli" sql "insert into custom (CustCode, Company) values ('990002', '安装后的客户')" >/dev/null \
  || fail "the installed kehu-cli could not add a customer to the installed database"
echo "<!-- changed after install -->" >>"$installed/$template"
cp "$installed/DataBase/Custom.mdb" "$work/idb.before"
cp "$installed/$template" "$work/itemplate.before"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "second install failed"; }
cmp -s "$work/idb.before" "$installed/DataBase/Custom.mdb" && pass "installing again keeps the database" \
  || fail "installing again replaced the database"
cmp -s "$work/itemplate.before" "$installed/$template" && pass "installing again keeps a changed template" \
  || fail "installing again replaced a changed template"
"$prefix/bin/kehu-cli" sql "select Company from custom where CustCode='990002'" | grep -q '安装后的客户' \
  && pass "the customer is still there" || fail "the customer added after install is gone"

exit $failures
