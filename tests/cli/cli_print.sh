#!/usr/bin/env bash
# kehu-cli print against a copy of the delivered database: the customer reports go to PDF
# without a display; the text and its place on the page are read back with pdftotext -bbox.
# Usage: cli_print.sh KEHU_CLI DELIVERED_DATABASE
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
if ! command -v pdftotext >/dev/null; then
  echo "SKIP pdftotext (poppler-utils) is not installed"
  exit 0
fi

fail() { echo "FAIL $1"; failures=$((failures + 1)); }
pass() { echo "PASS $1"; }
# The words of a PDF, one per line: page number, xMin, yMin (points) and the word, with
# compatibility ideographs folded to the ordinary ones. (The PDF's text map names a Kangxi
# radical for characters whose glyph the font shares with one, such as 大 or 人; the
# fixture's texts avoid those that do not fold back, such as 户 and 民.)
words() {
  pdftotext -bbox "$1" - | perl -CS -MUnicode::Normalize -ne '
    $page++ if /<page /;
    print "$page $1 $2 ", NFKC($3), "\n" if /<word xMin="([0-9.]+)" yMin="([0-9.]+)"[^>]*>(.*)<\/word>/;'
}

values=""
for i in $(seq 1 25); do
  contact="王经理$i"
  [ "$i" -eq 2 ] && contact=""
  values+="${values:+,}($i, '华信科技$i', '中关村${i}号', '$((100000 + i))', '$contact')"
done
"$cli" sql "insert into custom (CustCode, Company, address, postcode, MainContact) values $values" --db "$db" >/dev/null \
  || fail "fixture"
"$cli" sql "insert into contact (CustCode, Company, ContactName) values (3, '华信科技3', '甲'), (3, '华信科技3', '乙')" \
  --db "$db" >/dev/null || fail "fixture contacts"

# Envelopes: one DL page (220 x 110 mm) per customer, the recipient line centred below.
"$cli" print envelope --customers 1,2,3 --pdf "$work/env.pdf" --db "$db" >/dev/null 2>&1 || fail "envelope status"
pages=$(pdftotext -bbox "$work/env.pdf" - | grep -c '<page width="624.000000" height="312.000000">')
[ "$pages" -eq 3 ] && pass "envelope pages" || fail "envelope pages: $pages"
words "$work/env.pdf" >"$work/env.txt"
grep -q '^1 [0-9.]* [0-9.]* 王经理1$' "$work/env.txt" && pass "main contact" || fail "main contact"
grep -q '^2 [0-9.]* [0-9.]* 负责人$' "$work/env.txt" && pass "default recipient" || fail "default recipient"
# The first postcode digit sits in the first box: 12 to 21 mm from the left (34 to 60 pt).
x=$(awk '$1 == 1 && $4 == "1" { print int($2); exit }' "$work/env.txt")
[ -n "$x" ] && [ "$x" -ge 34 ] && [ "$x" -le 60 ] && pass "postcode box" || fail "postcode box at ${x:-none}"

# Labels: 25 customers on a 3 x 8 sheet; the 25th lands on page 2 at the first label.
"$cli" print label --all --pdf "$work/labels.pdf" --db "$db" >/dev/null 2>&1 || fail "label status"
words "$work/labels.pdf" >"$work/labels.txt"
line=$(grep ' 华信科技25$' "$work/labels.txt")
read -r page x y _ <<<"$line"
[ "${page:-0}" -eq 2 ] && [ "${x%.*}" -lt 30 ] && [ "${y%.*}" -lt 90 ] && pass "25th label" || fail "25th label: $line"
# A partly used sheet: starting at label 23, customer 1 is in the middle of the last row.
"$cli" print label --customers 1 --first 23 --pdf "$work/one.pdf" --db "$db" >/dev/null 2>&1
line=$(words "$work/one.pdf" | grep ' 华信科技1$')
read -r page x y _ <<<"$line"
[ "${x%.*}" -gt 198 ] && [ "${x%.*}" -lt 397 ] && [ "${y%.*}" -gt 730 ] && pass "first label" || fail "first label: $line"

# Every contact, and a default recipient of 12 characters cut to 10.
"$cli" print custbasic --customers 3,4 --contacts all --default 一二三四五六七八九十甲乙 --pdf "$work/cb.pdf" --db "$db" \
  >/dev/null 2>&1 || fail "custbasic status"
words "$work/cb.pdf" >"$work/cb.txt"
[ "$(grep -c '基本资料$' "$work/cb.txt")" -eq 3 ] && pass "sheet per contact row" || fail "sheet per contact row"
grep -q '^3 [0-9.]* [0-9.]* 一二三四五六七八九十$' "$work/cb.txt" && pass "default cut" || fail "default cut"

# A stored bill: its lines, their amounts and the total in capital numerals (角 reads back
# as its radical look-alike from the PDF's text map, so any character stands for it).
"$cli" sql "insert into T_Bill (BillCode, BillDate, CustCode, CustName, F_User) values ('FH202612100001', '2026-12-10', 3, '华信科技3', 'Admin');
  insert into T_BillDetail (BillCode, GoodsCode, GoodsName, Number, SalePrice, Discount) values
  ('FH202612100001', 'A1', '打印纸', 3, 12.5, 0.9), ('FH202612100001', 'B2', '墨盒', 2, 100, 1)" --db "$db" >/dev/null \
  || fail "bill fixture"
"$cli" print bill FH202612100001 --pdf "$work/bill.pdf" --db "$db" >/dev/null 2>&1 || fail "bill status"
words "$work/bill.pdf" >"$work/bill.txt"
grep -q ' 33.75$' "$work/bill.txt" && pass "bill line amount" || fail "bill line amount"
grep -q '贰佰叁拾叁元柒.伍分' "$work/bill.txt" && pass "bill capital total" \
  || { fail "bill capital total"; grep -v ' [0-9.]*$' "$work/bill.txt" | sed 's/^/  read back: /'; }
"$cli" print bill FH000 --pdf "$work/x.pdf" --db "$db" >/dev/null 2>&1; [ $? -eq 1 ] && pass "unknown bill" || fail "unknown bill"

# Wrong arguments and a missing template.
"$cli" print label --pdf "$work/x.pdf" --db "$db" >/dev/null 2>&1; [ $? -eq 2 ] && pass "no customers given" || fail "no customers given"
"$cli" print poster --all --pdf "$work/x.pdf" --db "$db" >/dev/null 2>&1; [ $? -eq 2 ] && pass "unknown report" || fail "unknown report"
# Codes of customers that do not exist print nothing rather than a blank page.
for kind in envelope label custbasic; do
  rm -f "$work/none.pdf"
  "$cli" print $kind --customers 997,998,999 --pdf "$work/none.pdf" --db "$db" >/dev/null 2>"$work/err"
  status=$?
  [ "$status" -eq 1 ] && grep -q '没有可打印的客户。' "$work/err" && [ ! -e "$work/none.pdf" ] \
    && pass "unknown customers refused ($kind)" || fail "unknown customers ($kind): status $status, $(cat "$work/err")"
done

# Under cron there is no XDG_RUNTIME_DIR: nothing but the result is printed.
env -u XDG_RUNTIME_DIR "$cli" print envelope --customers 1 --pdf "$work/cron.pdf" --db "$db" >/dev/null 2>"$work/err"
[ $? -eq 0 ] && [ ! -s "$work/err" ] && pass "quiet without XDG_RUNTIME_DIR" \
  || fail "without XDG_RUNTIME_DIR: $(cat "$work/err")"

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
