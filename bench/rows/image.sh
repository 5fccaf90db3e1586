# Image rows: two generated 4000 x 3000 photographs (JPEG) to PNG, WebP and HEIC, and two
# 8000 x 6000 ones re-compressed (a smaller job would time little but start-up), one
# process per file on each side, beside libvips' own command line (the same library) and
# ImageMagick. The AVIF row is the largest picture the memory budget lets go to AVIF, the
# heaviest encoder: its peak is what the budget promises to stay under. The GIF row is a
# picture past what a GIF writer holding the whole frame would be let take.
image_inputs="$WORK/image"
mkdir -p "$image_inputs"
# photograph <file> <width> <height> <shade>: smooth shading with grain, like a photograph:
# neither flat nor pure noise.
photograph() {
  vips xyz "$image_inputs/xy.v" "$2" "$3"
  vips gaussnoise "$image_inputs/noise.v" "$2" "$3" --sigma 12 --mean 0
  vips linear "$image_inputs/xy.v" "$image_inputs/shade.v" "$(echo "160 / $2" | bc -l) $(echo "150 / $3" | bc -l)" "$4 30"
  vips bandjoin "$image_inputs/shade.v $image_inputs/noise.v" "$image_inputs/bands.v"
  vips add "$image_inputs/bands.v" "$image_inputs/noise.v" "$image_inputs/grain.v"
  vips cast "$image_inputs/grain.v" "$1" uchar
  rm -f "$image_inputs"/*.v
}
for i in 1 2; do
  photograph "$image_inputs/photo$i.jpg[Q=90]" 4000 3000 $((i * 20))
  photograph "$image_inputs/large$i.jpg[Q=90]" 8000 6000 $((i * 20))
done
# 27.5 megapixels: the AVIF encoder's 24 bytes a pixel just fit the budget.
photograph "$image_inputs/budget1.png" 6400 4300 40
# 144 megapixels to GIF, written a band at a time; libvips' own GIF writer holds the frame.
photograph "$image_inputs/gif1.png" 12000 12000 40

# each_input <inputs> <command with $f and $n>: the command once per input, its output
# named after the input.
each_input() {
  printf 'for f in "%s"/%s; do n=$(basename "${f%%.*}"); %s; done' "$image_inputs" "$1" "$2"
}

# image_outputs_check <ext> <width> <height>: both sides wrote one decodable file of that
# size per input.
image_outputs_check() {
  printf 'for side in "$OURS" "$TOOL"; do
    [ "$(ls "$side"/*.%s | wc -l)" = %s ] || exit 1
    for f in "$side"/*.%s; do
      [ "$(vipsheader -f width "$f")" = %s ] && [ "$(vipsheader -f height "$f")" = %s ] || exit 1
    done
  done' "$1" "$4" "$1" "$2" "$3"
}

# The bench binary takes every input in one process; the tools one per process, so ours is
# run the same way: one process per file.
# image_row_per_file <name> <inputs> <bench command> <tool command> <ext> <width> <height> <count>
image_row_per_file() {
  row "$1" "$(each_input "$2" "\"\$BENCH\" $3 \"\$OUT\" \"\$f\"")" "$(each_input "$2" "$4")" \
    "$(image_outputs_check "$5" "$6" "$7" "$8")"
}
photos() { image_row_per_file "$1" 'photo*.jpg' "$2" "$3" "$4" 4000 3000 2; }

photos image_png_vips image_to_png 'vips copy "$f" "$OUT/$n.png"' png
photos image_png_magick image_to_png 'convert-im6.q16 "$f" "$OUT/$n.png"' png
photos image_webp_vips image_to_webp 'vips webpsave "$f" "$OUT/$n.webp" --Q 80' webp
photos image_webp_magick image_to_webp 'convert-im6.q16 "$f" -quality 80 "$OUT/$n.webp"' webp
photos image_heic_vips image_to_heic 'vips heifsave "$f" "$OUT/$n.heic" --Q 85' heic
photos image_heic_magick image_to_heic 'convert-im6.q16 "$f" -quality 85 "$OUT/$n.heic"' heic
image_row_per_file image_compress_vips 'large*.jpg' compress_image 'vips jpegsave "$f" "$OUT/$n.jpg" --Q 70' jpg 8000 6000 2
image_row_per_file image_compress_magick 'large*.jpg' compress_image 'convert-im6.q16 "$f" -quality 70 "$OUT/$n.jpg"' jpg 8000 6000 2
image_row_per_file image_avif_budget_peak 'budget*.png' image_to_avif 'vips heifsave "$f" "$OUT/$n.avif" --compression av1' avif 6400 4300 1
image_row_per_file image_gif_large_peak 'gif*.png' image_to_gif 'vips gifsave "$f" "$OUT/$n.gif"' gif 12000 12000 1
