#!/usr/bin/env bash
# kehu-cli against a copy of the delivered database: statements run all or nothing,
# text after them and empty statements are errors, non-UTF-8 arguments are refused,
# and a file that is not the program's database is never used nor turned into one.
# Usage: cli_write.sh KEHU_CLI DELIVERED_DATABASE
set -u
# Patterns hold Chinese characters (one "." may stand for one of them): read text as UTF-8
# whatever locale the caller has (a fresh Debian has none set).
export LC_ALL=C.UTF-8
cli=$1
delivered=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
db=$work/Custom.mdb
cp "$delivered" "$db"
failures=0

# check NAME EXPECTED_STATUS STDOUT_PATTERN STDERR_PATTERN -- ARGS...
# (patterns are Perl regular expressions over the whole output; '^$' means no output)
check() {
  local name=$1 status=$2 outPattern=$3 errPattern=$4
  shift 5
  "$cli" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  local ok=1
  [ "$got" -eq "$status" ] || ok=0
  if [ "$outPattern" = '^$' ]; then
    [ -s "$work/out" ] && ok=0
  elif [ -n "$outPattern" ] && ! grep -Pzq -- "$outPattern" "$work/out"; then ok=0; fi
  if [ -n "$errPattern" ] && ! grep -Pzq -- "$errPattern" "$work/err"; then ok=0; fi
  grep -q "not an error" "$work/err" && ok=0
  if [ "$ok" -eq 1 ]; then
    echo "PASS $name"
  else
    echo "FAIL $name: status $got (wanted $status)"
    echo "  stdout: $(cat "$work/out")"
    echo "  stderr: $(cat "$work/err")"
    failures=$((failures + 1))
  fi
}

count() { "$cli" sql "select count(*) as n from T_Daily" --db "$db" | tail -n 1; }
expectCount() {
  local name=$1 wanted=$2 got
  got=$(count)
  if [ "$got" = "$wanted" ]; then echo "PASS $name"; else echo "FAIL $name: $got rows, wanted $wanted"; failures=$((failures + 1)); fi
}

check "several statements, rows of the final select" 0 '^n\tSubjects\n2\t甲,乙\n$' '' -- \
  sql "insert into T_Daily (Subject) values ('甲'); insert into T_Daily (Subject) values ('乙'); select count(*) as n, group_concat(Subject) as Subjects from T_Daily;" --db "$db"
check "final statement prints rows changed" 0 '^2\n$' '' -- \
  sql "update T_Daily set Subject=Subject; update T_Daily set Subject=Subject" --db "$db"
check "a failing statement rolls back those before it" 1 '^$' '第 2 条语句.*NoSuchTable' -- \
  sql "insert into T_Daily (Subject) values ('丙'); insert into NoSuchTable values (1)" --db "$db"
expectCount "nothing kept after the failure" 2
check "a failure while running rolls back too" 1 '' 'constraint|UNIQUE|NOT NULL|datatype' -- \
  sql "insert into T_Daily (Subject) values ('丁'); insert into admin (UserID, UserName) values (1, 'x')" --db "$db"
expectCount "nothing kept after the run-time failure" 2
check "garbage after the semicolon" 1 '' 'xyz' -- \
  sql "insert into T_Daily (Subject) values ('戊'); xyz" --db "$db"
expectCount "nothing kept after the garbage" 2
check "empty statement" 1 '' 'SQL 语句为空' -- sql "" --db "$db"
check "blank statement" 1 '' 'SQL 语句为空' -- sql "  ;" --db "$db"
check "empty statement between two" 1 '' '第 2 条语句.*SQL 语句为空' -- \
  sql "insert into T_Daily (Subject) values ('己');; select 1" --db "$db"
expectCount "nothing kept after the empty statement" 2
check "invalid UTF-8 is refused" 2 '^$' 'UTF-8' -- \
  sql "insert into T_Daily (Subject) values ('$(printf 'ab\xff\xfecd')')" --db "$db"
expectCount "nothing stored from invalid UTF-8" 2
check "invalid UTF-8 in the path is refused" 2 '' 'UTF-8' -- sql "select 1" --db "$work/$(printf '\xc3')"

: >"$work/empty.mdb"
check "a zero-byte file is not a database" 1 '^$' '不是本系统的数据库文件' -- \
  sql "create table custom (x)" --db "$work/empty.mdb"
if [ -s "$work/empty.mdb" ]; then echo "FAIL the zero-byte file was written"; failures=$((failures + 1)); fi
printf 'name=value\n' >"$work/notes.mdb"
check "a text file is not a database" 1 '' '不是本系统的数据库文件' -- sql "select 1" --db "$work/notes.mdb"
check "a missing file is not created" 1 '' '数据库文件不存在' -- sql "select 1" --db "$work/none.mdb"
if [ -e "$work/none.mdb" ]; then echo "FAIL the missing file was created"; failures=$((failures + 1)); fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
