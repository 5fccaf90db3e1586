# Archive rows: a ~200 MB folder (text that compresses, and noise that does not) made into
# a ZIP, plain and with a password, against zip; its ZIPs extracted against unzip.
archive_inputs="$WORK/archive"
python3 - "$archive_inputs/tree" <<'PY'
import os, random, sys
random.seed(11)
root = sys.argv[1]
words = ("lorem ipsum dolor sit amet consectetur adipiscing elit sed do eiusmod tempor incididunt ut labore et "
         "dolore magna aliqua ut enim ad minim veniam quis nostrud exercitation").split()
pool = " ".join(random.choice(words) for _ in range(400000)).encode()
for folder in range(40):
    path = os.path.join(root, "part%02d" % folder)
    os.makedirs(path)
    for n in range(20):
        start = random.randrange(len(pool) - 150000)
        with open(os.path.join(path, "notes%02d.txt" % n), "wb") as f:
            f.write(pool[start:start + 150000])
    for n in range(2):
        with open(os.path.join(path, "blob%d.bin" % n), "wb") as f:
            f.write(random.randbytes(1000000))
PY
(cd "$archive_inputs" && zip -q -r tree.zip tree && zip -q -r -P bench tree-locked.zip tree)

listing='unzip -Z1 "$1" | sort'
same_entries="[ \"\$(bash -c '$listing' _ \"\$OURS\"/*.zip)\" = \"\$(bash -c '$listing' _ \"\$TOOL/tree.zip\")\" ]"
row zip \
  "\"\$BENCH\" compress_zip \"\$OUT\" \"$archive_inputs/tree\"" \
  "cd \"$archive_inputs\" && zip -q -r \"\$OUT/tree.zip\" tree" \
  "unzip -tq \"\$OURS\"/*.zip >/dev/null && $same_entries"
row zip_password \
  "PASSWORD=bench \"\$BENCH\" compress_zip_pw \"\$OUT\" \"$archive_inputs/tree\"" \
  "cd \"$archive_inputs\" && zip -q -r -P bench \"\$OUT/tree.zip\" tree" \
  "unzip -tq -P bench \"\$OURS\"/*.zip >/dev/null && ! unzip -tq -P wrong \"\$OURS\"/*.zip >/dev/null 2>&1 && $same_entries"
row unzip \
  "\"\$BENCH\" extract_archive \"\$OUT\" \"$archive_inputs/tree.zip\"" \
  "unzip -q \"$archive_inputs/tree.zip\" -d \"\$OUT\"" \
  'diff -r "$OURS" "$TOOL"'
row unzip_password \
  "PASSWORD=bench \"\$BENCH\" extract_archive_pw \"\$OUT\" \"$archive_inputs/tree-locked.zip\"" \
  "unzip -q -P bench \"$archive_inputs/tree-locked.zip\" -d \"\$OUT\"" \
  'diff -r "$OURS" "$TOOL"'
