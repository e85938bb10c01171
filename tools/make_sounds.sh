#!/bin/sh
# Makes the game's four sounds from plain synthesized tones, with sox and
# lame only, into sounds/ next to this folder:
#   bg.mp3      a calm pad of four chords, 32 seconds, looping without a seam
#   trans.wav   a shimmering upward sweep of about one second
#   accept.wav  a short soft chime
#   gong.wav    a gong of 2.5 seconds: inharmonic partials, exponential decay
# Run it from anywhere; it prints the length and peak of each result.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/sounds"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"

rate=44100
# Repeatable noise-free output: sox dithers when it reduces bit depth.
sx() { sox -R -D "$@"; }

# ---- bg.mp3 ---------------------------------------------------------------
# Four chords of 8 seconds each; every chord sounds for 10 seconds with
# 2-second raised-cosine fades, so neighbours cross-fade. The last chord's
# fade-out (and the reverb's tail) runs past 32 seconds; that overhang is
# folded back onto the start, where the first chord fades in, so the seam
# is one more cross-fade like the others, breathing out and in (below).
loop=32
step=8
chord() { # name, then five frequencies: bass (triangle) and four sines
    name=$1 b=$2 f1=$3 f2=$4 f3=$5 f4=$6
    # Each voice is doubled 0.3 Hz apart for a slow, gentle beating.
    sx -n -r $rate -c 6 "$work/$name-raw.wav" synth 10 \
        triangle "$b" sine "$f1" sine "$f2" sine "$f3" sine "$f4" \
        sine "$(awk "BEGIN { print $f2 + 0.3 }")"
    sx "$work/$name-raw.wav" "$work/$name.wav" \
        remix 1v0.30,2v0.22,3v0.18,4v0.12,5v0.06 1v0.30,2v0.12,3v0.18,4v0.22,6v0.08 \
        lowpass 1800 fade h 2 10 2
}
chord c1 65.41 130.81 164.81 196.00 246.94   # C major seventh
chord c2 55.00 130.81 164.81 196.00 220.00   # A minor seventh
chord c3 43.65 130.81 174.61 220.00 261.63   # F major (added ninth above)
chord c4 49.00 146.83 196.00 246.94 293.66   # G major
i=0
for c in c1 c2 c3 c4; do
    sx "$work/$c.wav" "$work/$c-at.wav" pad $((i * step)) 0
    i=$((i + 1))
done
sx -m -v 0.5 "$work/c1-at.wav" -v 0.5 "$work/c2-at.wav" -v 0.5 "$work/c3-at.wav" \
    -v 0.5 "$work/c4-at.wav" "$work/pad.wav" pad 0 4 reverb 40 50 70
sx "$work/pad.wav" "$work/head.wav" trim 0 $loop
sx "$work/pad.wav" "$work/tail.wav" trim $loop
sx -m -v 1 "$work/head.wav" -v 1 "$work/tail.wav" "$work/bg-long.wav"
# The mix is as long as the head; cut to exactly the loop, set the peak, and
# let both ends breathe out to silence: an MP3 encoder blurs a hard edge at
# the start and end of a file, which would click at the seam, while silence
# meets silence cleanly.
sx "$work/bg-long.wav" -b 16 "$work/bg.wav" trim 0 $loop gain -n -3 fade h 1 $loop 1
lame --quiet -b 80 --resample 44.1 -q 2 "$work/bg.wav" "$out/bg.mp3"

# ---- trans.wav ------------------------------------------------------------
# Two rising sines a fifth apart with a fast tremolo for the shimmer.
sx -r $rate -c 2 -n "$work/trans-raw.wav" synth 1.1 sine 500-2000 sine 750-3000 remix 1v0.5,2v0.5
sx "$work/trans-raw.wav" "$work/trans-shimmer.wav" \
    tremolo 14 70 fade h 0.08 1.1 0.5 reverb 30 50 60 pad 0 0.1
sx "$work/trans-shimmer.wav" -b 16 "$out/trans.wav" trim 0 1.2 fade h 0 1.2 0.1 gain -n -4

# ---- accept.wav -----------------------------------------------------------
# A soft two-partial chime, decaying quickly.
sx -n -r $rate -c 1 "$work/accept-a.wav" synth 0.35 sine 1318.5 synth exp amod 2.857 0 0 0 24
sx -n -r $rate -c 1 "$work/accept-b.wav" synth 0.35 sine 1975.5 synth exp amod 2.857 0 0 0 34
sx -m -v 0.6 "$work/accept-a.wav" -v 0.3 "$work/accept-b.wav" "$work/accept-mix.wav" \
    fade h 0.004 0.35 0.05
sx "$work/accept-mix.wav" -b 16 "$out/accept.wav" gain -n -6

# ---- gong.wav -------------------------------------------------------------
# Inharmonic partials (ratios of a struck plate); higher ones die faster.
gong=2.5
envelope=$(awk "BEGIN { print 1 / $gong }")
partial() { # index, frequency, level, decay in steps of 2 dB over the sound
    sx -n -r $rate -c 1 "$work/gong-$1.wav" synth $gong sine "$2" \
        synth exp amod "$envelope" 0 0 0 "$4" vol "$3"
}
partial 1 98.0 1.00 14
partial 2 152.9 0.70 18
partial 3 211.7 0.55 22
partial 4 258.7 0.40 26
partial 5 332.2 0.30 30
partial 6 418.5 0.20 36
partial 7 523.1 0.12 42
sx -m -v 0.3 "$work/gong-1.wav" -v 0.3 "$work/gong-2.wav" -v 0.3 "$work/gong-3.wav" \
    -v 0.3 "$work/gong-4.wav" -v 0.3 "$work/gong-5.wav" -v 0.3 "$work/gong-6.wav" \
    -v 0.3 "$work/gong-7.wav" "$work/gong-mix.wav" fade h 0.006 $gong 0.3
sx "$work/gong-mix.wav" -b 16 "$out/gong.wav" gain -n -3

for f in bg.mp3 trans.wav accept.wav gong.wav; do
    printf '%-11s %6.2f s  peak %6.2f dBFS\n' "$f" \
        "$(soxi -D "$out/$f")" \
        "$(sox "$out/$f" -n stats 2>&1 | awk '/^Pk lev dB/{print $4}')"
done
