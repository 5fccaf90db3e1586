# Summary row: an extractive summary of the first 14,000 characters of the GPL-3 text,
# against a plain word-frequency summariser in Python.
summary_input="$WORK/summary/licence.txt"
mkdir -p "$(dirname "$summary_input")"
head -c 14000 /usr/share/common-licenses/GPL-3 >"$summary_input"

row summarize_text \
  "\"\$BENCH\" summarize_text \"\$OUT\" \"$summary_input\"" \
  "python3 \"$root/bench/rows/summary_reference.py\" \"$summary_input\" \"\$OUT/licence.md\"" \
  "grep -q '^\*\*Takeaway\*\*$' \"\$OURS/licence.md\" && [ \$(wc -w <\"\$OURS/licence.md\") -lt 250 ]"
