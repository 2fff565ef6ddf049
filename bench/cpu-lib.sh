# The CPU the measuring scripts read from /proc, sourced by them. cpu_seconds must be
# set.

# Nanoseconds a process has run. A process of one thread: that thread's schedstat, to
# the nanosecond (utime + stime come in 10 ms steps, as coarse as a whole figure of a
# saver over a minute). A process of more: utime + stime of /proc/PID/stat, which count
# threads that have ended too (a compositor's come and go).
clk_tck=$(getconf CLK_TCK)
cpu_ns() {
  local threads
  threads=$(awk '/^Threads:/ { print $2 }' "/proc/$1/status")
  if [ "$threads" = 1 ]; then
    awk '{ print $1 }' "/proc/$1/schedstat"
  else
    awk -v hz="$clk_tck" '{ printf "%.0f\n", ($14 + $15) * 1e9 / hz }' "/proc/$1/stat"
  fi
}

# The CPU of each process named over the same cpu_seconds, in percent of one core, on one
# line.
cpu_percent() {
  local pid t0 t1 before=() after=()
  for pid in "$@"; do before+=("$(cpu_ns "$pid")"); done
  t0=$(date +%s.%N)
  sleep "$cpu_seconds"
  for pid in "$@"; do after+=("$(cpu_ns "$pid")"); done
  t1=$(date +%s.%N)
  awk -v before="${before[*]}" -v after="${after[*]}" -v t0="$t0" -v t1="$t1" 'BEGIN {
    n = split(before, b, " "); split(after, a, " ")
    for (i = 1; i <= n; i++) printf "%.3f%s", (a[i] - b[i]) / 1e7 / (t1 - t0), i < n ? " " : "\n"
  }'
}

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
