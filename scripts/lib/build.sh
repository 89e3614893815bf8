# Sourced by the scripts that build: build PRESET LOG-NAME [TARGET...]
# configures and builds a CMake preset from the project's root, with the
# build's whole output in build/LOG-NAME.build.log, and says how far it has
# come as it goes: a line at every tenth of the build steps. On failure it
# shows the end of the log on standard error and returns 1.
build() {
  local preset=$1 name=$2
  shift 2
  local log="build/$name.build.log" targets=() started=$SECONDS
  [ $# -gt 0 ] && targets=(--target "$@")
  mkdir -p build
  echo "build: $preset${*:+ ($*)}" >&2
  if cmake --preset "$preset" >"$log" 2>&1 &&
    cmake --build --preset "$preset" "${targets[@]}" -- -k 0 2>&1 | tee -a "$log" | build_progress "$preset" &&
    [ "${PIPESTATUS[0]}" -eq 0 ]; then
    echo "build: $preset ready ($((SECONDS - started)) s)" >&2
    return 0
  fi
  echo "the build of $preset failed ($log):" >&2
  tail -40 "$log" >&2
  return 1
}

# Reads the build tool's "[done/total] ..." lines and prints one at every
# tenth of the total, on standard error, as the build reaches it: mawk (the
# awk of Debian and Ubuntu) reads its input in large pieces unless asked not
# to, and would hold the lines back until the build ends.
build_progress() {
  local awk_command=(awk)
  if awk -W version 2>&1 | grep -q mawk; then awk_command=(awk -W interactive); fi
  "${awk_command[@]}" -v preset="$1" '
    match($0, /^\[[0-9]+\/[0-9]+\]/) {
      split(substr($0, 2, RLENGTH - 2), step, "/")
      tenth = int(10 * step[1] / step[2])
      if (tenth > shown) {
        shown = tenth
        printf "build: %s %d%% (%d of %d steps)\n", preset, 10 * tenth, step[1], step[2] > "/dev/stderr"
        fflush("/dev/stderr")
      }
    }'
}
