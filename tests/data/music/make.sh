#!/bin/sh
# Makes the music folder the tag tests read, with the encoders' own taggers (lame, flac,
# oggenc), never with the library the program reads tags with. Run it from this folder;
# it rewrites collection/ and odd/. Needs lame, flac, vorbis-tools and python3.
set -e
export LC_ALL=C.UTF-8
cd "$(dirname "$0")"
rm -rf collection odd
mkdir -p collection odd
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A fifth of a second of silence, 8 kHz mono.
python3 -c "
import wave
w = wave.open('$work/silence.wav', 'wb')
w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.writeframes(b'\0\0' * 1600)
w.close()"
mp3() {  # file artist album genre [album artist]
    mkdir -p "$(dirname "collection/$1")"
    set -- "$@" ""
    if [ -n "$5" ]; then
        lame --silent -b 32 --id3v2-only --ta "$2" --tl "$3" --tg "$4" --tv "TPE2=$5" \
            "$work/silence.wav" "collection/$1"
    elif [ -n "$3" ]; then
        lame --silent -b 32 --id3v2-only --ta "$2" --tl "$3" --tg "$4" \
            "$work/silence.wav" "collection/$1"
    else
        lame --silent -b 32 --id3v2-only --ta "$2" --tg "$4" "$work/silence.wav" "collection/$1"
    fi
}
flac_() {  # file artist album genre album-artist
    mkdir -p "$(dirname "collection/$1")"
    flac --silent -T "ARTIST=$2" -T "ALBUM=$3" -T "GENRE=$4" -T "ALBUMARTIST=$5" \
        -o "collection/$1" "$work/silence.wav"
}
ogg() {  # file artist album genre
    mkdir -p "$(dirname "collection/$1")"
    oggenc -Q -a "$2" -l "$3" -G "$4" -o "collection/$1" "$work/silence.wav"
}
# An album in one folder, one track's artist in other letters and decomposed accents.
mp3 "Björk - Homogenic/01 Hunter.mp3" "Björk" "Homogenic" "Pop"
mp3 "Björk - Homogenic/02 Jóga.mp3" "$(printf 'BJO\314\210RK')" "HOMOGENIC" "Pop"
mp3 "Björk - Homogenic/03 Bachelorette.mp3" "Björk" "Homogenic" "Electronic"
# Two levels down, FLAC, with an album artist; the genre most tracks carry.
flac_ "Sigur Rós/Ágætis byrjun/01.flac" "Sigur Rós" "Ágætis byrjun" "Post-Rock" "Sigur Rós"
flac_ "Sigur Rós/Ágætis byrjun/02.flac" "Sigur Rós feat. Amiina" "Ágætis byrjun" "Ambient" "Sigur Rós"
flac_ "Sigur Rós/Ágætis byrjun/03.flac" "Sigur Rós" "Ágætis byrjun" "Post-Rock" "Sigur Rós"
# A compilation without an album artist: its tracks' artists differ.
ogg "Various/Pure Moods/01.ogg" "Enya" "Pure Moods" "New Age"
ogg "Various/Pure Moods/02.ogg" "Enigma" "Pure Moods" "New Age"
# One album over two disc folders.
mp3 "Low/CD1/01.mp3" "David Bowie" "Low" "Rock"
mp3 "Low/CD2/01.mp3" "David Bowie" "Low" "Rock"
# An album artist tag on MP3 (TPE2).
mp3 "Air/Moon Safari/01.mp3" "Air feat. Beth Hirsch" "Moon Safari" "Electronic" "Air"
# No album tag: grouped by its folder.
mp3 "Tapes From Grandma/side a.mp3" "Grandma" "" "Folk"
# What is not music, and music that cannot be read.
printf 'a cover' > "collection/Björk - Homogenic/cover.jpg"
printf 'notes\n' > "collection/Low/notes.txt"
head -c 2000 /dev/urandom > "collection/Various/noise.mp3"
head -c 60 "collection/Sigur Rós/Ágætis byrjun/01.flac" > "collection/Sigur Rós/cut short.flac"
# An Ogg of headers alone: tags, and no sound.
python3 -c "
import wave
w = wave.open('$work/empty.wav', 'wb')
w.setnchannels(1); w.setsampwidth(2); w.setframerate(8000)
w.close()"
mkdir -p odd/Empty
oggenc -Q -a "Nobody" -l "Nothing" -o odd/Empty/headers.ogg "$work/empty.wav"
# Tags of blanks only, as other taggers leave them: no album, no album artist.
mkdir -p "odd/Pink Moon"
lame --silent -b 32 --id3v2-only --ta "Nick Drake" --tl "   " --tv "TPE2=  " --tn 1 \
    "$work/silence.wav" "odd/Pink Moon/01.mp3"
