# Structured data rows, sourced by bench/run: JSON formatting and minifying of a ~50 MB
# array of records and formatting of a ~200 MB object of records against jq, JSON to CSV
# of the same records and of 8,000 records that each have a key of their own (a 64 MB
# table from a 150 KB file: its memory shows whether the rows are written as they are
# made) against Python's csv and json, CSV to JSON of a 2,000,000-row file against
# Python's csv and json and against Miller.

python3 - "$WORK/records.json" "$WORK/rows.csv" "$WORK/keyed.json" "$WORK/sparse.json" <<'PY'
import csv, json, random, sys
random.seed(7)
words = ["alpha", "beta", "gamma", "delta", "épsilon", "zeta/eta", 'theta "q"', "iota\tx", "kappa", "λambda"]
with open(sys.argv[1], "w", encoding="utf-8") as f:
    f.write("[")
    size, n = 1, 0
    while size < 50 * 1024 * 1024:
        record = {"id": n, "name": random.choice(words) + str(n), "score": round(random.random() * 1000, 3),
                  "active": n % 3 == 0, "tags": random.sample(words, 3), "ratio": random.random(),
                  "owner": {"zip": "%05d" % random.randint(0, 99999), "city": random.choice(words), "note": None},
                  "url": "https://example.org/items/%d" % n}
        text = ("," if n else "") + json.dumps(record, ensure_ascii=False)
        f.write(text)
        size += len(text.encode())
        n += 1
    f.write("]")
# The top-level object's keys are written in no order, so sorting them is real work.
with open(sys.argv[3], "w", encoding="utf-8") as f:
    f.write("{")
    size, n = 1, 0
    while size < 200 * 1024 * 1024:
        record = {"name": random.choice(words) + str(n), "score": round(random.random() * 1000, 3), "active": n % 3 == 0,
                  "tags": random.sample(words, 3), "owner": {"zip": "%05d" % random.randint(0, 99999), "note": None}}
        text = ("," if n else "") + json.dumps("k%08x" % random.getrandbits(32) + str(n)) + ":" + json.dumps(record, ensure_ascii=False)
        f.write(text)
        size += len(text.encode())
        n += 1
    f.write("}")
with open(sys.argv[2], "w", encoding="utf-8", newline="") as f:
    w = csv.writer(f)
    w.writerow(["id", "name", "city", "score", "comment", "created"])
    for n in range(2000000):
        comment = random.choice(["plain", "with, comma", 'with "quotes"', "two\nlines", "ünïcode"])
        w.writerow([n, random.choice(words) + str(n), random.choice(words), round(random.random() * 100, 2),
                    comment, "2024-%02d-%02d" % (n % 12 + 1, n % 28 + 1)])
with open(sys.argv[4], "w", encoding="utf-8") as f:
    json.dump([{"key%d" % n: n} for n in range(8000)], f)
PY

# jq preserves the key order of what it reads, so reading our output back with `jq .` and
# comparing it with `jq -S .` of the input checks both the values and our key order.
row json_format "\"\$BENCH\" format_json \"\$OUT\" \"$WORK/records.json\"" \
  "jq -S . \"$WORK/records.json\" > \"\$OUT/records.json\"" \
  'jq . "$OURS"/*.json | cmp - "$TOOL/records.json"'
row json_format_object "\"\$BENCH\" format_json \"\$OUT\" \"$WORK/keyed.json\"" \
  "jq -S . \"$WORK/keyed.json\" > \"\$OUT/keyed.json\"" \
  'jq . "$OURS"/*.json | cmp - "$TOOL/keyed.json"'
row json_minify "\"\$BENCH\" minify_json \"\$OUT\" \"$WORK/records.json\"" \
  "jq -c . \"$WORK/records.json\" > \"\$OUT/records.json\"" \
  'jq -c . "$OURS"/*.json | cmp - "$TOOL/records.json"'
row csv_to_json "\"\$BENCH\" csv_to_json \"\$OUT\" \"$WORK/rows.csv\"" \
  "python3 -c 'import csv, json, sys; json.dump(list(csv.DictReader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\"))), open(sys.argv[2], \"w\", encoding=\"utf-8\"), indent=2, sort_keys=True, ensure_ascii=False)' \"$WORK/rows.csv\" \"\$OUT/rows.json\"" \
  "python3 -c 'import json, sys; sys.exit(json.load(open(sys.argv[1])) != json.load(open(sys.argv[2])))' \"\$OURS\"/*.json \"\$TOOL/rows.json\""
# Miller infers numbers from the text; the check compares every field as text.
row csv_to_json_mlr "\"\$BENCH\" csv_to_json \"\$OUT\" \"$WORK/rows.csv\"" \
  "mlr --icsv --ojson cat \"$WORK/rows.csv\" > \"\$OUT/rows.json\"" \
  "python3 -c 'import json, sys; text = lambda rows: [{k: str(v) for k, v in r.items()} for r in rows]; sys.exit(text(json.load(open(sys.argv[1]))) != text(json.load(open(sys.argv[2]))))' \"\$OURS\"/*.json \"\$TOOL/rows.json\""
# The header in order of first appearance, a cell that is not a string in compact JSON; the
# check compares the two tables row by row as a CSV reader reads them, numbers by value
# (the two JSON writers may give a double with a different count of digits).
json_to_csv_tool="python3 -c 'import csv, json, sys
records = json.load(open(sys.argv[1], encoding=\"utf-8\"))
header = list(dict.fromkeys(key for record in records for key in record))
cell = lambda v: v if isinstance(v, str) else json.dumps(v, ensure_ascii=False, separators=(\",\", \":\"))
out = csv.writer(open(sys.argv[2], \"w\", encoding=\"utf-8\", newline=\"\"), lineterminator=\"\\n\")
out.writerow(header)
out.writerows([cell(r[k]) if k in r else \"\" for k in header] for r in records)'"
same_tables="python3 -c 'import csv, sys
def number(text):
    try:
        return float(text)
    except ValueError:
        return None
same = lambda a, b: a == b or (number(a) is not None and number(a) == number(b))
read = lambda p: csv.reader(open(p, newline=\"\", encoding=\"utf-8\"))
rows = list(zip(read(sys.argv[1]), read(sys.argv[2]), strict=True))
sys.exit(not all(len(x) == len(y) and all(map(same, x, y)) for x, y in rows))'"
row json_to_csv "\"\$BENCH\" json_to_csv \"\$OUT\" \"$WORK/records.json\"" \
  "$json_to_csv_tool \"$WORK/records.json\" \"\$OUT/records.csv\"" \
  "$same_tables \"\$OURS\"/*.csv \"\$TOOL/records.csv\""
row json_to_csv_sparse "\"\$BENCH\" json_to_csv \"\$OUT\" \"$WORK/sparse.json\"" \
  "$json_to_csv_tool \"$WORK/sparse.json\" \"\$OUT/sparse.csv\"" \
  "$same_tables \"\$OURS\"/*.csv \"\$TOOL/sparse.csv\""
