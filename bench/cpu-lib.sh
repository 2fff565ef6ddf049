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

# The CPU of one or two processes over cpu_seconds, in percent of one core.
cpu_percent() {
  local a0 b0 s0 a1 b1 s1
  a0=$(cpu_ns "$1"); b0=$(cpu_ns "${2:-$1}"); s0=$(date +%s.%N)
  sleep "$cpu_seconds"
  a1=$(cpu_ns "$1"); b1=$(cpu_ns "${2:-$1}"); s1=$(date +%s.%N)
  awk -v a0="$a0" -v a1="$a1" -v b0="$b0" -v b1="$b1" -v t0="$s0" -v t1="$s1" \
    'BEGIN { t = t1 - t0; printf "%.3f %.3f\n", (a1 - a0) / 1e7 / t, (b1 - b0) / 1e7 / t }'
}

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
