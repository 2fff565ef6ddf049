# The CPU the measuring scripts read from /proc, sourced by them. cpu_seconds must be
# set.

clk_tck=$(getconf CLK_TCK)
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# The CPU of one or two processes over cpu_seconds, in percent of one core.
cpu_percent() {
  local a0 b0 s0 a1 b1 s1
  a0=$(cpu_ticks "$1"); b0=$(cpu_ticks "${2:-$1}"); s0=$(date +%s.%N)
  sleep "$cpu_seconds"
  a1=$(cpu_ticks "$1"); b1=$(cpu_ticks "${2:-$1}"); s1=$(date +%s.%N)
  awk -v a=$((a1 - a0)) -v b=$((b1 - b0)) -v hz="$clk_tck" -v t0="$s0" -v t1="$s1" \
    'BEGIN { t = t1 - t0; printf "%.2f %.2f\n", 100 * a / hz / t, 100 * b / hz / t }'
}
