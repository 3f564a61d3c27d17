# A private speech-dispatcher for the tests, after a library that gives
# $WORK, a private $HOME and fail: its own configuration, socket and logs
# under $WORK, its sound (and that of ALSA's default device, which generic
# modules play on) written by ALSA's file plugin into $SPEECH_CAPTURE (raw
# 16-bit samples) instead of a sound card. Clients reach it through
# SPEECHD_ADDRESS.
SPEECH_DIR="$WORK/speechd"
SPEECH_CAPTURE="$SPEECH_DIR/som.raw"
SPEECH_SERVER=

# $1: a directory of generic module configurations (optional); $2: the
# default module, espeak-ng unless given: espeak-ng is loaded only then, so
# that no other module can stand in for one under test.
start_speech_server() {
  mkdir -p "$SPEECH_DIR/conf/modules" "$SPEECH_DIR/log"
  [ -n "${1:-}" ] && cp "$1"/*.conf "$SPEECH_DIR/conf/modules/"
  {
    echo "CommunicationMethod \"unix_socket\""
    echo "SocketPath \"$SPEECH_DIR/sock\""
    local default=${2-espeak-ng}
    [ "$default" = espeak-ng ] && echo "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\""
    for conf in "${1:-/nonexistent}"/*.conf; do
      [ -f "$conf" ] || continue
      name=$(basename "$conf" .conf)
      echo "AddModule \"$name\" \"sd_generic\" \"$name.conf\""
    done
    echo "LogLevel 0"
    [ -n "$default" ] && echo "DefaultModule \"$default\""
    echo "DefaultLanguage \"pt-BR\""
    echo "AudioOutputMethod \"alsa\""
    echo "AudioALSADevice \"captura\""
  } > "$SPEECH_DIR/conf/speechd.conf"
  cat > "$HOME/.asoundrc" <<ALSA
pcm.captura {
  type file
  slave.pcm "null"
  file "$SPEECH_CAPTURE"
  format "raw"
}
pcm.!default captura
ALSA
  speech-dispatcher -s -t 0 -C "$SPEECH_DIR/conf" -c unix_socket -S "$SPEECH_DIR/sock" \
    -L "$SPEECH_DIR/log" -P "$SPEECH_DIR/pid" > "$SPEECH_DIR/log/server.txt" 2>&1 &
  SPEECH_SERVER=$!
  local i=0
  while [ ! -S "$SPEECH_DIR/sock" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
  [ -S "$SPEECH_DIR/sock" ] || fail "the speech server did not start: $(cat "$SPEECH_DIR/log/server.txt")"
  export SPEECHD_ADDRESS="unix_socket:$SPEECH_DIR/sock"
}

stop_speech_server() {
  [ -n "$SPEECH_SERVER" ] || return 0
  kill "$SPEECH_SERVER" 2>/dev/null
  wait "$SPEECH_SERVER" 2>/dev/null
  SPEECH_SERVER=
}

speech_captured() { stat -c %s "$SPEECH_CAPTURE" 2>/dev/null || echo 0; }
