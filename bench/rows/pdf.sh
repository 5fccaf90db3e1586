# PDF rows: merging 200 documents; drawing and reading a real manual (the 36-page libtasn1
# manual that Debian ships, and the same manual 28 times over, 1008 pages); locking and
# unlocking a 215 MB document (large enough that each side takes over a second).
pdf_inputs="$WORK/pdf"
python3 "$root/bench/rows/pdf_fixtures.py" "$pdf_inputs"
for copy in 0 1 2 3 4 5 6 7 8 9; do
  for doc in "$pdf_inputs"/doc??.pdf; do cp "$doc" "$pdf_inputs/merge$copy-$(basename "$doc")"; done
done
merge_inputs=$(printf '"%s" ' "$pdf_inputs"/merge*.pdf)
pages_of='qpdf --show-npages'

row pdf_merge \
  "\"\$BENCH\" merge_pdfs \"\$OUT\" $merge_inputs" \
  "qpdf --empty --pages $merge_inputs -- \"\$OUT/merged.pdf\"" \
  "qpdf --check \"\$OURS\"/*.pdf >/dev/null && [ \"\$($pages_of \"\$OURS\"/*.pdf)\" = \"\$($pages_of \"\$TOOL/merged.pdf\")\" ]"

manual=/usr/share/doc/libtasn1-doc/libtasn1.pdf
if [ -r "$manual" ]; then
  cp "$manual" "$pdf_inputs/manual.pdf"
  qpdf --empty --pages $(for _ in $(seq 28); do printf '%s ' "$pdf_inputs/manual.pdf"; done) -- "$pdf_inputs/long.pdf"

  # One PNG per page on both sides, each page of the same pixel size.
  same_pages='[ "$(ls "$OURS" | wc -l)" = "$(ls "$TOOL" | wc -l)" ] && [ "$(identify -format "%wx%h\n" "$OURS"/*.png | sort | uniq -c)" = "$(identify -format "%wx%h\n" "$TOOL"/*.png | sort | uniq -c)" ]'
  row pdf_to_png \
    "\"\$BENCH\" pdf_to_images \"\$OUT\" \"$pdf_inputs/manual.pdf\"" \
    "pdftoppm -r 144 -png \"$pdf_inputs/manual.pdf\" \"\$OUT/page\"" \
    "$same_pages"
  # pdftoppm cannot choose its PNG compression; here it draws raw pages and they are
  # encoded as ours are: RGB, zlib level 3 and adaptive row filters.
  row pdf_to_png_matched \
    "\"\$BENCH\" pdf_to_images \"\$OUT\" \"$pdf_inputs/manual.pdf\"" \
    "pdftoppm -r 144 \"$pdf_inputs/manual.pdf\" \"\$OUT/page\" && mogrify -format png -define png:color-type=2 -define png:compression-level=3 -define png:compression-filter=5 \"\$OUT\"/*.ppm && rm \"\$OUT\"/*.ppm" \
    "$same_pages"
  # The same words in the same order; ours ends pages with line breaks, pdftotext with form feeds.
  row pdf_text \
    "\"\$BENCH\" extract_text \"\$OUT\" \"$pdf_inputs/long.pdf\"" \
    "pdftotext \"$pdf_inputs/long.pdf\" \"\$OUT/long.txt\"" \
    'cmp <(tr -s "[:space:]" "\n" <"$OURS"/*.txt) <(tr -s "[:space:]" "\n" <"$TOOL/long.txt")'
else
  echo "pdf_to_png FAIL $manual is missing (Debian package libtasn1-doc)"
fi

large_pages=$($pages_of "$pdf_inputs/large.pdf")
row pdf_lock \
  "PASSWORD=bench \"\$BENCH\" lock_pdf \"\$OUT\" \"$pdf_inputs/large.pdf\"" \
  "qpdf --encrypt bench bench 256 -- \"$pdf_inputs/large.pdf\" \"\$OUT/large.pdf\"" \
  "qpdf --requires-password \"\$OURS\"/*.pdf; [ \$? = 0 ] && [ \"\$($pages_of --password=bench \"\$OURS\"/*.pdf)\" = $large_pages ]"

qpdf --encrypt bench bench 256 -- "$pdf_inputs/large.pdf" "$pdf_inputs/locked.pdf"
row pdf_unlock \
  "PASSWORD=bench \"\$BENCH\" unlock_pdf \"\$OUT\" \"$pdf_inputs/locked.pdf\"" \
  "qpdf --password=bench --decrypt \"$pdf_inputs/locked.pdf\" \"\$OUT/large.pdf\"" \
  "qpdf --is-encrypted \"\$OURS\"/*.pdf; [ \$? = 2 ] && qpdf --check \"\$OURS\"/*.pdf >/dev/null && [ \"\$($pages_of \"\$OURS\"/*.pdf)\" = $large_pages ]"
