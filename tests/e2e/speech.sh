#!/usr/bin/env bash
# Pronunciation in the real program: with SpeakWord=1 the words it shows reach a private
# PulseAudio null sink as sound (a recording of the sink's monitor is not silent), and
# without its speech module it studies on, says once why it cannot speak and disables
# "朗读单词". Exits 77 (skipped) when this machine has no PulseAudio to make sound with.
#   speech.sh MNEMORA_BINARY E2E_HELPER_DIR      (E2E_KEEP=1 keeps the recording)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
module="$(dirname "$prog")/libmnemora-speech.so"

start_x || exit 1
export PULSE_RUNTIME_PATH="$XDG_RUNTIME_DIR/pulse" PULSE_SERVER="unix:$XDG_RUNTIME_DIR/pulse/native"
unset DBUS_SESSION_BUS_ADDRESS SPEECHD_ADDRESS

# The speech service the program spawns is a daemon of its own; it is ended by its pid file.
speechd_pidfile="$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid"
stop_speechd() { [ -s "$speechd_pidfile" ] && kill "$(cat "$speechd_pidfile")" 2>/dev/null; }
trap 'stop_speechd; cleanup' EXIT

no_sound() { echo "SKIPPED: no sound on this machine: $1"; exit 77; }
for tool in pulseaudio parecord pactl sox speech-dispatcher; do
    command -v $tool >/dev/null || no_sound "$tool is not installed (scripts/packages.txt)"
done
[ -f "$module" ] || no_sound "the program was built without its speech module ($module)"

# A sound server of its own: one null sink, reached through the private runtime folder.
pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n --use-pid-file=no \
    --load="module-null-sink sink_name=mnemora_null" --load=module-native-protocol-unix \
    >"$work/pulse.log" 2>&1 &
pids+=($!)
wait_for 10 pactl info || no_sound "PulseAudio did not start: $(tail -n 3 "$work/pulse.log")"

# Words every 2 s with their meaning 1 s later, recorded raw until sound comes (a loaded
# machine may take a while to start the speech service), for at most 30 s.
make_app '[Word]\nWordElapse=2\nWordDelayChnTime=1\n[Speech]\nSpeakWord=1\n' || exit 1
cp "$module" "$app/"
raw=(-t raw -r 22050 -e signed -b 16 -c 1)
parecord -d mnemora_null.monitor --raw --format=s16le --rate=22050 --channels=1 "$work/speech.raw" \
    >"$work/parecord.log" 2>&1 &
recorder=$!
pids+=($recorder)
check "window appears" run_traced
# A null sink records exact zeros when nothing plays.
sounding() { [ "$(tr -d '\000' <"$work/speech.raw" | head -c 4096 | wc -c)" = 4096 ]; }
wait_for 30 sounding
sleep 2
kill $recorder 2>/dev/null; wait $recorder 2>/dev/null
stat=$(sox "${raw[@]}" "$work/speech.raw" -n stat 2>&1)
peak=$(sed -n 's/^Maximum amplitude: *//p' <<<"$stat")
echo "recorded: $(sed -n 's/^Length (seconds): *//p' <<<"$stat") s, maximum amplitude ${peak:-none}"
# Speech peaks far above 0.05.
loud() { awk -v p="${peak:-0}" 'BEGIN { exit !(p > 0.05) }'; }
check "the words are heard on the sink" loud
check "no speech failure reported" not grep -F '无法朗读' "$work/program.log"
stop_speechd
kill $program 2>/dev/null; wait $program 2>/dev/null

# Without the module: the study goes on, one line says why, the menu entry is disabled.
make_app '[Word]\nWordElapse=1\nWordDelayChnTime=1\n[Speech]\nSpeakWord=1\n' || exit 1
: >"$work/program.log"
check "window appears without the speech module" run_traced
win=$(float_window)
reported() { [ "$(grep -c '^mnemora: 无法朗读：没有朗读模块' "$work/program.log")" = 1 ]; }
check "one line says speaking is off" wait_for 10 reported
alerted() { grep -F 'ui-trace: alert Message: 无法朗读：' "$work/program.log"; }
check "the failure is shown as an alert" wait_for 5 alerted
shot "$win" "$work/before.png"
check "the study goes on" wait_for 5 changed_since "$win" "$work/before.png"
check "still one line after more words" reported
popup_menu '悬浮窗右键菜单(&R)' 600 40
check "the menu entry says why it is off" grep -qF '朗读单词（无法朗读） <Space>(disabled)' <<<"$entries"
xdotool key Escape
finish
