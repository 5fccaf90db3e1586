# Media rows: a 10-minute stereo WAV to MP3 and to M4A, a 30-second 1080p H.264 clip into
# MOV and compressed, four WAVs to MP3 as one batch through the router against one, and
# four portrait 4K HEVC clips, as phones record them, compressed as one batch against one.
media="$WORK/media"
mkdir -p "$media"
ffmpeg -v error -y -filter_complex "anoisesrc=d=600:c=pink:a=0.3:r=44100,aformat=channel_layouts=stereo" \
  -c:a pcm_s16le "$media/long.wav"
ffmpeg -v error -y -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=30" \
  -f lavfi -i "sine=frequency=440:duration=30" -c:v libx264 -preset veryfast -pix_fmt yuv420p -c:a aac \
  "$media/clip.mp4"
for n in 1 2 3 4; do ln -f "$media/long.wav" "$media/batch$n.wav"; done
ffmpeg -v error -y -f lavfi -i "testsrc2=size=3840x2160:rate=30:duration=2" -f lavfi -i "sine=frequency=440:duration=2" \
  -c:v libx265 -preset ultrafast -x265-params log-level=none -b:v 25M -tag:v hvc1 -pix_fmt yuv420p -c:a aac \
  "$media/phone-upright.mov"
ffmpeg -v error -y -i "$media/phone-upright.mov" -c copy -metadata:s:v rotate=90 "$media/phone.mov"
for n in 1 2 3 4; do ln -f "$media/phone.mov" "$media/phone$n.mov"; done
media_check="python3 \"$root/bench/rows/media_check.py\" \"\$OURS\" \"\$TOOL\""

row media_wav_to_mp3 \
  "\"\$BENCH\" convert_audio_mp3 \"\$OUT\" \"$media/long.wav\"" \
  "lame --quiet -b 192 -q 2 \"$media/long.wav\" \"\$OUT/long.mp3\"" \
  "$media_check a mp3"

row media_wav_to_m4a \
  "\"\$BENCH\" convert_audio_m4a \"\$OUT\" \"$media/long.wav\"" \
  "ffmpeg -v error -i \"$media/long.wav\" -c:a aac -b:a 256k \"\$OUT/long.m4a\"" \
  "$media_check a aac"

row media_mp4_to_mov \
  "\"\$BENCH\" convert_video_mov \"\$OUT\" \"$media/clip.mp4\"" \
  "ffmpeg -v error -i \"$media/clip.mp4\" -map 0 -c copy \"\$OUT/clip.mov\"" \
  "$media_check v h264"

row media_mp4_to_mov_vs_cp \
  "\"\$BENCH\" convert_video_mov \"\$OUT\" \"$media/clip.mp4\"" \
  "cp \"$media/clip.mp4\" \"\$OUT/clip.mov\"" \
  "$media_check v h264"

row media_compress_video \
  "\"\$BENCH\" compress_video \"\$OUT\" \"$media/clip.mp4\"" \
  "ffmpeg -v error -i \"$media/clip.mp4\" -c:v libx265 -crf 28 -x265-params log-level=none -tag:v hvc1 -c:a aac -b:a 160k -movflags +faststart \"\$OUT/clip.mp4\"" \
  "$media_check v hevc"

# The tool column here is our own single file: the ratio shows what a four-file batch
# costs against one (LAME is single-threaded; the router runs four files at once).
row media_mp3_batch4_vs_one \
  "\"\$BENCH\" batch_convert_audio_mp3 \"\$OUT\" \"$media\"/batch1.wav \"$media\"/batch2.wav \"$media\"/batch3.wav \"$media\"/batch4.wav" \
  "\"\$BENCH\" convert_audio_mp3 \"\$OUT\" \"$media/batch1.wav\"" \
  "test \"\$(ls \"\$OURS\" | wc -l)\" = 4 && test \"\$(ls \"\$TOOL\" | wc -l)\" = 1"

# As above, the tool column is our own single file; the peak column is what a batch of
# four 4K videos takes while compressing.
row media_compress_4k_batch4_vs_one \
  "\"\$BENCH\" batch_compress_video \"\$OUT\" \"$media\"/phone1.mov \"$media\"/phone2.mov \"$media\"/phone3.mov \"$media\"/phone4.mov" \
  "\"\$BENCH\" compress_video \"\$OUT\" \"$media/phone1.mov\"" \
  "test \"\$(ls \"\$OURS\" | wc -l)\" = 4 && test \"\$(ls \"\$TOOL\" | wc -l)\" = 1"
