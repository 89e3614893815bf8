# Sourced by the scripts that build: build PRESET LOG-NAME [TARGET...]
# configures and builds a CMake preset from the project's root, with the
# build's output in build/LOG-NAME.build.log. On failure it shows the end of
# that log on standard error and returns 1.
build() {
  local preset=$1 name=$2
  shift 2
  local log="build/$name.build.log" targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  mkdir -p build
  if cmake --preset "$preset" >"$log" 2>&1 && cmake --build --preset "$preset" "${targets[@]}" -- -k 0 >>"$log" 2>&1; then
    return 0
  fi
  echo "the build of $preset failed ($log):" >&2
  tail -40 "$log" >&2
  return 1
}
