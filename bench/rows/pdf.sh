# PDF rows: merging 20 documents, and drawing a 10-page document as PNG pages.
pdf_inputs="$WORK/pdf"
python3 "$root/bench/rows/pdf_fixtures.py" "$pdf_inputs"
merge_inputs=$(printf '"%s" ' "$pdf_inputs"/doc*.pdf)

row pdf_merge \
  "\"\$BENCH\" merge_pdfs \"\$OUT\" $merge_inputs" \
  "qpdf --empty --pages $merge_inputs -- \"\$OUT/merged.pdf\"" \
  'qpdf --check "$OURS/merged.pdf" >/dev/null && [ "$(qpdf --show-npages "$OURS/merged.pdf")" = "$(qpdf --show-npages "$TOOL/merged.pdf")" ]'

# Both sides give one PNG per page of the same pixel size.
same_pages='[ "$(identify -format "%wx%h\n" "$OURS"/*.png)" = "$(identify -format "%wx%h\n" "$TOOL"/*.png)" ]'
row pdf_to_png \
  "\"\$BENCH\" pdf_to_images \"\$OUT\" \"$pdf_inputs/render.pdf\"" \
  "pdftoppm -r 144 -png \"$pdf_inputs/render.pdf\" \"\$OUT/page\"" \
  "$same_pages"
