# Image rows: two generated 4000 x 3000 photographs (JPEG) to PNG, WebP, HEIC and
# re-compressed JPEG, one process per file on each side, beside libvips' own command line
# (the same library) and ImageMagick.
image_inputs="$WORK/image"
mkdir -p "$image_inputs"
for i in 1 2; do
  # Smooth shading with grain, like a photograph: neither flat nor pure noise.
  vips xyz "$image_inputs/xy$i.v" 4000 3000
  vips gaussnoise "$image_inputs/noise$i.v" 4000 3000 --sigma 12 --mean 0
  vips linear "$image_inputs/xy$i.v" "$image_inputs/shade$i.v" "0.04 0.05" "$((i * 20)) 30"
  vips bandjoin "$image_inputs/shade$i.v $image_inputs/noise$i.v" "$image_inputs/bands$i.v"
  vips add "$image_inputs/bands$i.v" "$image_inputs/noise$i.v" "$image_inputs/grain$i.v"
  vips cast "$image_inputs/grain$i.v" "$image_inputs/photo$i.jpg[Q=90]" uchar
  rm -f "$image_inputs"/*.v
done

# each_input <command with {in} and {out}>: the command once per input, its output named
# after the input.
each_input() {
  printf 'for f in "%s"/photo*.jpg; do n=$(basename "$f" .jpg); %s; done' "$image_inputs" "$1"
}

# image_outputs_check <ext>: both sides wrote one decodable 4000 x 3000 file per input.
image_outputs_check() {
  printf 'for side in "$OURS" "$TOOL"; do
    [ "$(ls "$side"/*.%s | wc -l)" = 2 ] || exit 1
    for f in "$side"/*.%s; do
      [ "$(vipsheader -f width "$f")" = 4000 ] && [ "$(vipsheader -f height "$f")" = 3000 ] || exit 1
    done
  done' "$1" "$1"
}

# The bench binary takes every input in one process; the tools one per process, so ours is
# run the same way: one process per file.
image_row_per_file() { # image_row_per_file <name> <bench command> <tool command> <ext>
  row "$1" "$(each_input "\"\$BENCH\" $2 \"\$OUT\" \"\$f\"")" "$(each_input "$3")" "$(image_outputs_check "$4")"
}

image_row_per_file image_png_vips image_to_png 'vips copy "$f" "$OUT/$n.png"' png
image_row_per_file image_png_magick image_to_png 'convert-im6.q16 "$f" "$OUT/$n.png"' png
image_row_per_file image_webp_vips image_to_webp 'vips webpsave "$f" "$OUT/$n.webp" --Q 80' webp
image_row_per_file image_webp_magick image_to_webp 'convert-im6.q16 "$f" -quality 80 "$OUT/$n.webp"' webp
image_row_per_file image_heic_vips image_to_heic 'vips heifsave "$f" "$OUT/$n.heic" --Q 85' heic
image_row_per_file image_heic_magick image_to_heic 'convert-im6.q16 "$f" -quality 85 "$OUT/$n.heic"' heic
image_row_per_file image_compress_vips compress_image 'vips jpegsave "$f" "$OUT/$n.jpg" --Q 70' jpg
image_row_per_file image_compress_magick compress_image 'convert-im6.q16 "$f" -quality 70 "$OUT/$n.jpg"' jpg
