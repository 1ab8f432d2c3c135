# Sourced by the window tests.
# wait_for PID SECONDS: the process's exit code, or 124 when it had not
# ended by then (it is then asked to end).
wait_for() {
  local pid=$1 t=$2
  for ((i = 0; i < t * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; return $?; }
    sleep 0.1
  done
  kill "$pid" 2>/dev/null
  return 124
}
